#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "favorites_fixture.h"
#include "model/app_state.h"
#include "platform/registry.h"
#include "stores/locate_stores.h"

namespace fs = std::filesystem;

namespace {

// Sets (or, with nullptr, removes) an environment variable for one scope.
class EnvOverride {
 public:
  EnvOverride(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  }
  ~EnvOverride() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

const char kShellFolders[] =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders] 1733740000\n"
    "#time=1db4a1c2e3f4a5b\n";

// A Wine prefix as Wine lays it out: user.reg, drive_c and dosdevices/c:.
std::string MakePrefix(const std::string& prefix, const std::string& userReg) {
  fs::create_directories(prefix + "/drive_c/users/tester/Favorites");
  fs::create_directories(prefix + "/dosdevices");
  fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
  WriteFileBytes(prefix + "/user.reg", userReg);
  return fs::canonical(prefix).string() + "/drive_c/users/tester/Favorites";
}

std::u16string Located() {
  favoritesFolder.clear();
  LocateFavorites();
  return favoritesFolder;
}

}  // namespace

TEST(LocateFavorites, FindsTheFavoritesOfTheWinePrefix) {
  TempDir home;
  EnvOverride h("HOME", home.path().c_str()), p("WINEPREFIX", nullptr), u("USER", "tester");
  const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n";
  std::string expected = MakePrefix(home.file(".wine"),
                                    header + "[Software\\\\Other] 1\n\"Favorites\"=\"C:\\\\wrong\"\n\n" + kShellFolders +
                                        "\"AppData\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Roaming\"\n"
                                        "\"Favorites\"=str(2):\"%USERPROFILE%\\\\Favorites\"\n");
  EXPECT_EQ(U8(Located()), expected);
  fs::create_directory_symlink("/", home.file(".wine/dosdevices/z:"));

  // The folder found is the one the wizard reads.
  PutFile(home.file(".wine/drive_c/users/tester/Favorites"), "News/Site.url", Shortcut("http://site.test/"));
  EXPECT_EQ(Dump(ReadFavorites(favoritesFolder)), "+/News\n/News|Site|http://site.test/\n");

  struct Case {
    const char* what;
    std::string values;
    std::string expected;
  } cases[] = {
      {"plain string, other case", "\"favorites\"=\"c:\\\\USERS\\\\Tester\\\\favorites\"\n", expected},
      {"hex(2) over continued lines",
       "\"Favorites\"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,\\\n"
       "  25,00,5c,00,46,00,61,00,76,00,6f,00,72,00,69,00,74,00,65,00,73,00,00,00\n",
       expected},
      {"escaped non-ASCII", "\"Favorites\"=\"C:\\\\users\\\\tester\\\\Favorit\\x00e8s\"\n",
       fs::canonical(home.file(".wine")).string() + "/drive_c/users/tester/Favorit\xC3\xA8s"},
      {"the drive that maps the Linux root", "\"Favorites\"=\"Z:\\\\tmp\\\\\"\n", "/tmp/"},
      {"variables of the prefix", "\"Favorites\"=str(2):\"%HOMEDRIVE%%HOMEPATH%\\\\Favorites\"\n", expected},
      {"unknown variables kept", "\"Favorites\"=str(2):\"%NO_SUCH_VARIABLE_42%\\\\Favorites\"\n",
       "%NO_SUCH_VARIABLE_42%\\Favorites"},
      {"no value", "\"Desktop\"=str(2):\"%USERPROFILE%\\\\Desktop\"\n", ""},
      {"a value that holds no text", "\"Favorites\"=dword:00000001\n", ""},
  };
  for (const Case& c : cases) {
    WriteFileBytes(home.file(".wine/user.reg"), header + kShellFolders + c.values);
    EXPECT_EQ(U8(Located()), c.expected) << c.what;
  }

  // A prefix without its drive links still has its C: drive.
  WriteFileBytes(home.file(".wine/user.reg"), header + kShellFolders + "\"Favorites\"=\"C:\\\\users\\\\tester\\\\Favorites\"\n");
  fs::remove_all(home.file(".wine/dosdevices"));
  EXPECT_EQ(U8(Located()), expected);

  WriteFileBytes(home.file(".wine/user.reg"), header + "[Software\\\\Wine] 1\n\"Favorites\"=\"C:\\\\x\"\n");
  EXPECT_EQ(Located(), u"") << "no key";
  fs::remove(home.file(".wine/user.reg"));
  EXPECT_EQ(Located(), u"") << "no registry";
  fs::remove_all(home.file(".wine"));
  EXPECT_EQ(Located(), u"") << "no prefix";
}

