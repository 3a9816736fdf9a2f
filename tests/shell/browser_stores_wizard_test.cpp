// The whole wizard on the browsers' own stores: Firefox's places database of
// a profile without a bookmark file, and a Chromium Bookmarks file chosen as
// a bookmark file; each repaired in place after a backup, and left alone
// while its browser runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "shell/wizard.h"
#include "support/browser_stores.h"
#include "wizard_fixture.h"

namespace {

std::string SiteRoot(const LocalSite& site) {
  const std::string url = site.Url("/");
  return url.substr(0, url.size() - 1);
}

std::string Profile(const std::string& home) { return home + "/.mozilla/firefox/x1y2z3.default-release"; }

// The check of the loaded links, up to the save-target dialog, which keeps
// its preselected choice.
std::string CheckThenSave(const std::string& sourceLines) {
  return sourceLines +
         "dialog DIALOG_2: click 1\n"
         "msgbox ok\n"
         "dialog DIALOG_3: wait\n"
         "dialog DIALOG_4: click 1\n"
         "dialog DIALOG_5: click 1\n";
}

TEST(FirefoxPlacesWizard, RepairsTheDatabaseOfAProfileWithoutABookmarkFile) {
  LocalSite site;
  const std::string refused = LocalSite::RefusedUrl();
  TempDir home;
  std::filesystem::create_directories(Profile(home.path()));
  const std::string places = Profile(home.path()) + "/places.sqlite";
  MakePlacesDatabase(places, {{"in:toolbar", ""},
                              {"Fine", site.Url("/ok")},
                              {"Gone", site.Url("/gone")},
                              {"in:menu", ""},
                              {"folder:Work", ""},
                              {"Nobody", refused},
                              {"end", ""}});
  const std::vector<std::string> before = PlacesRows(places);
  WizardSetup setup;
  setup.home = home.path();
  setup.script = CheckThenSave("dialog DIALOG_1: click 202, click 1\n") + "msgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary() << run.errorOutput;
  const Json* source = run.FindDialog("DIALOG_1");
  ASSERT_NE(source, nullptr);
  EXPECT_TRUE((*scripted::FindControl(*source, 202))["enabled"].boolean) << "the Firefox choice is offered";
  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u) << run.Summary();
  EXPECT_NE((*boxes[0])["text"].Str().find("a total of 3 favorites"), std::string::npos);
  EXPECT_EQ((*boxes[1])["text"].Str(),
            "Firefox backup exporting completed; make sure you check it.\r\n"
            "A backup of the original bookmark file is saved to " + places + ".old");
  EXPECT_EQ((*boxes[1])["icon"].Str(), "information");

