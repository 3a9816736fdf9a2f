// Every way of declining a choice ends the run at once, with exit code 0,
// and leaves the person's stores and the start-up folder exactly as they were.
#include <gtest/gtest.h>

#include "wizard_fixture.h"

namespace {

struct CancelCase {
  const char* what;
  std::string script;
  std::vector<std::string> messages;  // the message boxes expected on the way
};

TEST(Wizard, DecliningAnyChoiceEndsWithoutWritingAnything) {
  LocalSite site;
  TempDir home, work;
  const std::string bookmarks = BookmarkFileText({{"Fine", site.Url("/ok")}, {"Gone", site.Url("/gone")}});
  MakeFirefoxProfile(home.path(), bookmarks);
  const std::string favorites = MakeWineFavorites(home.path());
  WriteFileBytes(favorites + "/Old.url", "[InternetShortcut]\r\nURL=" + site.Url("/gone") + "\r\n");
  WriteFileBytes(work.file("chosen.html"), bookmarks);
  const std::string chosen = work.file("chosen.html");

  const std::string confirm = "You are now ready to check a total of 2 favorites.\r\n\r\n"
                              "Please note that, at this stage, nothing is altered in your favorites; they are only "
                              "tested. You will be prompted later to apply the changes.\r\n\r\n"
                              "To continue, press OK.\r\nTo cancel, press Cancel.";
  const std::vector<CancelCase> cases = {
      {"Cancel in the source dialog", "dialog DIALOG_1: click 2\n", {}},
      {"Escape in the source dialog", "dialog DIALOG_1: key escape\n", {}},
      {"close box of the source dialog", "dialog DIALOG_1: close\n", {}},
      {"cancelled open dialog", "dialog DIALOG_1: click 203, click 1\nopen cancel\n", {}},
      {"Cancel in the actions dialog", "dialog DIALOG_1: click 202, click 1\ndialog DIALOG_2: click 2\n", {}},
      {"Escape in the actions dialog", "dialog DIALOG_1: click 1\ndialog DIALOG_2: key escape\n", {}},
      {"Cancel at the confirmation",
       "dialog DIALOG_1: click 203, click 1\nopen " + chosen + "\ndialog DIALOG_2: click 1\nmsgbox cancel\n",
       {confirm}},
      {"Cancel confirmed in the save-target dialog",
       ScriptToReview(chosen) + "dialog DIALOG_4: click 1\ndialog DIALOG_5: click 2\nmsgbox yes\n",
       {confirm, "Are you sure you want to cancel?"}},
      {"close box of the save-target dialog, confirmed",
       ScriptToReview(chosen) + "dialog DIALOG_4: click 1\ndialog DIALOG_5: close\nmsgbox yes\n",
       {confirm, "Are you sure you want to cancel?"}},
  };

  const auto homeBefore = FolderSnapshot(home.path());
  const auto workBefore = FolderSnapshot(work.path());
  for (const CancelCase& c : cases) {
    SCOPED_TRACE(c.what);
    WizardSetup setup;
    setup.script = c.script;
    setup.home = home.path();
    setup.workingDirectory = work.path();
    const WizardRun run = RunLinnet(setup);
    EXPECT_TRUE(EndedWith(run, 0)) << run.Summary();
    EXPECT_EQ(run.MessageTexts(), c.messages) << run.Summary();
    for (const Json* f : run.Events("filedialog")) EXPECT_EQ((*f)["kind"].Str(), "open");
    EXPECT_EQ(FolderSnapshot(home.path()), homeBefore);
    EXPECT_EQ(FolderSnapshot(work.path()), workBefore);
  }
}

}  // namespace
