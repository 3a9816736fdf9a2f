// The "Check for updates..." button of the first dialog, end to end: the real
// program, copied into a folder of its own so that the update replaces the
// copy, against a loopback update server.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/script_run.h"
#include "update_server.h"

namespace {

struct ProgramCopy {
  TempDir dir;
  std::string path;
  std::string original;
  explicit ProgramCopy(const std::string& name = "linnet") : path(dir.file(name)) {
    original = ReadFileBytes(scripted::DefaultBinary());
    WriteFileBytes(path, original);
    chmod(path.c_str(), 0755);
    // Leftovers of an earlier update, which the button clears first.
    WriteFileBytes(path + ".old", "previous copy");
    WriteFileBytes(path + ".new", "half a download");
  }
};

scripted::RunResult RunButton(const ProgramCopy& copy, const UpdateServer& server, const std::string& script) {
  scripted::RunOptions options;
  options.binary = copy.path;
  options.script = script;
  options.environment["LINNET_UPDATE_HOST"] = server.host();
  options.timeLimitSeconds = 120;
  return scripted::RunScript(options);
}

TEST(CheckForUpdatesButton, CurrentProgramKeepsTheDialogOpenWithItsSelection) {
  if (scripted::DefaultBinary().empty()) GTEST_SKIP() << "the program is not built";
  ProgramCopy copy;
  UpdateServer server;
  server.SetFile("linnet", copy.original);
  scripted::RunResult run = RunButton(copy, server,
                                      "dialog DIALOG_1: click 203, click 9\n"
                                      "msgbox ok\n"
                                      "dialog DIALOG_1: click 2\n");
  ASSERT_EQ(run.exitCode, 0) << run.Summary() << run.errorOutput;
  EXPECT_FALSE(FileExists(copy.path + ".old"));
  EXPECT_FALSE(FileExists(copy.path + ".new"));
  EXPECT_EQ(ReadFileBytes(copy.path), copy.original);
  ASSERT_EQ(run.MessageTexts().size(), 1u);
  EXPECT_NE(run.MessageTexts()[0].find("Files kept: \t1/1"), std::string::npos);
  EXPECT_NE(run.FindDialog("DIALOG_UPDATE"), nullptr);
  const scripted::Json* end = run.FindEnd("DIALOG_1");
  ASSERT_NE(end, nullptr) << run.Summary();
  EXPECT_EQ((*end)["result"].Int(), 0);
  const scripted::Json* chosen = scripted::FindControl(*end, 203);
  ASSERT_NE(chosen, nullptr);
  EXPECT_TRUE((*chosen)["checked"].boolean);
}

TEST(CheckForUpdatesButton, ReplacedProgramEndsWhenTheQuestionTimesOut) {
  if (scripted::DefaultBinary().empty()) GTEST_SKIP() << "the program is not built";
  ProgramCopy copy;
  UpdateServer server;
  const std::string newer = copy.original + std::string(1000, '\0');
  server.SetFile("linnet", newer);
  scripted::RunResult run = RunButton(copy, server,
                                      "dialog DIALOG_1: click 9\n"
                                      "msgbox timeout\n");
  ASSERT_EQ(run.exitCode, 0) << run.Summary() << run.errorOutput;
  // The running file was renamed aside and the new copy took its name.
  EXPECT_EQ(ReadFileBytes(copy.path), newer);
  EXPECT_EQ(ReadFileBytes(copy.path + ".old"), copy.original);
  EXPECT_FALSE(FileExists(copy.path + ".new"));
  const scripted::Json* end = run.FindEnd("DIALOG_1");
  ASSERT_NE(end, nullptr) << run.Summary();
  EXPECT_EQ((*end)["result"].Int(), 0);
  // Nothing after the source dialog: the wizard ended there.
  EXPECT_EQ(run.FindDialog("DIALOG_2"), nullptr);
}

TEST(CheckForUpdatesButton, ReplacedProgramStaysOpenWhenThePersonSaysNo) {
  if (scripted::DefaultBinary().empty()) GTEST_SKIP() << "the program is not built";
  // The server knows the file by its lower-case name; the copy on disk is
  // replaced under its own.
  ProgramCopy copy("Linnet");
  UpdateServer server;
  const std::string newer = copy.original + "appended";
  server.SetFile("linnet", newer);
  scripted::RunResult run = RunButton(copy, server,
                                      "dialog DIALOG_1: click 9\n"
                                      "msgbox no\n"
                                      "dialog DIALOG_1: click 2\n");
  ASSERT_EQ(run.exitCode, 0) << run.Summary() << run.errorOutput;
  EXPECT_EQ(ReadFileBytes(copy.path), newer);
  EXPECT_EQ(ReadFileBytes(copy.path + ".old"), copy.original);
  EXPECT_FALSE(FileExists(copy.dir.file("linnet")));
  ASSERT_EQ(run.MessageTexts().size(), 1u);
  EXPECT_NE(run.MessageTexts()[0].find("Files updated: \t1/1"), std::string::npos);
}

}  // namespace
