#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "updater/crc32_file.h"
#include "updater/sha1_hasher.h"

namespace {

std::string Sha1Of(const std::string& bytes) {
  Sha1Hasher h;
  h.Update(bytes.data(), bytes.size());
  h.Finish();
  std::string out;
  h.DigestText(out);
  return out;
}

TEST(Sha1Hasher, PublishedTestVectors) {
  EXPECT_EQ(Sha1Of(""), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
  EXPECT_EQ(Sha1Of("abc"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_EQ(Sha1Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "84983E441C3BD26EBAAE4AA1F95129E5E54670F1");
  std::string repeated;
  for (int i = 0; i < 10; ++i) repeated += "0123456701234567012345670123456701234567012345670123456701234567";
  EXPECT_EQ(Sha1Of(repeated), "DEA356A2CDDD90C7A7ECEDC5EBB563934F460452");
  EXPECT_EQ(Sha1Of(std::string(1000000, 'a')), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST(Sha1Hasher, SameDigestWhateverTheSplitOfTheInput) {
  std::string data;
  for (int i = 0; i < 1000; ++i) data += char(i * 7 + 3);
  const std::string whole = Sha1Of(data);
  // Splits around the 64-byte block and the 56-byte padding boundary.
  for (std::size_t step : {1u, 3u, 55u, 56u, 57u, 63u, 64u, 65u, 127u, 999u}) {
    Sha1Hasher h;
    for (std::size_t at = 0; at < data.size(); at += step) h.Update(data.data() + at, std::min(step, data.size() - at));
    h.Finish();
    std::string out;
    h.DigestText(out);
    EXPECT_EQ(out, whole) << "step " << step;
  }
  // Lengths on each side of the padding boundaries.
  for (std::size_t n : {55u, 56u, 63u, 64u, 119u, 120u}) EXPECT_EQ(Sha1Of(std::string(n, 'x')).size(), 40u);
  EXPECT_NE(Sha1Of(std::string(55, 'x')), Sha1Of(std::string(56, 'x')));
}

TEST(Sha1FileText, FilesOfEveryChunkShapeAndMissingFiles) {
  TempDir dir;
  const std::string emptyText = "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709";
  WriteFileBytes(dir.file("empty"), "");
  std::string out;
  EXPECT_EQ(Sha1FileText(dir.file16("empty"), out), 1);
  EXPECT_EQ(out, emptyText);
  out.clear();
  Sha1FileText(dir.file16("missing"), out);
  EXPECT_EQ(out, emptyText);
  out.clear();
  Sha1FileText(u"", out);
  EXPECT_EQ(out, emptyText);

  // Exactly one chunk, one chunk and a byte, several chunks and a remainder.
  for (std::size_t size : {7999u, 8000u, 8001u, 24000u, 30001u}) {
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) bytes += char((i * 31) ^ (i >> 8));
    WriteFileBytes(dir.file("f"), bytes);
    out = "prefix:";
    Sha1FileText(dir.file16("f"), out);
    ASSERT_EQ(out.size(), 47u);
    EXPECT_EQ(out.substr(7), Sha1Of(bytes)) << size;
    EXPECT_EQ(out.substr(7).find_first_not_of("0123456789ABCDEF"), std::string::npos);
  }
}

TEST(Crc32File, KnownValuesEmptyAndMissingFiles) {
  TempDir dir;
  WriteFileBytes(dir.file("abc"), "abc");
  EXPECT_EQ(Crc32File(dir.file16("abc")), 891568578u);
  WriteFileBytes(dir.file("check"), "123456789");
  EXPECT_EQ(Crc32File(dir.file16("check")), 0xCBF43926u);
  WriteFileBytes(dir.file("empty"), "");
  EXPECT_EQ(Crc32File(dir.file16("empty")), 0u);
  EXPECT_EQ(Crc32File(dir.file16("missing")), 0u);

  // The eight-byte loop and the byte loop agree at every length and offset.
  std::string data;
  for (int i = 0; i < 300; ++i) data += char(i * 13 + 1);
  for (std::size_t n = 0; n < 40; ++n) {
    std::uint32_t split = Crc32Update(Crc32Update(0, data.data(), n), data.data() + n, data.size() - n);
    std::uint32_t bytewise = 0;
    for (char c : data) bytewise = Crc32Update(bytewise, &c, 1);
    EXPECT_EQ(split, bytewise) << n;
  }
  // A file larger than the read buffer.
  std::string big(200000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = char(i * 2654435761u >> 24);
  WriteFileBytes(dir.file("big"), big);
  EXPECT_EQ(Crc32File(dir.file16("big")), Crc32Update(0, big.data(), big.size()));
}

}  // namespace
