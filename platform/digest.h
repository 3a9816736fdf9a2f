// Message digests that other programs' file formats require (not the
// program's own digests, which are its own code).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace digest {

// MD5, fed in pieces; the digest as 32 lower-case hexadecimal digits.
class Md5 {
 public:
  Md5();
  ~Md5();
  Md5(const Md5&) = delete;
  Md5& operator=(const Md5&) = delete;

  void Update(std::string_view bytes);
  std::string FinishHex();

  struct State;

 private:
  std::unique_ptr<State> state_;
};

std::string Md5Hex(std::string_view bytes);

}  // namespace digest
