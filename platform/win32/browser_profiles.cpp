// On Windows a running browser holds a lock file open with no sharing:
// Firefox its profile's parent.lock, a Chromium-family browser the
// lockfile of its user data folder. The file may stay behind when the
// browser ends, so only a file that cannot be opened counts as held.
#include "platform/win32/windows_api.h"

#include "platform/browser_profiles.h"

namespace browser_profiles {
namespace {

std::wstring Parent(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return path.substr(0, slash);
}

// True unless the file is missing or opens: a lock that cannot be looked
// at (access denied, a drive not ready) is not taken for a stale one.
bool LockHeld(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    ::CloseHandle(file);
    return false;
  }
  const DWORD error = ::GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

}  // namespace

bool FirefoxProfileInUse(std::u16string_view profileFolder) {
  return LockHeld(win32::Wide(profileFolder) + L"\\parent.lock");
}

bool ChromiumProfileInUse(std::u16string_view bookmarksFile) {
  const std::wstring profile = Parent(win32::Wide(bookmarksFile));
  return LockHeld(Parent(profile) + L"\\lockfile") || LockHeld(profile + L"\\lockfile");
}

}  // namespace browser_profiles