  EXPECT_EQ(PlacesRows(places + ".old"), before);
  EXPECT_EQ(PlacesQuery(places, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(PlacesQuery(places,
                        "SELECT f.title, b.title, h.url FROM moz_bookmarks b JOIN moz_bookmarks f ON f.id = b.parent "
                        "JOIN moz_places h ON h.id = b.fk WHERE b.type = 1 ORDER BY b.parent, b.position"),
            (std::vector<std::string>{"toolbar|Fine|" + site.Url("/ok"), "toolbar|Gone|" + SiteRoot(site),
                                      "Deleted Bookmarks|Nobody|" + refused}));
  EXPECT_EQ(PlacesQuery(places, "SELECT p.title FROM moz_bookmarks b JOIN moz_bookmarks p ON p.id = b.parent "
                                "WHERE b.title = 'Deleted Bookmarks'"),
            std::vector<std::string>{"unfiled"});
}

TEST(FirefoxPlacesWizard, ChangesNothingWhileFirefoxRuns) {
  LocalSite site;
  TempDir home;
  std::filesystem::create_directories(Profile(home.path()));
  const std::string places = Profile(home.path()) + "/places.sqlite";
  MakePlacesDatabase(places, {{"in:toolbar", ""}, {"Gone", site.Url("/gone")}});
  std::filesystem::create_symlink("127.0.0.1:+" + std::to_string(getpid()), Profile(home.path()) + "/lock");
  const auto before = FolderSnapshot(Profile(home.path()));
  WizardSetup setup;
  setup.home = home.path();
  setup.script = CheckThenSave("dialog DIALOG_1: click 202, click 1\n") + "msgbox cancel\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary() << run.errorOutput;
  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 3u) << run.Summary();
  EXPECT_EQ((*boxes[1])["text"].Str(),
            "Firefox is running with the profile\r\n" + Profile(home.path()) +
                "\r\n\r\nIts bookmarks can only be saved while it is closed. Close Firefox, then press OK to save, "
                "or press Cancel to leave them as they are.");
  EXPECT_EQ((*boxes[1])["icon"].Str(), "error");
  EXPECT_EQ((*boxes[2])["text"].Str(), "The bookmarks were not saved. Nothing has been changed.");
  EXPECT_EQ(FolderSnapshot(Profile(home.path())), before);
}

TEST(ChromiumWizard, RepairsTheBookmarksFileInPlaceAfterABackup) {
  LocalSite site;
  TempDir home;
  const std::string profile = home.file(".config/chromium/Default");
  std::filesystem::create_directories(profile);
  const std::string file = profile + "/Bookmarks";
  const std::string original =
      ChromiumBookmarksText({{"Fine", site.Url("/ok")}, {"Gone", site.Url("/gone")}, {"root:other", ""},
                             {"Nobody", LocalSite::RefusedUrl()}});
  WriteFileBytes(file, original);
  WizardSetup setup;
  setup.home = home.path();
  setup.script = CheckThenSave("dialog DIALOG_1: click 203, click 1\nopen " + file + "\n") + "save " + file +
                 "\nmsgbox yes\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary() << run.errorOutput;
  const auto boxes = run.Events("msgbox");
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ((*boxes.back())["text"].Str(),
            "File saving completed. Thanks for using LNT 3.0!\r\n"
            "A backup of the original bookmark file is saved to " + file + ".old");
  EXPECT_EQ(ReadFileBytes(file + ".old"), original);
  const std::string saved = ReadFileBytes(file);
  EXPECT_NE(saved.find("\"url\": \"" + SiteRoot(site) + "\""), std::string::npos) << saved;
  EXPECT_NE(saved.find("\"name\": \"Deleted Bookmarks\""), std::string::npos) << saved;
  EXPECT_EQ(saved.rfind("{\n   \"checksum\": \"", 0), 0u) << "still the browser's own format";
  EXPECT_EQ(saved.find("<DT>"), std::string::npos);
}

TEST(ChromiumWizard, ChangesNothingWhileTheBrowserRuns) {
  LocalSite site;
  TempDir home;
  const std::string config = home.file(".config/chromium");
  std::filesystem::create_directories(config + "/Default");
  const std::string file = config + "/Default/Bookmarks";
  WriteFileBytes(file, ChromiumBookmarksText({{"Gone", site.Url("/gone")}}));
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  std::filesystem::create_symlink(std::string(host) + "-" + std::to_string(getpid()), config + "/SingletonLock");
  const auto before = FolderSnapshot(config);
  WizardSetup setup;
  setup.home = home.path();
  setup.script = CheckThenSave("dialog DIALOG_1: click 203, click 1\nopen " + file + "\n") + "save " + file +
                 "\nmsgbox yes\nmsgbox cancel\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary() << run.errorOutput;
  const auto boxes = run.Events("msgbox");
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_NE((*boxes[boxes.size() - 2])["text"].Str().find("is running with its profile"), std::string::npos);
  EXPECT_EQ(FolderSnapshot(config), before);
}

TEST(BrowserStoresWizard, ADamagedStoreIsReportedAndTheWizardEnds) {
  TempDir home, work;
  std::filesystem::create_directories(Profile(home.path()));
  const std::string places = Profile(home.path()) + "/places.sqlite";
  WriteFileBytes(work.file("Bookmarks"), "{\"roots\": {\"bookmark_bar\": {\"children\": [");
  const std::string firefox = "dialog DIALOG_1: click 202, click 1\n";
  const struct {
    const char* what;
    std::string places;
    std::string script;
  } cases[] = {
      {"a damaged database", "SQLite format 3" + std::string(1, '\0') + std::string(100, 'x'), firefox},
      {"a bookmark file named as the database", "<DT><A HREF=\"http://a.example/\">A</A>\n", firefox},
      {"a Bookmarks file cut short", "", "dialog DIALOG_1: click 203, click 1\nopen " + work.file("Bookmarks") + "\n"},
  };
  for (const auto& c : cases) {
    if (!c.places.empty()) WriteFileBytes(places, c.places);
    WizardSetup setup;
    setup.home = home.path();
    setup.script = c.script + "msgbox ok\n";
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << c.what << run.Summary() << run.errorOutput;
    const auto boxes = run.Events("msgbox");
    ASSERT_EQ(boxes.size(), 1u) << c.what << run.Summary();
    EXPECT_EQ((*boxes[0])["text"].Str().rfind("The bookmarks could not be read from\r\n", 0), 0u) << c.what;
    EXPECT_NE((*boxes[0])["text"].Str().find("\r\n\r\nNothing has been changed."), std::string::npos) << c.what;
    EXPECT_EQ((*boxes[0])["icon"].Str(), "error");
    EXPECT_EQ(run.FindDialog("DIALOG_2"), nullptr) << c.what;
    if (!c.places.empty()) {
      EXPECT_EQ(ReadFileBytes(places), c.places) << c.what;
    }
  }
}

}  // namespace
