// The three ways the wizard saves: what lands on disk, which backups are
// made (never over an older one), and that a failure is reported as one
// with the person's bookmarks left as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "shell/wizard.h"
#include "wizard_fixture.h"

namespace {

const std::string kCompleted = "File saving completed. Thanks for using LNT 3.0!";

// A collection with one link of every verdict.
LinkList MixedLinks(const LocalSite& site) {
  return {{"Fine", site.Url("/ok")},
          {"Gone", site.Url("/gone")},
          {"folder:Work", ""},
          {"Broken", site.Url("/broken")},
          {"Nobody", LocalSite::RefusedUrl()},
          {"end", ""}};
}

std::string SiteRoot(const LocalSite& site) {
  const std::string url = site.Url("/");
  return url.substr(0, url.size() - 1);
}

// The wizard from the chosen bookmark file to the save-target dialog,
// choosing `targetClicks` there.
std::string ScriptToSave(const std::string& source, const std::string& targetClicks) {
  return ScriptToReview(source) + "dialog DIALOG_4: click 1\ndialog DIALOG_5: " + targetClicks + "\n";
}

void ExpectBox(const Json& box, const std::string& text, const std::string& icon) {
  EXPECT_EQ(box["text"].Str(), text);
  EXPECT_EQ(box["caption"].Str(), "LNT 3.0!");
  EXPECT_EQ(box["buttons"].Str(), "ok");
  EXPECT_EQ(box["icon"].Str(), icon);
  EXPECT_TRUE(box["owner"].IsNull());
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

TEST(SaveToChosenFile, WritesTheResultsAndSaysSo) {
  LocalSite site;
  TempDir work, out;
  const std::string input = BookmarkFileText(MixedLinks(site));
  WriteFileBytes(work.file("in.html"), input);
  const std::string target = out.file("checked");  // no extension is added
  WizardSetup setup;
  setup.workingDirectory = work.path();
  setup.script = ScriptToSave(work.file("in.html"), "click 203, click 1") + "save " + target + "\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();

  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u) << run.Summary();
  ExpectBox(*boxes[1], kCompleted, "information");

  const auto fileDialogs = run.Events("filedialog");
  ASSERT_EQ(fileDialogs.size(), 2u);
  EXPECT_EQ((*fileDialogs[1])["kind"].Str(), "save");
  EXPECT_EQ((*fileDialogs[1])["file"].Str(), "");
  EXPECT_EQ((*fileDialogs[1])["title"].Str(), "Choose a bookmark file");

  ASSERT_EQ(FolderListing(out.path()), std::vector<std::string>{"checked"});
  const std::string saved = ReadFileBytes(target);
  EXPECT_TRUE(Contains(saved, "HREF=\"" + site.Url("/ok") + "\"")) << saved;
  EXPECT_TRUE(Contains(saved, "HREF=\"" + SiteRoot(site) + "\"")) << saved;  // the 404 fixed
  EXPECT_FALSE(Contains(saved, site.Url("/gone"))) << saved;
  const std::size_t deleted = saved.find(">Deleted Bookmarks</H3>");
  ASSERT_NE(deleted, std::string::npos) << saved;
  EXPECT_GT(saved.find(site.Url("/broken")), deleted) << saved;
  // The input file is only read.
  EXPECT_EQ(ReadFileBytes(work.file("in.html")), input);
}

TEST(SaveToChosenFile, KeepsTheFileItReplacesAndReplacesNothingWithoutThatCopy) {
  LocalSite site;
  TempDir work, out, full;
  WriteFileBytes(work.file("in.html"), BookmarkFileText(MixedLinks(site)));
  auto save = [&](const std::string& target) {
    WizardSetup setup;
    setup.workingDirectory = work.path();
    // The save dialog asks before replacing; the person says yes.
    setup.script = ScriptToSave(work.file("in.html"), "click 203, click 1") + "save " + target +
                   "\nmsgbox yes\nmsgbox ok\n";
    return RunLinnet(setup);
  };

  const std::string target = out.file("mine.html");
  WriteFileBytes(target, "the person's own file");
  WriteFileBytes(target + ".old", "an older backup");
  WizardRun run = save(target);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
  ExpectBox(*run.Events("msgbox").back(),
            kCompleted + "\r\nA backup of the replaced file is saved to " + target + ".old.old", "information");
  EXPECT_EQ(ReadFileBytes(target + ".old.old"), "the person's own file");
  EXPECT_EQ(ReadFileBytes(target + ".old"), "an older backup");
  EXPECT_TRUE(Contains(ReadFileBytes(target), "HREF=\"" + site.Url("/ok") + "\"")) << ReadFileBytes(target);

  const std::string kept = full.file("mine.html");
  WriteFileBytes(kept, "the person's own file");
  const std::string tried = TakeEveryBackupName(kept);
  const auto before = FolderSnapshot(full.path());
  run = save(kept);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();
  const Json& box = *run.Events("msgbox").back();
  const std::string head = "The backup could not be saved to\r\n" + tried + "\r\n\r\n";
  EXPECT_EQ(box["text"].Str().substr(0, head.size()), head) << box["text"].Str();
  EXPECT_EQ(box["icon"].Str(), "error");
  EXPECT_EQ(FolderSnapshot(full.path()), before);
}

TEST(SaveToChosenFile, AfterACancelledCheckTheUncheckedLinksAreSavedAsTheyWere) {
  LocalSite site;
  TempDir work, out;
  WriteFileBytes(work.file("in.html"),
                 BookmarkFileText({{"folder:Work", ""}, {"Slow", site.Url("/slow")}, {"end", ""},
                                   {"Gone", site.Url("/gone")}}));
  const std::string target = out.file("checked.html");
  WizardSetup setup;
  setup.workingDirectory = work.path();
  // The pause lets the quick answer arrive (with a wide margin); the slow
  // one never does before the cancel.
  setup.script = "dialog DIALOG_1: click 203, click 1\nopen " + work.file("in.html") +
                 "\ndialog DIALOG_2: click 1\nmsgbox ok\ndialog DIALOG_3: sleep 1500, click 2\nmsgbox yes\n"
                 "msgbox yes\ndialog DIALOG_4: click 1\ndialog DIALOG_5: click 1\nsave " + target + "\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
  EXPECT_EQ(run.MessageTexts().back(), kCompleted);
  const std::string saved = ReadFileBytes(target);
  // The checked link is fixed; the unchecked one stays where it was, as it was.
  EXPECT_TRUE(Contains(saved, "HREF=\"" + SiteRoot(site) + "\"")) << saved;
  const std::size_t work_ = saved.find(">Work</H3>");
  const std::size_t slow = saved.find("HREF=\"" + site.Url("/slow") + "\"");
  ASSERT_NE(work_, std::string::npos) << saved;
  ASSERT_NE(slow, std::string::npos) << saved;
  EXPECT_GT(slow, work_);
  EXPECT_EQ(saved.find("Deleted Bookmarks</H3>\r\n<DL><p>\r\n<DT>"), std::string::npos) << saved;
}

TEST(SaveToChosenFile, AFailedWriteIsReportedNotCompleted) {
  LocalSite site;
  TempDir work;
  WriteFileBytes(work.file("in.html"), BookmarkFileText({{"Gone", site.Url("/gone")}}));
  std::filesystem::create_directory(work.file("taken.html"));
  struct Case {
    const char* what;
    std::string target;
    const char* beforeWrite;  // the save dialog's own question, if any
  };
  const Case cases[] = {
      {"a folder that does not exist", work.file("missing/out.html"), ""},
      {"a name taken by a folder", work.file("taken.html"), "msgbox yes\n"},
  };
  const auto before = FolderSnapshot(work.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WizardSetup setup;
    setup.workingDirectory = work.path();
    setup.script =
        ScriptToSave(work.file("in.html"), "click 1") + "save " + c.target + "\n" + c.beforeWrite + "msgbox ok\n";
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();
    const auto boxes = run.Events("msgbox");
    ASSERT_GE(boxes.size(), 2u) << run.Summary();
    EXPECT_EQ((*boxes[0])["text"].Str().rfind("You are now ready", 0), 0u);
    const std::string text = (*boxes.back())["text"].Str();
    const std::string head = "The bookmarks could not be saved to\r\n" + c.target + "\r\n\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_GT(text.size(), head.size()) << "the reason is missing";
    EXPECT_EQ((*boxes.back())["icon"].Str(), "error");
    EXPECT_EQ((*boxes.back())["buttons"].Str(), "ok");
    EXPECT_EQ((*boxes.back())["caption"].Str(), "LNT 3.0!");
    EXPECT_TRUE((*boxes.back())["owner"].IsNull());
    EXPECT_EQ(FolderSnapshot(work.path()), before);
  }
}

TEST(SaveToFirefox, KeepsEveryEarlierBackup) {
  LocalSite site;
  TempDir home;
  const std::string original = BookmarkFileText(MixedLinks(site));
  const std::string file = MakeFirefoxProfile(home.path(), original);
  const std::string folder = std::filesystem::path(file).parent_path().string();

  std::string previous = original;
  for (const std::string suffix : {".old", ".old.old"}) {
    SCOPED_TRACE(suffix);
    WizardSetup setup;
    setup.home = home.path();
    setup.script = "dialog DIALOG_1: click 202, click 1\ndialog DIALOG_2: click 1\nmsgbox ok\n"
                   "dialog DIALOG_3: wait\ndialog DIALOG_4: click 1\ndialog DIALOG_5: click 1\nmsgbox ok\n";
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
    const auto boxes = run.Events("msgbox");
    ASSERT_EQ(boxes.size(), 2u) << run.Summary();  // the confirmation, then exactly one
    ExpectBox(*boxes[1],
              "Firefox backup exporting completed; make sure you check it.\r\n"
              "A backup of the original bookmark file is saved to " + file + suffix,
              "information");
    EXPECT_EQ(ReadFileBytes(file + suffix), previous);
    const std::string now = ReadFileBytes(file);
    EXPECT_NE(now, previous);
    EXPECT_TRUE(Contains(now, "HREF=\"" + SiteRoot(site) + "\"")) << now;
    previous = now;
  }
  // The first backup was not touched by the second run.
  EXPECT_EQ(ReadFileBytes(file + ".old"), original);
  EXPECT_EQ(FolderListing(folder), (std::vector<std::string>{"bookmarks.html", "bookmarks.html.old",
                                                             "bookmarks.html.old.old"}));
}

TEST(SaveToFirefox, NoBackupMeansNoReplacement) {
  LocalSite site;
  TempDir home;
  const std::string original = BookmarkFileText({{"Gone", site.Url("/gone")}});
  const std::string file = MakeFirefoxProfile(home.path(), original);
  // No name is left for the backup, so the copy cannot be made.
  const std::string backup = TakeEveryBackupName(file);
  WizardSetup setup;
  setup.home = home.path();
  setup.script = "dialog DIALOG_1: click 202, click 1\ndialog DIALOG_2: click 1\nmsgbox ok\n"
                 "dialog DIALOG_3: wait\ndialog DIALOG_4: click 1\ndialog DIALOG_5: click 1\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();
  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u) << run.Summary();
  const std::string text = (*boxes[1])["text"].Str();
  const std::string head = "The backup could not be saved to\r\n" + backup + "\r\n\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head) << text;
  EXPECT_TRUE(EndsWith(text, "\r\n\r\nNothing has been changed.")) << text;
  EXPECT_GT(text.size(), head.size() + 29) << "the reason is missing";
  EXPECT_EQ((*boxes[1])["icon"].Str(), "error");
  EXPECT_EQ(ReadFileBytes(file), original);
}

