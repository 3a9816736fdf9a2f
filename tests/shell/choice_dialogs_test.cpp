// The three choice dialogs as the person meets them in the wizard: what
// they show first, what each answer returns, and the guard on cancelling
// the save.
#include <gtest/gtest.h>

#include <filesystem>

#include "wizard_fixture.h"

namespace {

bool Checked(const Json& dialog, int id) {
  const Json* c = scripted::FindControl(dialog, id);
  return c && (*c)["checked"].boolean;
}

bool Enabled(const Json& dialog, int id) {
  const Json* c = scripted::FindControl(dialog, id);
  return c && (*c)["enabled"].boolean;
}

TEST(SourceDialog, StartsOnInternetExplorerAndOffersFirefoxOnlyWhenFound) {
  for (const bool withFirefox : {false, true}) {
    SCOPED_TRACE(withFirefox ? "with a Firefox profile" : "without Firefox");
    TempDir home;
    if (withFirefox) MakeFirefoxProfile(home.path(), BookmarkFileText({}));
    WizardSetup setup;
    setup.home = home.path();
    // A click on a greyed-out choice does nothing, so OK then takes the default.
    setup.script = "dialog DIALOG_1: click 202, click 1\ndialog DIALOG_2: click 2\n";
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();

    const Json* shown = run.FindDialog("DIALOG_1");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ((*shown)["caption"].Str(), "Linnet 3");
    EXPECT_TRUE((*shown)["owner"].IsNull());
    EXPECT_TRUE(Checked(*shown, 201));
    EXPECT_FALSE(Checked(*shown, 202));
    EXPECT_FALSE(Checked(*shown, 203));
    EXPECT_TRUE(Enabled(*shown, 201));
    EXPECT_EQ(Enabled(*shown, 202), withFirefox);
    EXPECT_TRUE(Enabled(*shown, 203));

    const Json* ended = run.FindEnd("DIALOG_1");
    ASSERT_NE(ended, nullptr);
    EXPECT_EQ((*ended)["result"].Int(), withFirefox ? 2 : 1);
  }
}

TEST(SourceDialog, BookmarkFileChoiceOpensTheFileDialogAtTheStartupFolder) {
  TempDir work;
  WizardSetup setup;
  setup.workingDirectory = work.path();
  setup.script = "dialog DIALOG_1: click 203, click 1\nopen cancel\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
  EXPECT_EQ((*run.FindEnd("DIALOG_1"))["result"].Int(), 3);
  const auto dialogs = run.Events("filedialog");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ((*dialogs[0])["kind"].Str(), "open");
  EXPECT_EQ((*dialogs[0])["title"].Str(), "Choose a bookmark file");
  EXPECT_EQ((*dialogs[0])["file"].Str(), work.path());
  // The filter as the dialog shows it names the one entry and its pattern.
  const std::string filter = (*dialogs[0])["filter"].Str();
  EXPECT_NE(filter.find("HTML files"), std::string::npos) << filter;
  EXPECT_NE(filter.find("*.HTM;*.HTML"), std::string::npos) << filter;
}

TEST(SourceDialog, UpdateButtonClearsLeftoversAndAFailedUpdateKeepsTheDialogAsItWas) {
  // A copy of the program with what an earlier update may have left beside it.
  TempDir place;
  const std::string binary = place.file("linnet");
  std::filesystem::copy_file(scripted::DefaultBinary(), binary);
  std::filesystem::permissions(binary, std::filesystem::perms::owner_all);
  WriteFileBytes(binary + ".old", "previous copy");
  WriteFileBytes(binary + ".new", "half a download");

  WizardSetup setup;
  setup.binary = binary;
  // An update server that cannot be reached: the update fails.
  const std::string refused = LocalSite::RefusedUrl();
  setup.environment["LINNET_UPDATE_HOST"] = refused.substr(7, refused.size() - 8);
  setup.script = "dialog DIALOG_1: click 203, click 9\nmsgbox ok\ndialog DIALOG_1: click 1\nopen cancel\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
  EXPECT_EQ(FolderListing(place.path()), std::vector<std::string>{"linnet"});
  ASSERT_NE(run.FindDialog("DIALOG_UPDATE"), nullptr) << run.Summary();
  // Still open after the update, and still on the choice made before it.
  const Json* ended = run.FindEnd("DIALOG_1");
  ASSERT_NE(ended, nullptr);
  EXPECT_EQ((*ended)["result"].Int(), 3);
  EXPECT_EQ(run.Events("filedialog").size(), 1u);
}

TEST(ActionsDialog, ReturnsTheChosenPolicyAsFlags) {
  struct Case {
    const char* clicks;
    long long flags;
  };
  const Case cases[] = {
      {"click 1", 0x1111},                                  // the defaults: fix 404, delete 500 and failures
      {"key enter", 0x1111},                                // Enter is OK
      {"click 201, click 301, click 401, click 1", 0x0001}, // delete, ignore, ignore
      {"click 201, click 1", 0x1101},
      {"click 301, click 1", 0x1011},
      {"click 401, click 1", 0x0111},
      {"click 201, click 202, click 1", 0x1111},            // changing one's mind counts the last click
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicks);
    WizardSetup setup;
    setup.script = std::string("dialog DIALOG_1: click 1\ndialog DIALOG_2: ") + c.clicks + "\nmsgbox cancel\n";
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
    const Json* shown = run.FindDialog("DIALOG_2");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ((*shown)["caption"].Str(), "Linnet 3");
    for (int id : {202, 302, 402}) EXPECT_TRUE(Checked(*shown, id)) << id;
    for (int id : {201, 301, 401}) EXPECT_FALSE(Checked(*shown, id)) << id;
    const Json* ended = run.FindEnd("DIALOG_2");
    ASSERT_NE(ended, nullptr);
    EXPECT_EQ((*ended)["result"].Int(), c.flags);
  }
}

