// The SHA-1 digest (FIPS 180-1) the updater compares files by, and the text
// form the update server publishes: 40 upper-case hexadecimal digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class Sha1Hasher {
 public:
  Sha1Hasher() { Reset(); }

  void Reset();
  void Update(const void* bytes, std::size_t count);
  // Pads and appends the length. The chaining state, length and block are
  // cleared afterwards; the digest stays readable until the next Reset.
  void Finish();
  // Appends the 40-character text of the finished digest.
  void DigestText(std::string& out) const;
  // Feeds the file's contents (nothing when it cannot be opened).
  void HashFile(std::u16string_view path);

  const std::uint8_t* digest() const { return digest_; }

 private:
  void Transform(const std::uint8_t* block);

  std::uint32_t state_[5];
  std::uint64_t bitLength_;
  std::uint8_t block_[64];
  std::size_t blockUsed_;
  std::uint8_t digest_[20];
};

// Appends the digest text of the file at `path` to `out`; always returns 1.
// A missing or unreadable file hashes as empty input.
int Sha1FileText(std::u16string_view path, std::string& out);