TEST(SaveToInternetExplorer, BacksUpTheFavoritesThenReplacesThem) {
  LocalSite site;
  TempDir home, work;
  const std::string favorites = MakeWineFavorites(home.path());
  WriteFileBytes(favorites + "/Old.url", "[InternetShortcut]\r\nURL=" + site.Url("/ok") + "\r\n");
  WriteFileBytes(work.file("in.html"), BookmarkFileText(MixedLinks(site)));
  WriteFileBytes(work.file("iebackup.htm"), "first");
  WriteFileBytes(work.file("iebackup.htm.old"), "second");

  WizardSetup setup;
  setup.home = home.path();
  setup.workingDirectory = work.path();
  setup.script = ScriptToSave(work.file("in.html"), "click 201, click 1") + "msgbox ok\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();

  const std::string backup = work.file("iebackup.htm.old.old");
  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 3u) << run.Summary();
  ExpectBox(*boxes[1],
            "LNT will keep a backup of your current IE favorites in " + backup +
                ".\r\nAn exact copy of every shortcut file is saved to " + work.file("iebackup-shortcuts"),
            "information");
  ExpectBox(*boxes[2], kCompleted, "information");

  // Older backups untouched; the new one holds the favorites as they were.
  EXPECT_EQ(ReadFileBytes(work.file("iebackup.htm")), "first");
  EXPECT_EQ(ReadFileBytes(work.file("iebackup.htm.old")), "second");
  EXPECT_TRUE(Contains(ReadFileBytes(backup), "HREF=\"" + site.Url("/ok") + "\""));
  EXPECT_TRUE(Contains(ReadFileBytes(backup), ">Old</A>"));

  // The favorites now hold the results, and the old shortcut is gone.
  const auto listing = FolderListing(favorites);
  EXPECT_EQ(std::count(listing.begin(), listing.end(), "Old.url"), 0) << ::testing::PrintToString(listing);
  EXPECT_EQ(std::count(listing.begin(), listing.end(), "Fine.URL"), 1) << ::testing::PrintToString(listing);
  EXPECT_EQ(std::count(listing.begin(), listing.end(), "Deleted Bookmarks"), 1)
      << ::testing::PrintToString(listing);
}