TEST(SaveTargetDialog, StartsWhereTheBookmarksCameFrom) {
  LocalSite site;
  const std::string content = BookmarkFileText({{"Gone", site.Url("/gone")}});
  struct Case {
    const char* sourceClicks;
    bool needsOpen;
    int preselected;
  };
  const Case cases[] = {{"click 203, click 1", true, 203}, {"click 202, click 1", false, 202}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sourceClicks);
    TempDir home, work;
    MakeFirefoxProfile(home.path(), content);
    WriteFileBytes(work.file("mine.html"), content);
    WizardSetup setup;
    setup.home = home.path();
    setup.workingDirectory = work.path();
    setup.script = std::string("dialog DIALOG_1: ") + c.sourceClicks + "\n" +
                   (c.needsOpen ? "open " + work.file("mine.html") + "\n" : "") +
                   "dialog DIALOG_2: click 1\nmsgbox ok\ndialog DIALOG_3: wait\ndialog DIALOG_4: click 1\n"
                   "dialog DIALOG_5: click 2\nmsgbox yes\n";
    const WizardRun run = RunLinnet(setup);
    ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();
    const Json* shown = run.FindDialog("DIALOG_5");
    ASSERT_NE(shown, nullptr) << run.Summary();
    for (int id : {201, 202, 203}) EXPECT_EQ(Checked(*shown, id), id == c.preselected) << id;
    EXPECT_TRUE(Enabled(*shown, 202));
  }
}

TEST(SaveTargetDialog, CancelAsksFirstAndEnterMeansNo) {
  LocalSite site;
  TempDir work;
  WriteFileBytes(work.file("mine.html"), BookmarkFileText({{"Gone", site.Url("/gone")}}));
  WizardSetup setup;
  setup.workingDirectory = work.path();
  // No Firefox here: its choice is greyed out and cannot be picked.
  setup.script = ScriptToReview(work.file("mine.html")) +
                 "dialog DIALOG_4: click 1\n"
                 "dialog DIALOG_5: click 202, key escape\n"
                 "msgbox enter\n"
                 "dialog DIALOG_5: close\n"
                 "msgbox no\n"
                 "dialog DIALOG_5: click 2\n"
                 "msgbox yes\n";
  const WizardRun run = RunLinnet(setup);
  ASSERT_TRUE(EndedWith(run, 0)) << run.Summary();

  const Json* shown = run.FindDialog("DIALOG_5");
  ASSERT_NE(shown, nullptr);
  EXPECT_FALSE(Enabled(*shown, 202));
  EXPECT_TRUE(Checked(*shown, 203));

  const auto boxes = run.Events("msgbox");
  ASSERT_EQ(boxes.size(), 4u) << run.Summary();  // the confirmation, then three questions
  for (std::size_t i = 1; i < boxes.size(); ++i) {
    const Json& box = *boxes[i];
    EXPECT_EQ(box["text"].Str(), "Are you sure you want to cancel?");
    EXPECT_EQ(box["caption"].Str(), "LNT 3.0!");
    EXPECT_EQ(box["buttons"].Str(), "yesno");
    EXPECT_EQ(box["icon"].Str(), "question");
    EXPECT_EQ(box["default"].Int(), 2);
    EXPECT_EQ(box["owner"].Str(), "DIALOG_5");
  }
  EXPECT_EQ((*boxes[1])["answer"].Str(), "no");
  EXPECT_EQ((*boxes[3])["answer"].Str(), "yes");
  EXPECT_EQ((*run.FindEnd("DIALOG_5"))["result"].Int(), 0);
  EXPECT_TRUE(run.Events("filedialog").size() == 1u);  // only the open dialog: nothing was saved
  EXPECT_EQ(FolderListing(work.path()), std::vector<std::string>{"mine.html"});
}

}  // namespace
