// A file that takes another's place in one step: written beside it under a
// temporary name, flushed, then put in place by ReplaceFileW (which keeps
// the replaced file's attributes and security) or, for a new file,
// MoveFileExW.
#include "platform/win32/windows_api.h"

#include "platform/replacing_file.h"
#include "platform/text.h"

namespace files {

struct ReplacingFile::State {
  HANDLE file = INVALID_HANDLE_VALUE;
  std::wstring target;
  std::wstring temporary;
  DWORD error = 0;  // the first failure since Open
};

namespace {

std::wstring FolderOf(const std::wstring& path) {
  std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  return path.substr(0, slash);
}

void Discard(ReplacingFile::State& s) {
  if (s.file != INVALID_HANDLE_VALUE) ::CloseHandle(s.file);
  s.file = INVALID_HANDLE_VALUE;
  if (!s.temporary.empty()) ::DeleteFileW(s.temporary.c_str());
  s.temporary.clear();
}

bool Fail(ReplacingFile::State& s, DWORD error, std::u16string* reason) {
  Discard(s);
  if (reason) {
    ::SetLastError(error);
    *reason = LastErrorText();
  }
  return false;
}

}  // namespace

ReplacingFile::ReplacingFile() : state_(std::make_unique<State>()) {}

ReplacingFile::~ReplacingFile() { Discard(*state_); }

bool ReplacingFile::Open(std::u16string_view path, std::u16string* reason) {
  State& s = *state_;
  Discard(s);
  s.error = 0;
  s.target = win32::Wide(path);
  if (s.target.empty()) return Fail(s, ERROR_PATH_NOT_FOUND, reason);
  DWORD attributes = ::GetFileAttributesW(s.target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Fail(s, ERROR_DIRECTORY, reason);
  const std::wstring folder = FolderOf(s.target);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::wstring name = folder + L"\\.linnet-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(::GetTickCount() + attempt * 7919u) + L".tmp";
    s.file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (s.file != INVALID_HANDLE_VALUE) {
      s.temporary = name;
      return true;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return Fail(s, ::GetLastError(), reason);
}

void ReplacingFile::Write(std::string_view bytes) {
  State& s = *state_;
  if (s.file == INVALID_HANDLE_VALUE) {
    if (!s.error) s.error = ERROR_INVALID_HANDLE;
    return;
  }
  while (!bytes.empty() && !s.error) {
    DWORD wrote = 0;
    DWORD piece = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    if (!::WriteFile(s.file, bytes.data(), piece, &wrote, nullptr)) {
      s.error = ::GetLastError();
      break;
    }
    bytes.remove_prefix(wrote);
  }
}

bool ReplacingFile::Commit(std::u16string* reason) {
  State& s = *state_;
  if (s.file == INVALID_HANDLE_VALUE) return Fail(s, s.error ? s.error : ERROR_INVALID_HANDLE, reason);
  if (s.error) return Fail(s, s.error, reason);
  if (!::FlushFileBuffers(s.file)) return Fail(s, ::GetLastError(), reason);
  HANDLE file = s.file;
  s.file = INVALID_HANDLE_VALUE;
  if (!::CloseHandle(file)) return Fail(s, ::GetLastError(), reason);
  bool exists = ::GetFileAttributesW(s.target.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (exists && ::ReplaceFileW(s.target.c_str(), s.temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                               nullptr, nullptr)) {
    s.temporary.clear();
    return true;
  }
  // A new target, or one that ReplaceFileW cannot take (another volume's
  // rules, a file system without the call): the rename replaces it whole.
  if (!::MoveFileExW(s.temporary.c_str(), s.target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return Fail(s, ::GetLastError(), reason);
  s.temporary.clear();
  return true;
}

}  // namespace files
