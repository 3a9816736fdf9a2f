// Files by their UTF-16 path, through the W calls: no path ever passes
// through the system code page.
#include "platform/win32/windows_api.h"

#include <algorithm>
#include <vector>

#include "platform/replacing_file.h"
#include "platform/text.h"

namespace files {
namespace {

struct FindCloser {
  HANDLE find;
  ~FindCloser() {
    if (find != INVALID_HANDLE_VALUE) ::FindClose(find);
  }
};

struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() {
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
};

wchar_t UpperUnit(wchar_t c) {
  // The system's own upper-casing of one unit, as its file systems compare names.
  return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

bool NameLess(const DirEntry& a, const DirEntry& b) {
  std::size_t n = std::min(a.name.size(), b.name.size());
  for (std::size_t i = 0; i < n; ++i) {
    wchar_t x = UpperUnit(static_cast<wchar_t>(a.name[i])), y = UpperUnit(static_cast<wchar_t>(b.name[i]));
    if (x != y) return x < y;
  }
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;
}

std::u16string ErrorText(DWORD error) {
  wchar_t* message = nullptr;
  DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<LPWSTR>(&message), 0, nullptr);
  std::u16string text = length ? win32::FromWide(message, length) : std::u16string();
  if (message) ::LocalFree(message);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) text.pop_back();
  if (text.empty()) text = text::Format(u"System error %u.", static_cast<unsigned>(error));
  return text;
}

void SetReason(std::u16string* reason, DWORD error) {
  if (reason) *reason = ErrorText(error);
}

// A growing buffer filled by a call that says how much room it needs.
template <typename Call>
std::u16string Grown(Call call) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return win32::FromWide(buffer.data(), length);
    buffer.assign(length + 1 > buffer.size() * 2 ? length + 1 : buffer.size() * 2, L'\0');
  }
}

}  // namespace

std::u16string JoinPath(std::u16string_view dir, std::u16string_view name) {
  std::u16string out(dir);
  out.push_back(kSeparator);
  out.append(name);
  return out;
}

std::string NativePath(std::u16string_view path) { return text::Utf16ToSystem(path); }
std::u16string FromNativePath(std::string_view native) { return text::SystemToUtf16(native); }

std::FILE* OpenFile(std::u16string_view path, const char* mode) {
  if (path.empty()) return nullptr;
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return ::_wfopen(win32::Wide(path).c_str(), wideMode.c_str());
}

std::u16string LastErrorText() { return ErrorText(::GetLastError()); }

bool CanOpenForReading(std::u16string_view path) {
  std::FILE* file = OpenFile(path, "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

NameUse GetNameUse(std::u16string_view path) {
  if (path.empty()) return NameUse::kFree;
  // GetFileAttributesW looks at a link itself, not where it leads, so a
  // link to nothing is a name in use.
  if (::GetFileAttributesW(win32::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES) return NameUse::kTaken;
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return NameUse::kFree;
    case ERROR_SHARING_VIOLATION:  // a file the system holds open, there all the same
      return NameUse::kTaken;
    default:  // access denied, a name too long or not valid, a drive not ready
      return NameUse::kUnknown;
  }
}

bool ReadWholeFile(std::u16string_view path, std::string& bytes) {
  bytes.clear();
  if (path.empty()) return false;
  HandleCloser file{::CreateFileW(win32::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.handle, &size) && size.QuadPart > 0) bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  std::vector<char> chunk(1 << 16);
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.handle, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) return false;
    if (got == 0) break;
    bytes.append(chunk.data(), got);
  }
  return true;
}

bool WriteFileReplacing(std::u16string_view path, std::string_view bytes, std::u16string* reason) {
  ReplacingFile file;
  if (!file.Open(path, reason)) return false;
  file.Write(bytes);
  return file.Commit(reason);
}

std::uint32_t GetFileAttributes(std::u16string_view path) {
  if (path.empty()) return kInvalidAttributes;
  return ::GetFileAttributesW(win32::Wide(path).c_str());
}

