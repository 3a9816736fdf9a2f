#include "updater/digest_ini.h"

#include "platform/profile.h"

std::u16string ReadDigestIni(std::u16string_view path, std::u16string_view key) {
  std::u16string value = profile::GetPrivateProfileString(u"Hash", key, u"", path);
  // No digest text is longer; a longer value is cut as the server's INI
  // always has been read.
  if (value.size() > 99) value.resize(99);
  return value;
}
