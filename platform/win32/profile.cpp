// INI files through the system's own private-profile calls.
#include "platform/win32/windows_api.h"

#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace profile {
namespace {

constexpr ULONGLONG kLargestProfileFile = 16 << 20;

// The private-profile calls take paths within MAX_PATH only; a longer one
// is refused here rather than handed on, since some implementations then
// write to whatever name is left of it, outside the folder meant.
bool TooLong(std::u16string_view path) { return path.size() >= MAX_PATH; }

bool IsAscii(std::u16string_view s) {
  for (char16_t c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::u16string GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue, std::u16string_view path) {
  if (TooLong(path)) return std::u16string(defaultValue);
  const std::wstring file = win32::Wide(path);
  // Readers walk folders that may also hold videos or disk images; a file far
  // larger than any settings file is not read at all.
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &info) &&
      ((ULONGLONG(info.nFileSizeHigh) << 32) | info.nFileSizeLow) > kLargestProfileFile) {
    return win32::FromWide(win32::Wide(defaultValue).c_str());
  }
  const std::wstring sectionName = win32::Wide(section), keyName = win32::Wide(key);
  const std::wstring fallback = win32::Wide(defaultValue);
  // The call cuts a value to the buffer and says so by filling it to the
  // last unit; the buffer grows until the whole value fits.
  std::vector<wchar_t> buffer(1000);
  for (;;) {
    DWORD length = ::GetPrivateProfileStringW(sectionName.c_str(), keyName.c_str(), fallback.c_str(), buffer.data(),
                                              static_cast<DWORD>(buffer.size()), file.c_str());
    if (length + 1 < buffer.size() || buffer.size() >= kLargestProfileFile) return win32::FromWide(buffer.data(), length);
    buffer.assign(buffer.size() * 4, L'\0');
  }
}

bool WritePrivateProfileString(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                               std::u16string_view path, std::u16string* reason) {
  if (TooLong(path)) {
    if (reason) *reason = u"The path is too long.";
    return false;
  }
  std::u16string line;
  for (char16_t c : value)
    if (c != u'\r' && c != u'\n') line.push_back(c);
  const std::wstring file = win32::Wide(path);
  // A new file is written in the system code page, which cannot hold every
  // character; one that starts as UTF-16 stays UTF-16, so text beyond ASCII
  // goes into a file begun that way.
  if (!IsAscii(line) || !IsAscii(section) || !IsAscii(key)) {
    HANDLE created = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) {
      DWORD wrote = 0;
      ::WriteFile(created, "\xFF\xFE", 2, &wrote, nullptr);
      ::CloseHandle(created);
    }
  }
  if (::WritePrivateProfileStringW(win32::Wide(section).c_str(), win32::Wide(key).c_str(), win32::Wide(line).c_str(),
                                   file.c_str()))
    return true;
  if (reason) {
    DWORD error = ::GetLastError();
    DWORD attributes = ::GetFileAttributesW(file.c_str());
    ::SetLastError(error);
    *reason = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                  ? u"A folder of that name is in the way."
                  : files::LastErrorText();
  }
  return false;
}

}  // namespace profile