TEST(LocateFavorites, PrefersTheWinePrefixNamedInTheEnvironment) {
  TempDir home, other;
  std::string expected = MakePrefix(other.file("pfx"), std::string(kShellFolders) +
                                                           "\"Favorites\"=str(2):\"%USERPROFILE%\\\\Favorites\"\n");
  MakePrefix(home.file(".wine"), std::string(kShellFolders) + "\"Favorites\"=\"C:\\\\home-prefix\"\n");
  EnvOverride h("HOME", home.path().c_str()), p("WINEPREFIX", other.file("pfx").c_str()), u("USER", "tester");
  EXPECT_EQ(U8(Located()), expected);
  // Variables that Wine does not set come from the environment.
  EnvOverride v("LINNET_TEST_FOLDER", "Links");
  EXPECT_EQ(registry::ExpandEnvironmentStrings(u"%linnet_test_folder%-%%-100%"), u"Links-%%-100%");
}

TEST(LocateFirefoxBookmarks, TriesOnlyTheFirstDefaultProfile) {
  TempDir home;
  EnvOverride h("HOME", home.path().c_str());
  auto located = [] {
    firefoxBookmarkFile.clear();
    LocateFirefoxBookmarks();
    return U8(firefoxBookmarkFile);
  };
  EXPECT_EQ(located(), "") << "no Firefox";

  const std::string profiles = home.file(".mozilla/firefox");
  PutFile(profiles, "abcd1234.other/bookmarks.html", "x");
  PutFile(profiles, "profiles.ini", "[Profile0]\nPath=abcd1234.default\n");
  EXPECT_EQ(located(), "") << "no default profile";

  // The file is found whatever its letter case, under its own spelling.
  PutFile(profiles, "zz.default/Bookmarks.HTML", "x");
  EXPECT_EQ(located(), profiles + "/zz.default/Bookmarks.HTML");

  // Listed first ("M" before "Z"), and without a bookmark file: nothing is found.
  fs::create_directories(profiles + "/m.Default-release");
  EXPECT_EQ(located(), "");
  PutFile(profiles, "m.Default-release/bookmarks.html", "x");
  EXPECT_EQ(located(), profiles + "/m.Default-release/bookmarks.html");

  // A matching entry that is a file counts, and finds nothing.
  PutFile(profiles, "a-default.txt", "x");
  EXPECT_EQ(located(), "");
  fs::remove(profiles + "/a-default.txt");

  // The Snap and Flatpak copies are tried after the usual place, in that order.
  fs::remove_all(profiles);
  PutFile(home.file(".var/app/org.mozilla.firefox/.mozilla/firefox"), "f.default/bookmarks.html", "x");
  EXPECT_EQ(located(), home.file(".var/app/org.mozilla.firefox/.mozilla/firefox/f.default/bookmarks.html"));
  PutFile(home.file("snap/firefox/common/.mozilla/firefox"), "s.default/BOOKMARKS.HTML", "x");
  EXPECT_EQ(located(), home.file("snap/firefox/common/.mozilla/firefox/s.default/BOOKMARKS.HTML"));
}

TEST(LocateFirefoxBookmarks, TakesThePlacesDatabaseOnlyWhereTheProfileHasNoBookmarkFile) {
  TempDir home;
  EnvOverride h("HOME", home.path().c_str());
  const std::string profiles = home.file(".mozilla/firefox");
  PutFile(profiles, "q.default-release/places.sqlite", "x");
  firefoxBookmarkFile.clear();
  LocateFirefoxBookmarks();
  EXPECT_EQ(U8(firefoxBookmarkFile), profiles + "/q.default-release/places.sqlite");
  PutFile(profiles, "q.default-release/bookmarks.html", "x");
  firefoxBookmarkFile.clear();
  LocateFirefoxBookmarks();
  EXPECT_EQ(U8(firefoxBookmarkFile), profiles + "/q.default-release/bookmarks.html");
}

// Firefox makes a "....default" profile it never uses beside the one it does
// use; its profiles.ini says which one it starts with, and that one is tried
// first, whatever the listing order.
TEST(LocateFirefoxBookmarks, TriesTheProfileFirefoxStartsWithFirst) {
  TempDir home;
  EnvOverride h("HOME", home.path().c_str());
  const std::string profiles = home.file(".mozilla/firefox");
  fs::create_directories(profiles + "/aaaa.default");
  PutFile(profiles, "zzzz.default-release/places.sqlite", "x");
  PutFile(profiles, "profiles.ini",
          "[Install4F96D1932A9F858E]\r\nDefault=zzzz.default-release\r\nLocked=1\r\n\r\n"
          "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=aaaa.default\r\nDefault=1\r\n\r\n"
          "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=zzzz.default-release\r\n");
  firefoxBookmarkFile.clear();
  LocateFirefoxBookmarks();
  EXPECT_EQ(U8(firefoxBookmarkFile), profiles + "/zzzz.default-release/places.sqlite");

  // Without an installation's default, the profile marked as the default.
  PutFile(profiles, "profiles.ini",
          "[Profile0]\nName=work\nIsRelative=1\nPath=work\nDefault=1\n[Profile1]\nPath=zzzz.default-release\n");
  PutFile(profiles, "work/bookmarks.html", "x");
  firefoxBookmarkFile.clear();
  LocateFirefoxBookmarks();
  EXPECT_EQ(U8(firefoxBookmarkFile), profiles + "/work/bookmarks.html");
}
