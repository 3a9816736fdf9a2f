#include "platform/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace files {

struct ReplacingFile::State {
  int fd = -1;
  std::string target;
  std::string temporary;
  int error = 0;  // the first failure since Open
};

namespace {

std::u16string ErrorText(int err) { return text::Utf8ToUtf16(std::strerror(err)); }

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void Discard(ReplacingFile::State& s) {
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
  if (!s.temporary.empty()) ::unlink(s.temporary.c_str());
  s.temporary.clear();
}

bool Fail(ReplacingFile::State& s, int err, std::u16string* reason) {
  Discard(s);
  if (reason) *reason = ErrorText(err);
  return false;
}

}  // namespace

ReplacingFile::ReplacingFile() : state_(std::make_unique<State>()) {}

ReplacingFile::~ReplacingFile() { Discard(*state_); }

bool ReplacingFile::Open(std::u16string_view path, std::u16string* reason) {
  State& s = *state_;
  Discard(s);
  s.error = 0;
  s.target = NativePath(path);
  if (s.target.empty()) return Fail(s, ENOENT, reason);
  struct stat st;
  bool exists = ::stat(s.target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return Fail(s, EISDIR, reason);
  std::string pattern = FolderOf(s.target) + "/.linnet-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  s.fd = ::mkstemp(name.data());
  if (s.fd < 0) return Fail(s, errno, reason);
  s.temporary = name.data();
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(s.fd, mode);
  return true;
}

void ReplacingFile::Write(std::string_view bytes) {
  State& s = *state_;
  if (s.fd < 0) {
    if (!s.error) s.error = EBADF;
    return;
  }
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0 && !s.error) {
    ssize_t n = ::write(s.fd, p, left);
    if (n < 0) {
      if (errno != EINTR) s.error = errno;
      continue;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
}

bool ReplacingFile::Commit(std::u16string* reason) {
  State& s = *state_;
  if (s.fd < 0) return Fail(s, s.error ? s.error : EBADF, reason);
  if (s.error) return Fail(s, s.error, reason);
  if (::fsync(s.fd) != 0) return Fail(s, errno, reason);
  int fd = s.fd;
  s.fd = -1;
  if (::close(fd) != 0) return Fail(s, errno, reason);
  if (::rename(s.temporary.c_str(), s.target.c_str()) != 0) return Fail(s, errno, reason);
  s.temporary.clear();
  // Make the rename itself durable before reporting success.
  int dir = ::open(FolderOf(s.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace files
