#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/temp_dir.h"
#include "updater/update_request_file.h"

namespace {

// Builds a stored request byte by byte, independently of the loader.
struct Bytes {
  std::string data;
  explicit Bytes(std::size_t size) : data(size, '\0') {}
  void U32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) data[at + i] = char((v >> (8 * i)) & 0xFF);
  }
  void Text(std::size_t at, std::u16string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
      data[at + 2 * i] = char(s[i] & 0xFF);
      data[at + 2 * i + 1] = char(s[i] >> 8);
    }
  }
  // Fills a field completely, leaving no terminator.
  void Fill(std::size_t at, std::size_t units, char16_t c) { Text(at, std::u16string(units, c)); }
};

Bytes Header(std::int32_t fileCount) {
  Bytes h(2460);
  h.U32(0, 2460);
  h.U32(4, 100);
  h.U32(8, 0xDEADBEEF);
  h.Text(12, u"Caption Ω");
  h.Text(212, u"{GUID}");
  h.Text(412, u"gr");
  h.U32(432, std::uint32_t(fileCount));
  h.U32(436, 0x11111111);  // files: replaced on load
  h.U32(440, 0x00020002);
  h.U32(444, 0x22222222);  // noticeHook: never called
  h.U32(448, 0x33333333);  // confirmHook: never called
  h.U32(452, 7);
  h.Text(456, u"/backup/base");
  h.data[2456] = 1;
  h.data[2457] = 'x';  // padding is ignored
  return h;
}

Bytes Entry(int n) {
  Bytes e(12032);
  e.U32(0, 12032);
  e.U32(4, 100);
  e.U32(8, 5);
  e.Text(12, u"/apps/file" + std::u16string(1, char16_t(u'0' + n)));
  e.Text(2012, u"http://host/tools/file");
  e.Text(8012, u"http://host/hash.php?file=./tools/file");
  e.Text(10012, u"Description");
  e.U32(12012, 1);
  e.U32(12016, 8);
  e.U32(12020, 2);
  e.U32(12024, 9);
  e.U32(12028, std::uint32_t(-1));
  return e;
}

TEST(LoadUpdateRequestFile, EveryFieldIsReadFromItsOffset) {
  TempDir dir;
  WriteFileBytes(dir.file("req"), Header(2).data + Entry(1).data + Entry(2).data);
  LoadedUpdateRequest r;
  ASSERT_TRUE(LoadUpdateRequestFile(dir.file("req"), r));
  const UpdateRequest& h = r.header;
  EXPECT_EQ(h.recordSize, 2460u);
  EXPECT_EQ(h.formatVersion, 100u);
  EXPECT_EQ(std::uint32_t(h.reserved1), 0xDEADBEEFu);
  EXPECT_EQ(FieldText(h.caption), u"Caption Ω");
  EXPECT_EQ(FieldText(h.appGuid), u"{GUID}");
  EXPECT_EQ(FieldText(h.language), u"gr");
  EXPECT_EQ(h.fileCount, 2);
  EXPECT_EQ(h.displayMode, 0x00020002);
  EXPECT_EQ(h.noticeHook, nullptr);
  EXPECT_EQ(h.confirmHook, nullptr);
  EXPECT_EQ(h.keepOldCopies, 7);
  EXPECT_EQ(FieldText(h.backupFolder), u"/backup/base");
  EXPECT_EQ(h.useRequestPath, 1);
  ASSERT_EQ(r.entries.size(), 2u);
  EXPECT_EQ(h.files, r.entries.data());
  for (int n = 1; n <= 2; ++n) {
    const UpdateFileEntry& e = r.entries[n - 1];
    EXPECT_EQ(e.entrySize, 12032u);
    EXPECT_EQ(e.entryVersion, 100u);
    EXPECT_EQ(e.reserved1, 5);
    EXPECT_EQ(FieldText(e.localPath), u"/apps/file" + std::u16string(1, char16_t(u'0' + n)));
    EXPECT_EQ(FieldText(e.downloadUrl), u"http://host/tools/file");
    EXPECT_EQ(FieldText(e.hashSource), u"http://host/hash.php?file=./tools/file");
    EXPECT_EQ(FieldText(e.description), u"Description");
    EXPECT_EQ(e.keepStaleNew, 1);
    EXPECT_EQ(e.hashMethod, 8);
    EXPECT_EQ(e.skipMode, 2);
    EXPECT_EQ(e.reserved2, 9);
    EXPECT_EQ(e.result, -1);
  }
}

