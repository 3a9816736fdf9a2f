#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform/replacing_file.h"
#include "platform/text.h"

namespace files {

std::u16string JoinPath(std::u16string_view dir, std::u16string_view name) {
  std::u16string out(dir);
  out.push_back(kSeparator);
  out.append(name);
  return out;
}

std::string NativePath(std::u16string_view path) { return text::Utf16ToUtf8(path); }
std::u16string FromNativePath(std::string_view native) { return text::Utf8ToUtf16(native); }

std::FILE* OpenFile(std::u16string_view path, const char* mode) {
  std::string p = NativePath(path);
  return p.empty() ? nullptr : std::fopen(p.c_str(), mode);
}

static std::u16string ErrnoText(int err) { return text::Utf8ToUtf16(std::strerror(err)); }

std::u16string LastErrorText() { return ErrnoText(errno); }

bool CanOpenForReading(std::u16string_view path) {
  std::string p = NativePath(path);
  if (p.empty()) return false;
  struct stat st;
  // Only a regular file: fopen would also open a directory on Linux, and on
  // a pipe or a device it would wait for a writer that may never come.
  if (::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  FILE* f = std::fopen(p.c_str(), "rb");
  if (!f) return false;
  std::fclose(f);
  return true;
}

NameUse GetNameUse(std::u16string_view path) {
  std::string p = NativePath(path);
  if (p.empty()) return NameUse::kFree;
  struct stat st;
  // lstat: a link is a name in use, wherever it leads.
  if (::lstat(p.c_str(), &st) == 0) return NameUse::kTaken;
  return errno == ENOENT || errno == ENOTDIR ? NameUse::kFree : NameUse::kUnknown;
}

bool ReadWholeFile(std::u16string_view path, std::string& bytes) {
  bytes.clear();
  std::string p = NativePath(path);
  // Not blocking: opening a pipe (a favorites entry can be anything) would
  // otherwise wait for a writer. Only a regular file is read.
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

static std::string DirName(const std::string& p) {
  auto slash = p.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return p.substr(0, slash);
}

bool WriteFileReplacing(std::u16string_view path, std::string_view bytes, std::u16string* reason) {
  ReplacingFile file;
  if (!file.Open(path, reason)) return false;
  file.Write(bytes);
  return file.Commit(reason);
}

std::uint32_t GetFileAttributes(std::u16string_view path) {
  std::string p = NativePath(path);
  struct stat st;
  if (p.empty() || ::stat(p.c_str(), &st) != 0) return kInvalidAttributes;
  return S_ISDIR(st.st_mode) ? kAttributeDirectory : kAttributeNormal;
}

// Windows orders NTFS names by their upper-cased UTF-16 units.
static char16_t UpperUnit(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 32);  // Greek
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 32);                // Cyrillic
  return c;
}

static bool NtfsLess(const DirEntry& a, const DirEntry& b) {
  std::size_t n = std::min(a.name.size(), b.name.size());
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = UpperUnit(a.name[i]), y = UpperUnit(b.name[i]);
    if (x != y) return x < y;
  }
  if (a.name.size() != b.name.size()) return a.name.size() < b.name.size();
  return a.name < b.name;  // names that differ only in case (possible on Linux): a stable order
}

bool ListDirectory(std::u16string_view dir, std::vector<DirEntry>& entries) {
  entries.clear();
  std::string d = NativePath(dir);
  DIR* h = ::opendir(d.c_str());
  if (!h) return false;
  std::vector<DirEntry> found;
  while (dirent* e = ::readdir(h)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    DirEntry entry;
    entry.name = FromNativePath(name);
    bool isDir = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
      struct stat st;
      std::string full = d + "/" + name;
      isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entry.isDirectory = isDir;
    found.push_back(std::move(entry));
  }
  ::closedir(h);
  std::sort(found.begin(), found.end(), NtfsLess);
  entries.push_back({u".", true});
  entries.push_back({u"..", true});
  for (auto& e : found) entries.push_back(std::move(e));
  return true;
}

bool CreateDirectory(std::u16string_view path) { return ::mkdir(NativePath(path).c_str(), 0777) == 0; }