TEST(SaveToInternetExplorer, KeepsAnExactCopyOfEveryShortcutBeforeDeletingAny) {
  LocalSite site;
  TempDir home, work;
  const std::string favorites = MakeWineFavorites(home.path());
  // What a bookmark file cannot hold: other keys and sections, a "<" in a
  // name, a backslash in a folder's name.
  const std::string rich = "[DEFAULT]\r\nBASEURL=" + site.Url("/ok") + "\r\n[InternetShortcut]\r\nURL=" +
                           site.Url("/ok") + "\r\nIconIndex=3\r\nHotKey=0\r\n";
  WriteFileBytes(favorites + "/a <b> c.url", rich);
  std::filesystem::create_directories(favorites + "/Work\\Old/Deep");
  WriteFileBytes(favorites + "/Work\\Old/Deep/Inner.URL", "[InternetShortcut]\r\nURL=" + site.Url("/gone") + "\r\n");
  WriteFileBytes(favorites + "/Work\\Old/notes.txt", "not a shortcut");
  WriteFileBytes(work.file("in.html"), BookmarkFileText(MixedLinks(site)));
  const auto shortcuts = FolderSnapshot(favorites);

  WizardSetup setup;
  setup.home = home.path();
  setup.workingDirectory = work.path();
  setup.script = ScriptToSave(work.file("in.html"), "click 201, click 1") + "msgbox ok\nmsgbox ok\n";
  WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
  const std::string copy = work.file("iebackup-shortcuts");
  EXPECT_EQ(run.MessageTexts()[1], "LNT will keep a backup of your current IE favorites in " +
                                       work.file("iebackup.htm") +
                                       ".\r\nAn exact copy of every shortcut file is saved to " + copy);
  EXPECT_EQ(FolderSnapshot(copy), (std::map<std::string, std::string>{
                                      {"a <b> c.url", rich},
                                      {"Work\\Old", "DIR"},
                                      {"Work\\Old/Deep", "DIR"},
                                      {"Work\\Old/Deep/Inner.URL", shortcuts.at("Work\\Old/Deep/Inner.URL")}}));

  // A shortcut that cannot be read: nothing is deleted, nothing is left behind.
  std::filesystem::create_symlink(home.file("nowhere"), favorites + "/Broken.url");
  const auto favoritesBefore = FolderSnapshot(favorites);
  const auto workBefore = FolderSnapshot(work.path());
  run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();
  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u) << run.Summary();  // no backup note, no completion
  const std::string text = (*boxes[1])["text"].Str();
  const std::string head = "The backup could not be saved to\r\n" + copy + ".old\r\n\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head) << text;
  EXPECT_TRUE(Contains(text, "/Broken.url\r\n")) << text;
  EXPECT_TRUE(EndsWith(text, "\r\n\r\nNothing has been changed.")) << text;
  EXPECT_EQ((*boxes[1])["icon"].Str(), "error");
  EXPECT_EQ(FolderSnapshot(favorites), favoritesBefore);
  EXPECT_EQ(FolderSnapshot(work.path()), workBefore);

  // Started inside the favorites folder, the copy would be deleted with the
  // shortcuts it keeps.
  std::filesystem::remove(favorites + "/Broken.url");
  const auto inside = FolderSnapshot(favorites);
  setup.workingDirectory = favorites;
  run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();
  ASSERT_EQ(run.MessageTexts().size(), 2u) << run.Summary();
  EXPECT_TRUE(Contains(run.MessageTexts()[1], "inside the favorites folder")) << run.MessageTexts()[1];
  EXPECT_EQ(FolderSnapshot(favorites), inside);
}

