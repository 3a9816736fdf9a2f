// The registry, read only, and the expansion of %VARIABLES% by the system.
#include "platform/win32/windows_api.h"

#include <vector>

#include "platform/registry.h"

namespace registry {

bool QueryCurrentUserValue(std::u16string_view key, std::u16string_view valueName, std::u16string& data) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
    return false;
  const std::wstring name = win32::Wide(valueName);
  DWORD type = 0, size = 0;
  bool found = false;
  std::vector<wchar_t> buffer;
  // The value may grow between asking its size and reading it; ask again then.
  for (int attempt = 0; attempt < 4; ++attempt) {
    LSTATUS status = ::RegQueryValueExW(opened, name.c_str(), nullptr, &type,
                                        buffer.empty() ? nullptr : reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && buffer.empty() && size > 0)) {
      buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
      size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
      continue;
    }
    found = status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
    break;
  }
  ::RegCloseKey(opened);
  if (!found || buffer.empty()) return false;
  std::size_t length = size / sizeof(wchar_t);
  while (length > 0 && buffer[length - 1] == L'\0') --length;  // stored with or without its terminator
  data = win32::FromWide(buffer.data(), length);
  return true;
}

std::u16string ExpandEnvironmentStrings(std::u16string_view text) {
  const std::wstring source = win32::Wide(text);
  std::vector<wchar_t> buffer(source.size() + 256);
  for (;;) {
    DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (needed == 0) return std::u16string(text);
    if (needed <= buffer.size()) return win32::FromWide(buffer.data());
    buffer.assign(needed, L'\0');
  }
}

}  // namespace registry