bool ListDirectory(std::u16string_view dir, std::vector<DirEntry>& entries) {
  entries.clear();
  WIN32_FIND_DATAW data;
  std::wstring pattern = win32::Wide(dir);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L"*";
  FindCloser find{::FindFirstFileW(pattern.c_str(), &data)};
  if (find.find == INVALID_HANDLE_VALUE) return false;
  std::vector<DirEntry> found;
  do {
    std::u16string name = win32::FromWide(data.cFileName);
    if (name == u"." || name == u"..") continue;
    found.push_back({std::move(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(find.find, &data));
  // NTFS lists a folder in this order already; other file systems (and
  // Wine's view of a Linux folder) do not, and the order must not depend on them.
  std::sort(found.begin(), found.end(), NameLess);
  entries.push_back({u".", true});
  entries.push_back({u"..", true});
  for (DirEntry& entry : found) entries.push_back(std::move(entry));
  return true;
}

bool WriteNewFile(std::u16string_view path, std::string_view bytes, std::u16string* reason) {
  const std::wstring wide = win32::Wide(path);
  HANDLE file = path.empty() ? INVALID_HANDLE_VALUE
                             : ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetReason(reason, path.empty() ? ERROR_PATH_NOT_FOUND : ::GetLastError());
    return false;
  }
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    DWORD wrote = 0;
    DWORD piece = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    if (!::WriteFile(file, data, piece, &wrote, nullptr)) {
      DWORD error = ::GetLastError();
      ::CloseHandle(file);
      ::DeleteFileW(wide.c_str());
      SetReason(reason, error);
      return false;
    }
    data += wrote;
    left -= wrote;
  }
  if (!::CloseHandle(file)) {
    DWORD error = ::GetLastError();
    ::DeleteFileW(wide.c_str());
    SetReason(reason, error);
    return false;
  }
  return true;
}

bool NamesEqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperUnit(static_cast<wchar_t>(a[i])) != UpperUnit(static_cast<wchar_t>(b[i]))) return false;
  return true;
}

std::u16string UpperCaseName(std::u16string_view name) {
  std::u16string out(name);
  for (char16_t& c : out) c = static_cast<char16_t>(UpperUnit(static_cast<wchar_t>(c)));
  return out;
}

std::u16string MatchExistingCase(std::u16string_view path) {
  // The file system finds any spelling; the spelling on disk is what the
  // person should be shown. Each component is looked up in its folder.
  std::u16string out;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = path.size();
    std::u16string_view part = path.substr(start, end - start);
    std::u16string name(part);
    bool isDrive = part.size() == 2 && part[1] == u':';
    if (!part.empty() && !isDrive && part != u"." && part != u".." && part.find_first_of(u"*?") == std::u16string_view::npos) {
      WIN32_FIND_DATAW data;
      FindCloser find{::FindFirstFileW(win32::Wide(out + name).c_str(), &data)};
      if (find.find != INVALID_HANDLE_VALUE) name = win32::FromWide(data.cFileName);
    }
    out += name;
    if (end == path.size()) break;
    out.push_back(path[end]);
    start = end + 1;
  }
  return out;
}

bool GetFileIdentity(std::u16string_view path, FileIdentity& identity) {
  HandleCloser file{::CreateFileW(win32::Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file.handle, &info)) return false;
  identity.volume = info.dwVolumeSerialNumber;
  identity.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

bool CreateDirectory(std::u16string_view path) { return ::CreateDirectoryW(win32::Wide(path).c_str(), nullptr) != 0; }

bool RemoveDirectory(std::u16string_view path) { return ::RemoveDirectoryW(win32::Wide(path).c_str()) != 0; }

bool DeleteFile(std::u16string_view path) { return ::DeleteFileW(win32::Wide(path).c_str()) != 0; }

bool CopyFile(std::u16string_view from, std::u16string_view to, std::u16string* reason) {
  if (::CopyFileW(win32::Wide(from).c_str(), win32::Wide(to).c_str(), FALSE)) return true;
  SetReason(reason, ::GetLastError());
  return false;
}

bool MoveFileReplacing(std::u16string_view from, std::u16string_view to, std::u16string* reason) {
  if (::MoveFileExW(win32::Wide(from).c_str(), win32::Wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  SetReason(reason, ::GetLastError());
  return false;
}

bool CopyFileAttributes(std::u16string_view from, std::u16string_view to) {
  const DWORD attributes = ::GetFileAttributesW(win32::Wide(from).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  // Only those SetFileAttributesW can give; the others (a folder, a
  // compressed or sparse file, a link) belong to how a file was made.
  constexpr DWORD kSettable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                              FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_TEMPORARY;
  const DWORD given = attributes & kSettable;
  return ::SetFileAttributesW(win32::Wide(to).c_str(), given ? given : FILE_ATTRIBUTE_NORMAL) != 0;
}

std::u16string GetCurrentDirectory() {
  return Grown([](wchar_t* buffer, DWORD size) { return ::GetCurrentDirectoryW(size, buffer); });
}

std::u16string GetModuleFileName() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return win32::FromWide(buffer.data(), length);  // not cut short
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

std::u16string GetEnvironmentVariable(std::u16string_view name) {
  const std::wstring wide = win32::Wide(name);
  return Grown([&](wchar_t* buffer, DWORD size) { return ::GetEnvironmentVariableW(wide.c_str(), buffer, size); });
}

std::u16string HomeDirectory() { return GetEnvironmentVariable(u"USERPROFILE"); }

}  // namespace files