bool RemoveDirectory(std::u16string_view path) { return ::rmdir(NativePath(path).c_str()) == 0; }

bool DeleteFile(std::u16string_view path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool CopyFile(std::u16string_view from, std::u16string_view to, std::u16string* reason) {
  std::string bytes;
  if (!ReadWholeFile(from, bytes)) {
    if (reason) *reason = LastErrorText();
    return false;
  }
  return WriteFileReplacing(to, bytes, reason);
}

bool MoveFileReplacing(std::u16string_view from, std::u16string_view to, std::u16string* reason) {
  std::string a = NativePath(from), b = NativePath(to);
  if (::rename(a.c_str(), b.c_str()) != 0) {
    if (reason) *reason = LastErrorText();
    return false;
  }
  // Write-through: make the rename durable before reporting success.
  int fd = ::open(DirName(b).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

bool CopyFileAttributes(std::u16string_view from, std::u16string_view to) {
  struct stat st;
  if (::stat(NativePath(from).c_str(), &st) != 0) return false;
  return ::chmod(NativePath(to).c_str(), st.st_mode & 07777) == 0;
}

std::u16string GetCurrentDirectory() {
  std::vector<char> buf(4096);
  while (!::getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) return u"";
    buf.resize(buf.size() * 2);
  }
  return FromNativePath(buf.data());
}

std::u16string GetModuleFileName() {
  std::vector<char> buf(4096);
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return u"";
  return FromNativePath(std::string(buf.data(), static_cast<std::size_t>(n)));
}

std::u16string GetEnvironmentVariable(std::u16string_view name) {
  const char* v = std::getenv(text::Utf16ToUtf8(name).c_str());
  return v ? text::Utf8ToUtf16(v) : std::u16string();
}

std::u16string HomeDirectory() { return GetEnvironmentVariable(u"HOME"); }

}  // namespace files

namespace files {

bool WriteNewFile(std::u16string_view path, std::string_view bytes, std::u16string* reason) {
  std::string p = NativePath(path);
  int fd = p.empty() ? -1 : ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (reason) *reason = ErrnoText(p.empty() ? ENOENT : errno);
    return false;
  }
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      ::unlink(p.c_str());
      if (reason) *reason = ErrnoText(err);
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(p.c_str());
    if (reason) *reason = ErrnoText(err);
    return false;
  }
  return true;
}

bool NamesEqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (UpperUnit(a[i]) != UpperUnit(b[i])) return false;
  return true;
}

std::u16string UpperCaseName(std::u16string_view name) {
  std::u16string out(name);
  for (char16_t& c : out) c = UpperUnit(c);
  return out;
}

std::u16string MatchExistingCase(std::u16string_view path) {
  std::u16string out;
  std::size_t start = 0;
  if (!path.empty() && path[0] == kSeparator) {
    out.push_back(kSeparator);
    start = 1;
  }
  bool found = true;  // once a component is missing, nothing below it can exist
  while (start <= path.size()) {
    std::size_t end = path.find(kSeparator, start);
    if (end == std::u16string_view::npos) end = path.size();
    std::u16string_view part = path.substr(start, end - start);
    std::u16string name(part);
    if (found && !part.empty() && part != u"." && part != u"..") {
      std::u16string here = out + name;
      struct stat st;
      if (::lstat(NativePath(here).c_str(), &st) != 0) {
        found = false;
        std::vector<DirEntry> entries;
        if (ListDirectory(out.empty() ? u"." : std::u16string_view(out), entries)) {
          for (const DirEntry& e : entries) {
            if (NamesEqualNoCase(e.name, part)) {
              name = e.name;
              found = true;
              break;
            }
          }
        }
      }
    }
    out += name;
    if (end == path.size()) break;
    out.push_back(kSeparator);
    start = end + 1;
  }
  return out;
}

bool GetFileIdentity(std::u16string_view path, FileIdentity& identity) {
  struct stat st;
  if (::stat(NativePath(path).c_str(), &st) != 0) return false;
  identity.volume = static_cast<std::uint64_t>(st.st_dev);
  identity.index = static_cast<std::uint64_t>(st.st_ino);
  return true;
}

}  // namespace files
