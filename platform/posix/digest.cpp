#include "platform/digest.h"

#include <openssl/evp.h>

namespace digest {

struct Md5::State {
  EVP_MD_CTX* context = nullptr;
};

Md5::Md5() : state_(std::make_unique<State>()) {
  state_->context = EVP_MD_CTX_new();
  if (state_->context) EVP_DigestInit_ex(state_->context, EVP_md5(), nullptr);
}

Md5::~Md5() {
  if (state_->context) EVP_MD_CTX_free(state_->context);
}

void Md5::Update(std::string_view bytes) {
  if (state_->context && !bytes.empty()) EVP_DigestUpdate(state_->context, bytes.data(), bytes.size());
}

std::string Md5::FinishHex() {
  unsigned char value[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!state_->context || EVP_DigestFinal_ex(state_->context, value, &length) != 1) return std::string();
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(kDigits[value[i] >> 4]);
    hex.push_back(kDigits[value[i] & 0xF]);
  }
  return hex;
}

std::string Md5Hex(std::string_view bytes) {
  Md5 md5;
  md5.Update(bytes);
  return md5.FinishHex();
}

}  // namespace digest
