// How a process on the UI layer ends: a script that does not match what is
// shown ends it with code 3 and says why, never hanging; every way out
// leaves the exit event as the transcript's last line.
#include "support/script_run.h"

#include <gtest/gtest.h>

namespace {

scripted::RunResult RunDriver(const std::string& scene, const std::string& script,
                        std::map<std::string, std::string> environment = {}) {
  scripted::RunOptions options;
  options.binary = UI_DRIVER_BINARY;
  options.arguments = {scene};
  options.script = script;
  options.environment = std::move(environment);
  options.environment.emplace("LINNET_SCRIPT_IDLE_MS", "300");
  options.timeLimitSeconds = 30;
  return scripted::RunScript(options);
}

void ExpectExitLast(const scripted::RunResult& run, int code) {
  ASSERT_FALSE(run.events.empty()) << run.errorOutput;
  EXPECT_EQ(run.events.back()["event"].Str(), "exit") << run.Summary();
  EXPECT_EQ(run.events.back()["code"].Int(), code) << run.Summary();
  EXPECT_EQ(run.Events("exit").size(), 1u) << run.Summary();
}

TEST(ProcessExit, MatchingScriptRunsToTheEnd) {
  scripted::RunResult run = RunDriver("choice", "dialog DIALOG_2: click 201, click 1\nmsgbox ok\n");
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.exitCode, 10) << run.errorOutput;
  ExpectExitLast(run, 10);
  EXPECT_EQ(run.MessageTexts(), std::vector<std::string>{"Chosen."});
  const scripted::Json* end = run.FindEnd("DIALOG_2");
  ASSERT_NE(end, nullptr);
  EXPECT_EQ((*end)["result"].Int(), 1);
  EXPECT_TRUE((*scripted::FindControl(*end, 201))["checked"].boolean);
  EXPECT_EQ(run.errorOutput, "");
}

TEST(ProcessExit, MismatchEndsWithCodeThreeAndBothSidesSaid) {
  struct Case {
    const char* scene;
    const char* script;
    const char* shown;     // part of what the program showed
    const char* expected;  // part of what the script expected
  } cases[] = {
      // The wrong window.
      {"choice", "dialog DIALOG_1: click 1\n", "dialog DIALOG_2", "line 1: dialog DIALOG_1: click 1"},
      {"choice", "msgbox ok\n", "dialog DIALOG_2", "line 1: msgbox ok"},
      // An answer the box does not offer.
      {"choice", "dialog DIALOG_2: click 1\nmsgbox yes\n", "msgbox \"LNT 3.0!\": \"Chosen.\" (ok)", "line 2: msgbox yes"},
      // The script has run out.
      {"choice", "dialog DIALOG_2: click 2\n", "Cancelled.", "the end of the script"},
      {"choice", "", "dialog DIALOG_2", "the end of the script"},
      // Out of actions, still waiting, and the next line is for something else.
      {"choice", "dialog DIALOG_2: click 201\nmsgbox ok\n", "dialog DIALOG_2", "line 2: msgbox ok"},
      // Actions left over when something else appears.
      {"choice", "# comment\ndialog DIALOG_2: click 1, click 2\n", "Chosen.", "still to do: click 2"},
      // Optional lines that do not fit are passed over, and named with the
      // line that was tried after them.
      {"choice", "optional msgbox ok\noptional dialog DIALOG_1: click 1\nmsgbox ok\n", "dialog DIALOG_2",
       "line 1: optional msgbox ok or line 2: optional dialog DIALOG_1: click 1 or line 3: msgbox ok"},
      // A file that does not exist is refused, and nothing answers again.
      {"open", "open /no/such/file.html\n", "open file dialog \"Choose a bookmark file\"", "the end of the script"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    scripted::RunResult run = RunDriver(c.scene, c.script);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 3) << run.errorOutput;
    EXPECT_NE(run.errorOutput.find(c.shown), std::string::npos) << run.errorOutput;
    EXPECT_NE(run.errorOutput.find(c.expected), std::string::npos) << run.errorOutput;
    auto mismatches = run.Events("mismatch");
    ASSERT_EQ(mismatches.size(), 1u) << run.Summary();
    EXPECT_NE((*mismatches[0])["shown"].Str().find(c.shown), std::string::npos);
    EXPECT_NE((*mismatches[0])["expected"].Str().find(c.expected), std::string::npos);
    ExpectExitLast(run, 3);
  }
}

TEST(ProcessExit, EveryWayOutEndsTheTranscriptWithTheExitCode) {
  // ExitProcess from inside a dialog's initialisation, after a box it owns.
  scripted::RunResult run = RunDriver("exit-in-dialog", "msgbox ok\n");
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  ExpectExitLast(run, 0);
  ASSERT_EQ(run.Events("msgbox").size(), 1u);
  EXPECT_EQ((*run.Events("msgbox")[0])["owner"].Str(), "DIALOG_4");
  EXPECT_TRUE(run.Events("dialog").empty());  // never shown

  // A plain return from main.
  run = RunDriver("return", "");
  EXPECT_EQ(run.exitCode, 5);
  ExpectExitLast(run, 5);

  // A dialog that ends by itself on results from a worker, with `wait`.
  run = RunDriver("counting", "dialog DIALOG_3: wait\n");
  EXPECT_EQ(run.exitCode, 1) << run.errorOutput;
  ExpectExitLast(run, 1);
  const scripted::Json* end = run.FindEnd("DIALOG_3");
  ASSERT_NE(end, nullptr);
  EXPECT_EQ((*scripted::FindControl(*end, 900))["pos"].Int(), 100);

  // A dialog that ends before it ever waits still uses up its `wait` line.
  run = RunDriver("quick-count", "dialog DIALOG_3: wait\nmsgbox ok\n");
  EXPECT_EQ(run.exitCode, 1) << run.errorOutput;
  ExpectExitLast(run, 1);
  EXPECT_EQ(run.MessageTexts(), std::vector<std::string>{"Counted."});

  // The open dialog answered after a refused path.
  run = RunDriver("open", "open /no/such/file.html\nopen " + std::string(UI_DRIVER_BINARY) + "\n");
  EXPECT_EQ(run.exitCode, 0) << run.errorOutput;
  ExpectExitLast(run, 0);
}

TEST(ProcessExit, WithoutScriptOrTerminalTheProgramSaysSoAndFails) {
  scripted::RunOptions options;
  options.binary = UI_DRIVER_BINARY;
  options.arguments = {"choice"};
  options.useScript = false;
  options.timeLimitSeconds = 30;
  scripted::RunResult run = scripted::RunScript(options);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errorOutput.find("LINNET_SCRIPT"), std::string::npos) << run.errorOutput;

  // A script that cannot be read names the line.
  run = RunDriver("choice", "dialog DIALOG_2: press 1\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.errorOutput.find("script line 1"), std::string::npos) << run.errorOutput;
}

}  // namespace