TEST(SaveToInternetExplorer, AFailedRewriteIsReportedWithWhereTheBackupIs) {
  LocalSite site;
  TempDir home, work;
  const std::string favorites = MakeWineFavorites(home.path());
  // The favorites "folder" is a plain file: nothing can be written into it.
  std::filesystem::remove(favorites);
  WriteFileBytes(favorites, "not a folder");
  WriteFileBytes(work.file("in.html"), BookmarkFileText(MixedLinks(site)));
  WizardSetup setup;
  setup.home = home.path();
  setup.workingDirectory = work.path();
  setup.script = ScriptToSave(work.file("in.html"), "click 201, click 1") + "msgbox ok\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();
  const auto texts = run.MessageTexts();
  ASSERT_EQ(texts.size(), 3u) << run.Summary();
  const std::string head = "The bookmarks could not be saved to\r\n" + favorites + "\r\n\r\n";
  EXPECT_EQ(texts[2].substr(0, head.size()), head) << texts[2];
  // Both backups are named: the exact copy is what puts the folder back.
  EXPECT_TRUE(EndsWith(texts[2], "\r\n\r\nA backup of your previous IE favorites is saved in " +
                                     work.file("iebackup.htm") + ".\r\nAn exact copy of every shortcut file is saved to " +
                                     work.file("iebackup-shortcuts")))
      << texts[2];
  EXPECT_EQ((*run.Events("msgbox")[2])["icon"].Str(), "error");
  EXPECT_EQ(ReadFileBytes(favorites), "not a folder");
}

