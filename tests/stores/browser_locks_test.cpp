// How Linux tells a browser that runs with a profile from one that left its
// lock behind: Firefox's lock link and its lock on .parentlock, Chromium's
// SingletonLock link.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "platform/browser_profiles.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace {

TEST(FirefoxProfileLock, TellsARunningFirefoxFromOneThatLeftItsLockBehind) {
  TempDir profile;
  EXPECT_FALSE(browser_profiles::FirefoxProfileInUse(profile.path16()));
  WriteFileBytes(profile.file(".parentlock"), "");
  EXPECT_FALSE(browser_profiles::FirefoxProfileInUse(profile.path16())) << "a lock file nobody holds";

  std::filesystem::create_symlink("127.0.0.1:+" + std::to_string(getpid()), profile.file("lock"));
  EXPECT_TRUE(browser_profiles::FirefoxProfileInUse(profile.path16()));
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  std::filesystem::remove(profile.file("lock"));
  std::filesystem::create_symlink("127.0.0.1:+" + std::to_string(gone), profile.file("lock"));
  EXPECT_FALSE(browser_profiles::FirefoxProfileInUse(profile.path16())) << "left behind by a Firefox that crashed";

  // While Firefox runs it holds a lock on .parentlock (another process here).
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    const int fd = ::open(profile.file(".parentlock").c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    fcntl(fd, F_SETLK, &lock);
    (void)!write(ready[1], "x", 1);
    pause();
    _exit(0);
  }
  char byte;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  EXPECT_TRUE(browser_profiles::FirefoxProfileInUse(profile.path16()));
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  EXPECT_FALSE(browser_profiles::FirefoxProfileInUse(profile.path16()));
  close(ready[0]);
  close(ready[1]);
}

TEST(ChromiumProfileLock, TellsARunningBrowserFromALockLeftBehind) {
  TempDir config;
  const std::string profile = config.file("Default");
  std::filesystem::create_directories(profile);
  const std::u16string bookmarks = text::Utf8ToUtf16(profile + "/Bookmarks");
  EXPECT_FALSE(browser_profiles::ChromiumProfileInUse(bookmarks));
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  std::filesystem::create_symlink(std::string(host) + "-" + std::to_string(getpid()), config.file("SingletonLock"));
  EXPECT_TRUE(browser_profiles::ChromiumProfileInUse(bookmarks));
  std::filesystem::remove(config.file("SingletonLock"));
  std::filesystem::create_symlink(std::string(host) + "-999999999", config.file("SingletonLock"));
  EXPECT_FALSE(browser_profiles::ChromiumProfileInUse(bookmarks)) << "left behind by a crash";
  std::filesystem::remove(config.file("SingletonLock"));
  std::filesystem::create_symlink("another-machine-42", config.file("SingletonLock"));
  EXPECT_TRUE(browser_profiles::ChromiumProfileInUse(bookmarks)) << "a browser elsewhere cannot be asked";
}

}  // namespace