TEST(LoadUpdateRequestFile, TextFieldsWithoutTerminatorStopAtTheirCapacity) {
  TempDir dir;
  Bytes h = Header(1);
  h.Fill(12, 100, u'C');
  h.Fill(212, 100, u'G');
  h.Fill(412, 10, u'L');
  h.Fill(456, 1000, u'B');
  Bytes e = Entry(1);
  e.Fill(12, 1000, u'P');
  e.Fill(2012, 3000, u'U');
  e.Fill(8012, 1000, u'H');
  e.Fill(10012, 1000, u'D');
  WriteFileBytes(dir.file("req"), h.data + e.data);
  LoadedUpdateRequest r;
  ASSERT_TRUE(LoadUpdateRequestFile(dir.file("req"), r));
  EXPECT_EQ(FieldText(r.header.caption), std::u16string(100, u'C'));
  EXPECT_EQ(FieldText(r.header.appGuid), std::u16string(100, u'G'));
  EXPECT_EQ(FieldText(r.header.language), std::u16string(10, u'L'));
  EXPECT_EQ(FieldText(r.header.backupFolder), std::u16string(1000, u'B'));
  EXPECT_EQ(FieldText(r.entries[0].localPath), std::u16string(1000, u'P'));
  EXPECT_EQ(FieldText(r.entries[0].downloadUrl), std::u16string(3000, u'U'));
  EXPECT_EQ(FieldText(r.entries[0].hashSource), std::u16string(1000, u'H'));
  EXPECT_EQ(FieldText(r.entries[0].description), std::u16string(1000, u'D'));
}

TEST(LoadUpdateRequestFile, UntrustworthyCountsAreRefused) {
  TempDir dir;
  LoadedUpdateRequest r;
  // Negative counts, and more entries than the file holds (a whole entry
  // missing, or a cut one).
  WriteFileBytes(dir.file("neg"), Header(-1).data);
  EXPECT_FALSE(LoadUpdateRequestFile(dir.file("neg"), r));
  WriteFileBytes(dir.file("min"), Header(INT32_MIN).data);
  EXPECT_FALSE(LoadUpdateRequestFile(dir.file("min"), r));
  WriteFileBytes(dir.file("huge"), Header(INT32_MAX).data + Entry(1).data);
  EXPECT_FALSE(LoadUpdateRequestFile(dir.file("huge"), r));
  WriteFileBytes(dir.file("two"), Header(2).data + Entry(1).data);
  EXPECT_FALSE(LoadUpdateRequestFile(dir.file("two"), r));
  WriteFileBytes(dir.file("cut"), Header(1).data + Entry(1).data.substr(0, 12031));
  EXPECT_FALSE(LoadUpdateRequestFile(dir.file("cut"), r));
  EXPECT_FALSE(LoadUpdateRequestFile(dir.file("missing"), r));

  // Refused files never run: the result is 0 before anything is shown.
  EXPECT_EQ(RunUpdateFromFile(dir.file("neg")), 0);
  EXPECT_EQ(RunUpdateFromFile(dir.file("huge")), 0);
  EXPECT_EQ(RunUpdateFromFile(dir.file("missing")), 0);
}

TEST(LoadUpdateRequestFile, ShortHeadersAreKeptZeroFilled) {
  TempDir dir;
  LoadedUpdateRequest r;
  WriteFileBytes(dir.file("empty"), "");
  ASSERT_TRUE(LoadUpdateRequestFile(dir.file("empty"), r));
  EXPECT_EQ(r.header.recordSize, 0u);
  EXPECT_EQ(r.header.fileCount, 0);
  EXPECT_EQ(r.entries.size(), 1u);  // the array always has one entry
  // An empty file holds recordSize 0, which the run refuses by its size.
  EXPECT_EQ(RunUpdateFromFile(dir.file("empty")), 2);

  Bytes h = Header(0);
  WriteFileBytes(dir.file("short"), h.data.substr(0, 100));
  ASSERT_TRUE(LoadUpdateRequestFile(dir.file("short"), r));
  EXPECT_EQ(r.header.recordSize, 2460u);
  EXPECT_EQ(FieldText(r.header.caption).substr(0, 7), u"Caption");
  EXPECT_EQ(FieldText(r.header.language), u"");
}

}  // namespace
