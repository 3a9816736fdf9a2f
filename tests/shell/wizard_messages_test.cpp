// The wizard's own message boxes between the choices and the save: their
// texts, caption, buttons, icon and owner, and where each answer leads.
#include <gtest/gtest.h>

#include <cstdlib>

#include "shell/wizard.h"
#include "wizard_fixture.h"

namespace {

std::string ConfirmText(unsigned count) {
  return "You are now ready to check a total of " + std::to_string(count) +
         " favorites.\r\n\r\nPlease note that, at this stage, nothing is altered in your favorites; they are only "
         "tested. You will be prompted later to apply the changes.\r\n\r\nTo continue, press OK.\r\nTo cancel, "
         "press Cancel.";
}

void ExpectPlainWizardBox(const Json& box, const std::string& buttons) {
  EXPECT_EQ(box["caption"].Str(), "LNT 3.0!");
  EXPECT_EQ(box["buttons"].Str(), buttons);
  EXPECT_EQ(box["icon"].Str(), "none");
  EXPECT_TRUE(box["owner"].IsNull());
}

TEST(Wizard, ConfirmationCountsEveryLinkOfTheTree) {
  struct Case {
    const char* what;
    std::string content;
    unsigned count;
  };
  const Case cases[] = {
      {"a file without links", BookmarkFileText({}), 0},
      {"links in the root", BookmarkFileText({{"A", "http://a.invalid/"}, {"B", "http://b.invalid/"}}), 2},
      {"links in nested folders",
       BookmarkFileText({{"A", "http://a.invalid/"},
                         {"folder:Work", ""},
                         {"B", "http://b.invalid/"},
                         {"folder:Old", ""},
                         {"C", "http://c.invalid/"},
                         {"end", ""},
                         {"end", ""},
                         {"D", "http://d.invalid/"}}),
       4},
      {"a file that is not a bookmark file", "just some text\n", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir work;
    WriteFileBytes(work.file("in.html"), c.content);
    WizardSetup setup;
    setup.workingDirectory = work.path();
    setup.script = "dialog DIALOG_1: click 203, click 1\nopen " + work.file("in.html") +
                   "\ndialog DIALOG_2: click 1\nmsgbox cancel\n";
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
    const auto boxes = run.Events("msgbox");
    ASSERT_EQ(boxes.size(), 1u) << run.Summary();
    EXPECT_EQ((*boxes[0])["text"].Str(), ConfirmText(c.count));
    ExpectPlainWizardBox(*boxes[0], "okcancel");
    EXPECT_EQ((*boxes[0])["default"].Int(), 1);
  }
}

TEST(Wizard, NoFavoritesFolderGivesAnEmptyCheckThatStillGoesOn) {
  // No Wine prefix in this home: Internet Explorer is still offered, and
  // loading from it finds nothing; the sequence goes on through an empty
  // check, which is complete at once without a question, to the review,
  // which has nothing to show and ends the run.
  WizardSetup setup;
  setup.script = "dialog DIALOG_1: click 1\ndialog DIALOG_2: click 1\nmsgbox ok\ndialog DIALOG_3: wait\n"
                 "msgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
  EXPECT_EQ(run.MessageTexts(),
            (std::vector<std::string>{ConfirmText(0), "None of your favorites have any problems.\r\nLNT will now exit."}));
  EXPECT_EQ(run.FindDialog("DIALOG_3"), nullptr) << run.Summary();
}

TEST(Wizard, WithoutANetworkItSaysSoAndStops) {
  if (std::system("unshare -n true >/dev/null 2>&1") != 0) GTEST_SKIP() << "no permission to make a network namespace";
  TempDir work;
  WriteFileBytes(work.file("in.html"), BookmarkFileText({{"A", "http://a.invalid/"}}));
  WizardSetup setup;
  setup.workingDirectory = work.path();
  setup.assumeOnline = false;
  setup.withoutNetwork = true;
  setup.script = "dialog DIALOG_1: click 203, click 1\nopen " + work.file("in.html") +
                 "\ndialog DIALOG_2: click 1\nmsgbox ok\nmsgbox ok\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, kExitRunFailed)) << run.Summary();
  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u) << run.Summary();
  EXPECT_EQ((*boxes[1])["text"].Str(), "Your system is not connected to the Internet; LNT cannot run");
  ExpectPlainWizardBox(*boxes[1], "ok");
  // Nothing was checked, and nothing was written.
  for (const Json* e : run.Events("dialog")) EXPECT_NE((*e)["name"].Str(), "DIALOG_3");
  EXPECT_EQ(FolderListing(work.path()), std::vector<std::string>{"in.html"});
}

TEST(Wizard, ACancelledCheckAsksWhetherToGoOn) {
  LocalSite site;
  TempDir work;
  // The only link never answers in time, so the check is still running at
  // the cancel, and afterwards it stays unchecked, which the review does not
  // list: going on ends at the review's own message.
  WriteFileBytes(work.file("in.html"), BookmarkFileText({{"Slow", site.Url("/slow")}}));
  const std::string question =
      "Do you want to proceed with the current bookmark state?\r\nIf you say no, LNT will terminate.";
  const std::string nothingToDo = "None of your favorites have any problems.\r\nLNT will now exit.";

  for (const bool goOn : {false, true}) {
    SCOPED_TRACE(goOn ? "Yes" : "No");
    WizardSetup setup;
    setup.workingDirectory = work.path();
    setup.script = "dialog DIALOG_1: click 203, click 1\nopen " + work.file("in.html") +
                   "\ndialog DIALOG_2: click 1\nmsgbox ok\ndialog DIALOG_3: click 2\nmsgbox yes\n" +
                   (goOn ? "msgbox yes\nmsgbox ok\n" : "msgbox no\n");
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
    const auto texts = run.MessageTexts();
    ASSERT_GE(texts.size(), 3u) << run.Summary();
    EXPECT_EQ(texts[2], question);
    ExpectPlainWizardBox(*run.Events("msgbox")[2], "yesno");
    EXPECT_EQ(texts.size(), goOn ? 4u : 3u) << run.Summary();
    if (goOn && texts.size() == 4u) {
      EXPECT_EQ(texts[3], nothingToDo);
    }
    EXPECT_EQ(FolderListing(work.path()), std::vector<std::string>{"in.html"});
  }
}

}  // namespace
