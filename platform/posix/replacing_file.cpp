#include "platform/replacing_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/text.h"

namespace files {

struct ReplacingFile::State {
  int fd = -1;  // holds the lock that marks the temporary file as in use
  std::string target;
  std::string temporary;
  int error = 0;  // the first failure since Open
};

namespace {

// The temporary files of a target are named after it: ".linnet-NAME-N" in
// its folder, N counting from 1. A write holds an exclusive lock (flock) on
// its temporary file from creating it until it is renamed or removed, and the
// system drops the lock when the writing process ends, however it ends. So a
// file of that name that nobody holds locked is what an interrupted write
// left behind, and the next write to the target removes it.
constexpr char kTemporaryPrefix[] = ".linnet-";
// Slots looked at by every write, whether or not it needs them; beyond them
// only as far as a free one.
constexpr int kSweptSlots = 8;
// Keeps a file system that never lets a name be created from spinning the loop.
constexpr int kMaxAttempts = 1000;
// Room left in a 255-byte name for the prefix, the dash and the number.
constexpr std::size_t kMaxNameBytes = 255 - (sizeof kTemporaryPrefix - 1) - 12;

std::u16string ErrorText(int err) { return text::Utf8ToUtf16(std::strerror(err)); }

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string TemporaryName(const std::string& target, int slot) {
  auto slash = target.find_last_of('/');
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
  return FolderOf(target) + "/" + kTemporaryPrefix + name + "-" + std::to_string(slot);
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// True when `fd` is still the file named `path` (a sweeping write may have
// removed the name before the lock was taken).
bool StillNamed(int fd, const std::string& path) {
  struct stat open, named;
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(open, named);
}

// Removes the temporary file `path` if no write holds it. True when it is gone.
bool RemoveIfStale(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  struct stat st;
  bool removed = false;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, path))
    removed = ::unlink(path.c_str()) == 0;
  ::close(fd);  // the lock goes with it
  return removed;
}

// Creates and locks a temporary file for `target` in the lowest free slot,
// removing stale ones on the way. The descriptor, or -1 with errno set.
int CreateTemporary(const std::string& target, std::string& chosen) {
  int fd = -1;
  int attempts = 0;
  for (int slot = 1; fd < 0 || slot <= kSweptSlots; ++slot) {
    const std::string path = TemporaryName(target, slot);
    if (fd >= 0) {
      RemoveIfStale(path);
      continue;
    }
    if (++attempts > kMaxAttempts) {
      errno = EEXIST;
      return -1;
    }
    int created = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (created >= 0) {
      // Another write sweeping the slots may hold it for a moment, or have
      // removed it before the lock: then the same slot again. Where the file
      // system has no locks the write goes on without one; nothing there can
      // tell its file from a stale one, so nothing is removed either.
      while (::flock(created, LOCK_EX) != 0 && errno == EINTR) {
      }
      if (StillNamed(created, path)) {
        fd = created;
        chosen = path;
      } else {
        ::close(created);
        --slot;
      }
      continue;
    }
    if (errno != EEXIST) return -1;
    if (RemoveIfStale(path)) --slot;  // freed: take it
  }
  return fd;
}

void Discard(ReplacingFile::State& s) {
  // The name goes while the lock is still held: once it is released, the
  // slot may belong to another write.
  if (!s.temporary.empty()) ::unlink(s.temporary.c_str());
  s.temporary.clear();
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
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
  s.fd = CreateTemporary(s.target, s.temporary);
  if (s.fd < 0) return Fail(s, errno, reason);
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
  // A second descriptor keeps the lock through the rename, so that the
  // writing descriptor's own close can still be checked first.
  int lock = ::dup(s.fd);
  int fd = s.fd;
  s.fd = lock;
  if (::close(fd) != 0) return Fail(s, errno, reason);
  if (::rename(s.temporary.c_str(), s.target.c_str()) != 0) return Fail(s, errno, reason);
  s.temporary.clear();
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
  // Make the rename itself durable before reporting success.
  int dir = ::open(FolderOf(s.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace files
