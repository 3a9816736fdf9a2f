// How Windows tells a browser that runs with a profile from one that left
// its lock file behind: the running browser holds the file open, sharing
// it with no one who would write (Firefox's parent.lock, Chromium's
// lockfile in its user data folder).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/browser_profiles.h"
#include "support/temp_dir.h"

namespace {

// A lock file held open the way the browser holds it, for one scope.
class HeldOpen {
 public:
  HeldOpen(const std::string& path, DWORD share)
      : handle_(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldOpen() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

TEST(FirefoxProfileLock, IsHeldOnlyWhileFirefoxHasParentLockOpen) {
  TempDir profile;
  EXPECT_FALSE(browser_profiles::FirefoxProfileInUse(profile.path16()));
  {
    HeldOpen running(profile.file("parent.lock"), 0);
    ASSERT_TRUE(running.held());
    EXPECT_TRUE(browser_profiles::FirefoxProfileInUse(profile.path16()));
  }
  EXPECT_FALSE(browser_profiles::FirefoxProfileInUse(profile.path16())) << "a lock file nobody holds";
}

TEST(ChromiumProfileLock, IsHeldOnlyWhileTheBrowserHasItsLockfileOpen) {
  TempDir userData;
  ASSERT_TRUE(::CreateDirectoryA(userData.file("Default").c_str(), nullptr));
  const std::u16string bookmarks = userData.file16("Default\\Bookmarks");
  EXPECT_FALSE(browser_profiles::ChromiumProfileInUse(bookmarks));
  {
    HeldOpen running(userData.file("lockfile"), FILE_SHARE_READ);
    ASSERT_TRUE(running.held());
    EXPECT_TRUE(browser_profiles::ChromiumProfileInUse(bookmarks));
  }
  EXPECT_FALSE(browser_profiles::ChromiumProfileInUse(bookmarks)) << "a lock file nobody holds";
  // A browser started on the profile folder itself keeps its lock there.
  HeldOpen direct(userData.file("Default\\lockfile"), FILE_SHARE_READ);
  EXPECT_TRUE(browser_profiles::ChromiumProfileInUse(bookmarks));
}

}  // namespace
