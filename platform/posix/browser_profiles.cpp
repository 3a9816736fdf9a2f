#include "platform/browser_profiles.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files.h"

namespace browser_profiles {

namespace {

std::string Parent(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool ReadSymbolicLink(const std::string& path, std::string& target) {
  char buffer[4096];
  const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
  if (length < 0) return false;
  target.assign(buffer, static_cast<std::size_t>(length));
  return true;
}

// A process id that is still running (or that exists but is not ours to
// signal). Text that is not a process id counts as running: a lock that
// cannot be read is not taken for a stale one.
bool ProcessRuns(const std::string& digits) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return true;
  const long pid = std::strtol(digits.c_str(), nullptr, 10);
  if (pid <= 0) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Firefox holds a write lock on .parentlock for as long as it runs; the lock
// ends with the process, whatever way it ends.
bool ParentLockHeld(const std::string& folder) {
  const int fd = ::open((folder + "/.parentlock").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

// Chromium's SingletonLock is a symbolic link to "host-pid"; it stays behind
// after a crash, so only a live process on this machine, or any process on
// another machine sharing the folder, counts.
bool SingletonLockHeld(const std::string& folder) {
  std::string target;
  if (!ReadSymbolicLink(folder + "/SingletonLock", target)) return false;
  const std::size_t dash = target.find_last_of('-');
  if (dash == std::string::npos) return true;
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0) return true;
  if (target.substr(0, dash) != host) return true;
  return ProcessRuns(target.substr(dash + 1));
}

}  // namespace

bool FirefoxProfileInUse(std::u16string_view profileFolder) {
  const std::string folder = files::NativePath(profileFolder);
  if (ParentLockHeld(folder)) return true;
  // The symbolic link "lock" names "address:+pid" of the Firefox that has
  // the profile open; a crashed Firefox leaves it behind.
  std::string target;
  if (!ReadSymbolicLink(folder + "/lock", target)) return false;
  const std::size_t plus = target.find_last_of('+');
  return ProcessRuns(plus == std::string::npos ? std::string() : target.substr(plus + 1));
}

bool ChromiumProfileInUse(std::u16string_view bookmarksFile) {
  const std::string profile = Parent(files::NativePath(bookmarksFile));
  return SingletonLockHeld(profile) || SingletonLockHeld(Parent(profile));
}

}  // namespace browser_profiles
