// MD5 through the system's crypto provider (CryptoAPI), which every
// Windows has.
#include "platform/win32/windows_api.h"

#include <wincrypt.h>

#include "platform/digest.h"

namespace digest {

struct Md5::State {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
};

Md5::Md5() : state_(std::make_unique<State>()) {
  // A provider without key containers: a digest needs no keys.
  if (!::CryptAcquireContextW(&state_->provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
    state_->provider = 0;
    return;
  }
  if (!::CryptCreateHash(state_->provider, CALG_MD5, 0, 0, &state_->hash)) state_->hash = 0;
}

Md5::~Md5() {
  if (state_->hash) ::CryptDestroyHash(state_->hash);
  if (state_->provider) ::CryptReleaseContext(state_->provider, 0);
}

void Md5::Update(std::string_view bytes) {
  while (state_->hash && !bytes.empty()) {
    const DWORD piece = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    if (!::CryptHashData(state_->hash, reinterpret_cast<const BYTE*>(bytes.data()), piece, 0)) {
      // A digest that missed some bytes must not be given as theirs.
      ::CryptDestroyHash(state_->hash);
      state_->hash = 0;
      return;
    }
    bytes.remove_prefix(piece);
  }
}

std::string Md5::FinishHex() {
  BYTE value[16];
  DWORD length = sizeof value;
  if (!state_->hash || !::CryptGetHashParam(state_->hash, HP_HASHVAL, value, &length, 0)) return std::string();
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (DWORD i = 0; i < length; ++i) {
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
