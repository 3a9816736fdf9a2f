#include "updater/sha1_hasher.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files.h"

namespace {

constexpr std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// Files are streamed in chunks of this size, so memory does not grow with the file.
constexpr std::size_t kFileChunk = 8000;

}  // namespace

void Sha1Hasher::Reset() {
  state_[0] = 0x67452301u;
  state_[1] = 0xEFCDAB89u;
  state_[2] = 0x98BADCFEu;
  state_[3] = 0x10325476u;
  state_[4] = 0xC3D2E1F0u;
  bitLength_ = 0;
  blockUsed_ = 0;
  std::memset(block_, 0, sizeof block_);
  std::memset(digest_, 0, sizeof digest_);
}

namespace {

// One round step with the roles of the five words fixed at compile time, so
// the words stay in registers: the caller rotates the roles by argument order
// instead of moving values around.
template <int Round>
inline void Step(std::uint32_t a, std::uint32_t& b, std::uint32_t c, std::uint32_t d, std::uint32_t& e,
                 std::uint32_t w) {
  std::uint32_t f, k;
  if constexpr (Round == 0) {
    f = d ^ (b & (c ^ d));
    k = 0x5A827999u;
  } else if constexpr (Round == 1) {
    f = b ^ c ^ d;
    k = 0x6ED9EBA1u;
  } else if constexpr (Round == 2) {
    f = (b & c) | (d & (b | c));
    k = 0x8F1BBCDCu;
  } else {
    f = b ^ c ^ d;
    k = 0xCA62C1D6u;
  }
  e += Rotl(a, 5) + f + k + w;
  b = Rotl(b, 30);
}

// Twenty steps of one round, over the message schedule kept as a ring of
// sixteen words.
template <int Round>
inline void Twenty(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c, std::uint32_t& d, std::uint32_t& e,
                   std::uint32_t* w, int first) {
  auto word = [w](int i) -> std::uint32_t {
    if (i < 16) return w[i];
    std::uint32_t x = Rotl(w[(i - 3) & 15] ^ w[(i - 8) & 15] ^ w[(i - 14) & 15] ^ w[i & 15], 1);
    w[i & 15] = x;
    return x;
  };
  for (int i = first; i < first + 20; i += 5) {
    Step<Round>(a, b, c, d, e, word(i));
    Step<Round>(e, a, b, c, d, word(i + 1));
    Step<Round>(d, e, a, b, c, word(i + 2));
    Step<Round>(c, d, e, a, b, word(i + 3));
    Step<Round>(b, c, d, e, a, word(i + 4));
  }
}

}  // namespace

void Sha1Hasher::Transform(const std::uint8_t* p) {
  std::uint32_t w[16];
  for (int i = 0; i < 16; ++i)
    w[i] = (std::uint32_t(p[4 * i]) << 24) | (std::uint32_t(p[4 * i + 1]) << 16) |
           (std::uint32_t(p[4 * i + 2]) << 8) | std::uint32_t(p[4 * i + 3]);
  std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
  Twenty<0>(a, b, c, d, e, w, 0);
  Twenty<1>(a, b, c, d, e, w, 20);
  Twenty<2>(a, b, c, d, e, w, 40);
  Twenty<3>(a, b, c, d, e, w, 60);
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
  state_[4] += e;
}

void Sha1Hasher::Update(const void* bytes, std::size_t count) {
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  bitLength_ += std::uint64_t(count) * 8;
  if (blockUsed_ > 0) {
    std::size_t take = std::min(count, sizeof block_ - blockUsed_);
    std::memcpy(block_ + blockUsed_, p, take);
    blockUsed_ += take;
    p += take;
    count -= take;
    if (blockUsed_ < sizeof block_) return;
    Transform(block_);
    blockUsed_ = 0;
  }
  // Whole blocks straight from the caller's buffer: no copy on the hot path.
  while (count >= 64) {
    Transform(p);
    p += 64;
    count -= 64;
  }
  std::memcpy(block_, p, count);
  blockUsed_ = count;
}

void Sha1Hasher::Finish() {
  std::uint64_t length = bitLength_;
  std::uint8_t pad[72] = {0x80};
  std::size_t padLength = (blockUsed_ < 56) ? 56 - blockUsed_ : 120 - blockUsed_;
  std::uint8_t lengthBytes[8];
  for (int i = 0; i < 8; ++i) lengthBytes[i] = std::uint8_t(length >> (56 - 8 * i));
  Update(pad, padLength);
  Update(lengthBytes, 8);
  for (int i = 0; i < 20; ++i) digest_[i] = std::uint8_t(state_[i / 4] >> (24 - 8 * (i % 4)));
  std::memset(state_, 0, sizeof state_);
  bitLength_ = 0;
  blockUsed_ = 0;
  std::memset(block_, 0, sizeof block_);
}

void Sha1Hasher::DigestText(std::string& out) const {
  static const char kHex[] = "0123456789ABCDEF";
  for (std::uint8_t byte : digest_) {
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  }
}

void Sha1Hasher::HashFile(std::u16string_view path) {
  if (path.empty()) return;
  std::FILE* file = std::fopen(files::NativePath(path).c_str(), "rb");
  if (!file) return;
  // Read until the end rather than trusting a size taken up front: the
  // whole file is hashed whatever its size, and a file that shrinks while
  // it is read never feeds stale buffer contents.
  std::vector<std::uint8_t> chunk(kFileChunk);
  for (;;) {
    std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
    if (got > 0) Update(chunk.data(), got);
    if (got < chunk.size()) break;
  }
  std::fclose(file);
}

int Sha1FileText(std::u16string_view path, std::string& out) {
  Sha1Hasher hasher;
  hasher.HashFile(path);
  hasher.Finish();
  hasher.DigestText(out);
  hasher.Reset();
  return 1;
}