TEST(SaveToInternetExplorer, RefusesWhenItCannotBackUpOrHasNowhereToWrite) {
  LocalSite site;
  const std::string content = BookmarkFileText({{"Gone", site.Url("/gone")}});
  const std::string script = "dialog DIALOG_1: click 203, click 1\nopen IN\ndialog DIALOG_2: click 1\nmsgbox ok\n"
                             "dialog DIALOG_3: wait\ndialog DIALOG_4: click 1\ndialog DIALOG_5: click 201, click 1\n"
                             "msgbox ok\n";
  for (const bool haveFavorites : {false, true}) {
    SCOPED_TRACE(haveFavorites ? "no backup name left" : "no favorites folder");
    TempDir home, work;
    std::string favorites, backup;
    if (haveFavorites) {
      favorites = MakeWineFavorites(home.path());
      WriteFileBytes(favorites + "/Old.url", "[InternetShortcut]\r\nURL=" + site.Url("/ok") + "\r\n");
      backup = TakeEveryBackupName(work.file("iebackup.htm"));
    }
    WriteFileBytes(work.file("in.html"), content);
    const auto homeBefore = FolderSnapshot(home.path());
    const auto workBefore = FolderSnapshot(work.path());

    WizardSetup setup;
    setup.home = home.path();
    setup.workingDirectory = work.path();
    setup.script = script;
    setup.script.replace(setup.script.find("IN"), 2, work.file("in.html"));
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();

    const auto boxes = run.Events("msgbox");
    ASSERT_EQ(boxes.size(), 2u) << run.Summary();  // no backup note, no completion
    const std::string text = (*boxes[1])["text"].Str();
    if (haveFavorites) {
      const std::string head = "The backup could not be saved to\r\n" + backup + "\r\n\r\n";
      EXPECT_EQ(text.substr(0, head.size()), head) << text;
    } else {
      ExpectBox(*boxes[1],
                "The Internet Explorer favorites folder could not be found, so there is nowhere to save to.\r\n\r\n"
                "Nothing has been changed.",
                "error");
    }
    EXPECT_EQ((*boxes[1])["icon"].Str(), "error");
    EXPECT_EQ(FolderSnapshot(home.path()), homeBefore);
    EXPECT_EQ(FolderSnapshot(work.path()), workBefore);
  }
}

}  // namespace
