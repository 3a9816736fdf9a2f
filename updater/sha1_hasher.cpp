#include "updater/sha1_hasher.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>
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

// Step I of the 80, fully unrolled: the roles of the five working words
// rotate with I, and since every index is a compile-time constant the words
// stay in registers. The message schedule is a ring of sixteen words.
template <int I>
inline void Step(std::uint32_t (&v)[5], std::uint32_t (&w)[16]) {
  constexpr int r = I % 5;
  std::uint32_t& a = v[(5 - r) % 5];
  std::uint32_t& b = v[(6 - r) % 5];
  std::uint32_t& c = v[(7 - r) % 5];
  std::uint32_t& d = v[(8 - r) % 5];
  std::uint32_t& e = v[(9 - r) % 5];
  std::uint32_t x;
  if constexpr (I < 16) {
    x = w[I];
  } else {
    x = Rotl(w[(I - 3) & 15] ^ w[(I - 8) & 15] ^ w[(I - 14) & 15] ^ w[I & 15], 1);
    w[I & 15] = x;
  }
  std::uint32_t f, k;
  if constexpr (I < 20) {
    f = d ^ (b & (c ^ d));
    k = 0x5A827999u;
  } else if constexpr (I < 40) {
    f = b ^ c ^ d;
    k = 0x6ED9EBA1u;
  } else if constexpr (I < 60) {
    f = (b & c) | (d & (b | c));
    k = 0x8F1BBCDCu;
  } else {
    f = b ^ c ^ d;
    k = 0xCA62C1D6u;
  }
  e += Rotl(a, 5) + f + k + x;
  b = Rotl(b, 30);
}

template <std::size_t... I>
inline void AllSteps(std::uint32_t (&v)[5], std::uint32_t (&w)[16], std::index_sequence<I...>) {
  (Step<int(I)>(v, w), ...);
}

}  // namespace

void Sha1Hasher::Transform(const std::uint8_t* p) {
  std::uint32_t w[16];
  for (int i = 0; i < 16; ++i)
    w[i] = (std::uint32_t(p[4 * i]) << 24) | (std::uint32_t(p[4 * i + 1]) << 16) |
           (std::uint32_t(p[4 * i + 2]) << 8) | std::uint32_t(p[4 * i + 3]);
  std::uint32_t v[5] = {state_[0], state_[1], state_[2], state_[3], state_[4]};
  AllSteps(v, w, std::make_index_sequence<80>{});
  for (int i = 0; i < 5; ++i) state_[i] += v[i];
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
  std::FILE* file = files::OpenFile(path, "rb");
  if (!file) return;
  // Read until the end rather than trusting a size taken up front: the
  // whole file is hashed whatever its size, and a file that shrinks while
  // it is read never feeds stale buffer contents.
  // A larger stdio buffer makes one system call serve several chunks.
  std::setvbuf(file, nullptr, _IOFBF, 1 << 16);
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
