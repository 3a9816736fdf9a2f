// Running the program (or any test binary built on the UI layer) with a
// script, and reading what it showed.
//
// The whole program, through its script front end:
//
//   scripted::RunOptions options;
//   options.script = "dialog DIALOG_1: click 2\n";
//   scripted::RunResult run = scripted::RunScript(options);   // LINNET_BINARY by default
//   EXPECT_EQ(run.exitCode, 0);
//   EXPECT_EQ(run.MessageTexts(), std::vector<std::string>{});
//   const scripted::Json* first = run.FindDialog("DIALOG_1");
//   EXPECT_EQ(scripted::ControlText(*first, 201), "Import from Internet Explorer");
//
// Every run gets fresh folders for HOME and the working directory unless the
// test names its own; LINNET_* variables of the test's own environment are
// not passed on, so only `environment` sets them. The script goes to a file
// named by LINNET_SCRIPT and the transcript is read back from the file named
// by LINNET_TRANSCRIPT. `timeLimitSeconds` bounds the run: at the limit the
// process group is killed and `timedOut` says so. Standard error is kept in
// `errorOutput`. LINNET_SCRIPT_IDLE_MS defaults to 1000 here (3000 in the
// program) so that a mismatch test ends quickly; set it in `environment` to
// change it.
//
// One dialog procedure in-process, without the wizard (link linnet_ui):
//
//   #include "platform/posix/ui/script_testing.h"
//   TempDir dir;
//   ASSERT_TRUE(ui::test::StartScriptFrontEnd("dialog DIALOG_2: click 201, click 1\n",
//                                             dir.file("t.jsonl")));
//   EXPECT_EQ(ui::DialogBoxParam("DIALOG_2", nullptr, ActionsDialog, 0), 0x1011);
//   ui::test::StopFrontEnd();
//   auto events = scripted::ReadTranscript(dir.file("t.jsonl"));
//
// In-process, a script mismatch and ExitProcess end the test program (exit
// code 3 / the given code): test those paths by running the program.
#pragma once

#include "support/temp_dir.h"
#include "support/transcript_json.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace scripted {

// The program under test, for test programs that were given its path.
inline std::string DefaultBinary() {
#ifdef LINNET_BINARY
  return LINNET_BINARY;
#else
  return std::string();
#endif
}

struct RunOptions {
  std::string binary = DefaultBinary();
  std::vector<std::string> arguments;
  std::string script;                      // written to a file for LINNET_SCRIPT
  bool useScript = true;                   // false: no LINNET_SCRIPT at all
  std::string home;                        // empty: a fresh empty folder
  std::string workingDirectory;            // empty: a fresh empty folder
  std::map<std::string, std::string> environment;  // added last (LINNET_* included)
  int timeLimitSeconds = 60;
};

struct RunResult {
  int exitCode = -1;        // -1 when killed (time limit, signal)
  bool timedOut = false;
  std::string errorOutput;  // standard error
  std::string transcriptText;
  std::vector<Json> events;
  std::string home, workingDirectory;
  std::vector<std::shared_ptr<TempDir>> folders;  // the fresh folders, kept while the result lives

  // Events of one kind ("dialog", "end", "msgbox", ...), in order.
  std::vector<const Json*> Events(const std::string& kind) const;
  // The texts of every message box, in order.
  std::vector<std::string> MessageTexts() const;
  // The nth "dialog" event of that template (0: the first); null if none.
  const Json* FindDialog(const std::string& name, int nth = 0) const;
  // The last "end" event of that template; null if none.
  const Json* FindEnd(const std::string& name) const;
  // One line per event (kind and name or text), for failure messages.
  std::string Summary() const;
};

RunResult RunScript(const RunOptions& options);

// The transcript file as events.
std::vector<Json> ReadTranscript(const std::string& path);

// A control of a "dialog" or "end" event by id; null if none.
const Json* FindControl(const Json& dialogEvent, int id);
// Its text ("" when there is no such control).
std::string ControlText(const Json& dialogEvent, int id);

}  // namespace scripted
