#include "platform/win32/windows_api.h"

#include <sddl.h>

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "platform/snapshot_files.h"
#include "platform/text.h"

namespace files {
namespace {

// A security descriptor that gives the folder to the user running the
// program alone (the access list is protected from what the folder above
// would pass on), or false when it cannot be made.
bool OwnerOnly(std::vector<wchar_t>& sddl) {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size ? size : 1);
  const bool got = size && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  ::CloseHandle(token);
  if (!got) return false;
  wchar_t* sid = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) return false;
  const std::wstring text = L"D:P(A;OICI;FA;;;" + std::wstring(sid) + L")";
  ::LocalFree(sid);
  sddl.assign(text.begin(), text.end());
  sddl.push_back(L'\0');
  return true;
}

}  // namespace

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  // Only what this program put there: plain files, no sub-folders.
  std::vector<DirEntry> entries;
  if (ListDirectory(path_, entries)) {
    for (const DirEntry& entry : entries)
      if (!entry.isDirectory) DeleteFile(JoinPath(path_, entry.name));
  }
  RemoveDirectory(path_);
}

bool TempFolder::Create(std::u16string* reason) {
  wchar_t base[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
  std::vector<wchar_t> sddl;
  SECURITY_ATTRIBUTES security{sizeof security, nullptr, FALSE};
  if (length == 0 || length > MAX_PATH || !OwnerOnly(sddl) ||
      !::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.data(), SDDL_REVISION_1,
                                                              &security.lpSecurityDescriptor, nullptr)) {
    if (reason) *reason = LastErrorText();
    return false;
  }
  std::wstring made;
  DWORD error = ERROR_ALREADY_EXISTS;
  // A name no other folder has: the process and a count, tried until one is free.
  for (unsigned attempt = 0; attempt < 1000 && error == ERROR_ALREADY_EXISTS; ++attempt) {
    const std::wstring name = std::wstring(base, length) + L"linnet-" + std::to_wstring(::GetCurrentProcessId()) +
                              L"-" + std::to_wstring(::GetTickCount() + attempt);
    if (::CreateDirectoryW(name.c_str(), &security)) {
      made = name;
      error = ERROR_SUCCESS;
    } else {
      error = ::GetLastError();
    }
  }
  ::LocalFree(security.lpSecurityDescriptor);
  if (made.empty()) {
    if (reason) {
      ::SetLastError(error);
      *reason = LastErrorText();
    }
    return false;
  }
  path_ = win32::FromWide(made);
  return true;
}

FileStamp GetFileStamp(std::u16string_view path) {
  FileStamp stamp;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !::GetFileAttributesExW(win32::Wide(path).c_str(), GetFileExInfoStandard, &data)) return stamp;
  stamp.exists = true;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  // The system counts steps of 100 ns from 1601, too many for nanoseconds
  // in 64 bits; counted from 1970 instead, as on other systems.
  constexpr std::int64_t kTicksBefore1970 = 116444736000000000;
  const std::int64_t ticks = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime);
  stamp.changedNanoseconds = (ticks - kTicksBefore1970) * 100;
  return stamp;
}

bool ReadFileStart(std::u16string_view path, std::size_t count, std::string& bytes) {
  bytes.clear();
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return false;
  bytes.resize(count);
  const std::size_t got = std::fread(bytes.data(), 1, count, file);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  bytes.resize(got);
  return !failed;
}

}  // namespace files
