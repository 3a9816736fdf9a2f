#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/ui/script_testing.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "support/transcript_json.h"
#include "updater/message_table.h"
#include "updater/run_update.h"
#include "updater/update_controls.h"
#include "updater/update_state.h"
#include "updater/update_window.h"
#include "worker_fixture.h"

namespace {

const std::string kRights = "Vireo Update (c) The Linnet authors - https://linnet.example.org";
const std::string kNothing = "No files need to be updated! Try again after a few days!\r\n\r\nThank you for using Vireo Update!\r\n" + kRights;
const std::string kUpdated = "Files updated successfully!\r\n\r\nThank you for using Vireo Update!\r\n" + kRights +
                             "\r\n\r\nDo you want to exit the application now so the updates can be applied?";
const std::string kErrors = "There were errors in the update process. Please try again later!\r\n\r\nThank you for using Vireo Update!\r\n" + kRights;

std::string Summary(int total, int updated, int failed, int kept, const std::string& sentence) {
  auto n = [](int v) { return std::to_string(v); };
  return "Total files: \t" + n(total) + "\r\nFiles updated: \t" + n(updated) + "/" + n(total) + "\r\nFiles failed: \t" +
         n(failed) + "/" + n(total) + "\r\nFiles kept: \t" + n(kept) + "/" + n(total) + "\r\n\r\n" + sentence;
}

class RunUpdateTest : public UpdateRunTest {
 protected:
  // Runs the request under a script; the transcript's events land in `events`.
  int Run(const std::string& script) {
    std::string error;
    const std::string transcript = dir.file("transcript.jsonl");
    EXPECT_TRUE(ui::test::StartScriptFrontEnd(script, transcript, &error, 5000)) << error;
    int result = RunUpdate(request.get());
    ui::test::StopFrontEnd();
    events = scripted::ParseJsonLines(ReadFileBytes(transcript));
    return result;
  }
  std::vector<scripted::Json> Of(const std::string& kind) const {
    std::vector<scripted::Json> out;
    for (const auto& e : events)
      if (e["event"].Str() == kind) out.push_back(e);
    return out;
  }
  const scripted::Json* Control(const scripted::Json& event, int id) const {
    for (const auto& c : event["controls"].items)
      if (c["id"].Int() == id) return &c;
    return nullptr;
  }
  std::vector<scripted::Json> events;
};

TEST_F(RunUpdateTest, UnchangedFileShowsTheSummaryAndKeepsTheProgramRunning) {
  server.SetFile("linnet", "same");
  WriteFileBytes(Local("linnet"), "same");
  NewRequest(1, ModeVisible);
  ServerEntry(0, "linnet");
  EXPECT_EQ(Run("msgbox timeout\n"), 1);
  EXPECT_EQ(entries[0].result, ResultCurrent);

  auto dialogs = Of("dialog");
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0]["name"].Str(), "DIALOG_UPDATE");
  auto ends = Of("end");
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(ends[0]["caption"].IsNull() ? std::string("LNT") : ends[0]["caption"].Str(), "LNT");
  const scripted::Json* fileBar = Control(ends[0], kIdFileBar);
  const scripted::Json* overallBar = Control(ends[0], kIdOverallBar);
  ASSERT_TRUE(fileBar && overallBar);
  EXPECT_EQ((*fileBar)["pos"].Int(), 100);
  EXPECT_EQ((*overallBar)["pos"].Int(), 1);

  auto boxes = Of("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["caption"].Str(), "LNT");
  EXPECT_EQ(boxes[0]["text"].Str(), Summary(1, 0, 0, 1, kNothing));
  EXPECT_EQ(boxes[0]["buttons"].Str(), "ok");
  EXPECT_EQ(boxes[0]["icon"].Str(), "information");
  EXPECT_EQ(boxes[0]["timeout_ms"].Int(), 20000);
  EXPECT_EQ(boxes[0]["owner"].Str(), "DIALOG_UPDATE");

  auto tray = Of("notifyicon");
  ASSERT_EQ(tray.size(), 2u);
  EXPECT_EQ(tray[0]["action"].Str(), "add");
  EXPECT_EQ(tray[1]["action"].Str(), "delete");
}

TEST_F(RunUpdateTest, ReplacedFileAsksWhetherToExit) {
  NewRequest(1, ModeVisible);
  ServerEntry(0, "linnet");
  // No answer within the time-out counts as Yes; No keeps the program open.
  for (const char* answer : {"timeout", "no", "yes"}) {
    SCOPED_TRACE(answer);
    server.SetFile("linnet", std::string("version after ") + answer);
    WriteFileBytes(Local("linnet"), "older");
    int expected = std::string(answer) == "no" ? 98 : 99;
    EXPECT_EQ(Run(std::string("msgbox ") + answer + "\n"), expected);
    EXPECT_EQ(entries[0].result, ResultUpdated);
    EXPECT_EQ(ReadFileBytes(Local("linnet.old")), "older");
    auto boxes = Of("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]["text"].Str(), Summary(1, 1, 0, 0, kUpdated));
    EXPECT_EQ(boxes[0]["buttons"].Str(), "yesno");
    EXPECT_EQ(boxes[0]["icon"].Str(), "question");
  }
}

TEST_F(RunUpdateTest, FailedDownloadReportsErrors) {
  NewRequest(2, ModeVisible);
  server.SetFile("good", "new");
  WriteFileBytes(Local("good"), "old");
  ServerEntry(0, "good");
  SetFieldText(ServerEntry(1, "linnet").hashSource, u"http://127.0.0.1:1/hash.php?file=./tools/linnet");
  EXPECT_EQ(Run("msgbox timeout\n"), 1);
  auto boxes = Of("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"].Str(), Summary(2, 1, 1, 0, kErrors));
  EXPECT_EQ(boxes[0]["buttons"].Str(), "ok");
}

TEST_F(RunUpdateTest, LanguageSelectsTheTextsAndIsRewrittenWhenUnknown) {
  server.SetFile("linnet", "same");
  WriteFileBytes(Local("linnet"), "same");
  NewRequest(1, ModeVisible);
  ServerEntry(0, "linnet");
  SetFieldText(request->language, u"gr");
  EXPECT_EQ(Run("msgbox ok\n"), 1);
  EXPECT_EQ(FieldText(request->language), u"gr");
  auto boxes = Of("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"].Str(),
            "Αρχεία: \t1\r\nΑνανεώθηκαν: \t0/1\r\nΑπέτυχαν: \t0/1\r\nΧωρίς αλλαγή: \t1/1\r\n\r\n"
            "Δεν χρειάστηκε να αναβαθμιστούν αρχεία! Δοκιμάστε πάλι μετά από μερικές μέρες!\r\n\r\n"
            "Ευχαριστούμε που χρησιμοποιήσατε το Vireo Update!\r\n" + kRights);

  SetFieldText(request->language, u"DE");
  EXPECT_EQ(Run("msgbox ok\n"), 1);
  EXPECT_EQ(FieldText(request->language), u"EN");
  boxes = Of("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"].Str(), Summary(1, 0, 0, 1, kNothing));
}

TEST_F(RunUpdateTest, GreekTableMatchesEnglishIdsPlus500) {
  updateLanguageOffset = kLanguageOffsetGreek;
  EXPECT_EQ(text::Utf16ToUtf8(LookupMessage(106)),
            "Τα αρχεία αναβαθμίστηκαν!\r\n\r\nΕυχαριστούμε που χρησιμοποιήσατε το Vireo Update!\r\n" + kRights +
                "\r\n\r\nΘέλετε να τερματίσετε το πρόγραμμα για να πραγματοποιηθεί η ενημέρωση?");
  EXPECT_EQ(text::Utf16ToUtf8(LookupMessage(107)),
            "Υπήρξαν λάθη στην διαδικασία αναβάθμισης! Παρακαλώ δοκιμάστε αργότερα!\r\n\r\n"
            "Ευχαριστούμε που χρησιμοποιήσατε το Vireo Update!\r\n" + kRights);
  updateLanguageOffset = kLanguageOffsetEnglish;
  EXPECT_EQ(LookupMessage(99), u"");  // ids outside the table read as empty
}

TEST_F(RunUpdateTest, InvalidHeadersAreRefusedBeforeAnythingIsShown) {
  NewRequest(1, ModeVisible);
  ServerEntry(0, "linnet");
  for (std::uint32_t size : {2459u, 2461u, 0u}) {
    request->recordSize = size;
    EXPECT_EQ(Run(""), 2);
    EXPECT_TRUE(Of("dialog").empty());
  }
  request->recordSize = 2460;
  request->formatVersion = 101;
  EXPECT_EQ(Run(""), 3);
  EXPECT_TRUE(Of("dialog").empty());
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/linnet"), 0);
  // Older formats are accepted.
  request->formatVersion = 0;
  server.SetFile("linnet", "x");
  WriteFileBytes(Local("linnet"), "x");
  EXPECT_EQ(Run("msgbox ok\n"), 1);
}

TEST_F(RunUpdateTest, DisplayModesAndPresetAnswers) {
  server.SetFile("linnet", "same");
  WriteFileBytes(Local("linnet"), "same");
  NewRequest(1);
  ServerEntry(0, "linnet");

  // Mode 0 with preset answer 1: shown, no question, exit.
  request->displayMode = 65536;
  EXPECT_EQ(Run(""), 99);
  EXPECT_EQ(Of("dialog").size(), 1u);
  EXPECT_TRUE(Of("msgbox").empty());
  EXPECT_EQ(request->displayMode, 0);

  // Mode 1 is mode 2: no box, no exit.
  request->displayMode = 1;
  EXPECT_EQ(Run(""), 1);
  EXPECT_TRUE(Of("msgbox").empty());
  EXPECT_TRUE(Of("notifyicon").empty());
  EXPECT_EQ(request->displayMode, 2);

  // Mode 2 with preset 1 exits even though nothing changed.
  request->displayMode = (1 << 16) | 2;
  EXPECT_EQ(Run(""), 99);
  EXPECT_TRUE(Of("msgbox").empty());

  // Preset 2 stays; with a replaced file that is 98.
  server.SetFile("linnet", "newer");
  request->displayMode = (2 << 16) | 0;
  EXPECT_EQ(Run(""), 98);
  EXPECT_TRUE(Of("msgbox").empty());

  // Negative values carry no preset.
  server.SetFile("linnet", "newest");
  request->displayMode = -65536;
  EXPECT_EQ(Run(""), 1);
  EXPECT_EQ(entries[0].result, ResultUpdated);

  // A hidden run that replaced a file stays with 98.
  server.SetFile("linnet", "latest");
  request->displayMode = 2;
  EXPECT_EQ(Run(""), 98);
}

std::vector<UpdateNotice> notices;
ui::ThreadId noticeThread = 0;
int noticeAnswer = 0;
int RecordNotice(UpdateNotice* notice) {
  notices.push_back(*notice);
  noticeThread = ui::GetCurrentThreadId();
  return noticeAnswer;
}

TEST_F(RunUpdateTest, NotifyModeCallsTheHookBeforeAndAfter) {
  server.SetFile("linnet", "new");
  WriteFileBytes(Local("linnet"), "old");
  NewRequest(1, ModeNotify);
  ServerEntry(0, "linnet");

  // Without a hook there is nobody to notify: refused.
  EXPECT_EQ(Run(""), 0);
  EXPECT_TRUE(Of("dialog").empty());

  request->noticeHook = RecordNotice;
  notices.clear();
  noticeAnswer = 0;
  EXPECT_EQ(Run(""), 1);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].noticeSize, 28);
  EXPECT_EQ(notices[0].phase, 1);
  EXPECT_EQ(notices[0].outcome, 0);
  EXPECT_EQ(notices[1].phase, 2);
  EXPECT_EQ(notices[1].outcome, 2);
  EXPECT_EQ(noticeThread, ui::GetCurrentThreadId());
  EXPECT_EQ(entries[0].result, -1);  // no worker ran
  EXPECT_EQ(server.Hits("/hash.php?file=./tools/linnet"), 0);
  EXPECT_EQ(Of("end").size(), 1u);  // the window was closed

  // Accepted: the run goes ahead, asks nothing, and still answers 1.
  notices.clear();
  noticeAnswer = 1;
  request->displayMode = (1 << 16) | ModeNotify;  // presets do not count here
  EXPECT_EQ(Run(""), 1);
  EXPECT_EQ(entries[0].result, ResultUpdated);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[1].outcome, 0);
  EXPECT_TRUE(Of("msgbox").empty());
}

TEST_F(RunUpdateTest, EmptyRequestReportsNothingToUpdate) {
  NewRequest(0, ModeVisible);
  EXPECT_EQ(Run("msgbox ok\n"), 1);
  auto boxes = Of("msgbox");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]["text"].Str(), Summary(0, 0, 0, 0, kNothing));
}

// Hooks that end the window or the loop while the worker still works.
std::atomic<int> hookMode{0};
int InterruptRun(UpdateFileEntry*) {
  if (hookMode == 1) ui::PostMessage(updateWindow.load(), ui::WM_CLOSE, 0, 0);
  if (hookMode == 2) ui::PostThreadMessage(updateRunThread.load(), ui::WM_QUIT, 0, 0);
  // Give the run's thread time to act on it before the download starts.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return 1;
}

TEST_F(RunUpdateTest, RunAlwaysWaitsForTheWorker) {
  NewRequest(1, ModeHidden);
  ServerEntry(0, "linnet");
  request->confirmHook = InterruptRun;
  for (int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    hookMode = mode;
    server.SetFile("linnet", std::string(300000, char('a' + mode)));
    WriteFileBytes(Local("linnet"), "old");
    entries[0].result = -1;
    ASSERT_TRUE(ui::test::StartScriptFrontEnd("", "", nullptr, 5000));
    EXPECT_EQ(RunUpdate(request.get()), 98);
    // The worker finished with the request before the run returned.
    EXPECT_EQ(entries[0].result, ResultUpdated);
    EXPECT_EQ(ReadFileBytes(Local("linnet")), std::string(300000, char('a' + mode)));
    EXPECT_EQ(updateWindow.load(), nullptr);
    // A quit that ended the loop early is passed on to the caller's loop,
    // ahead of anything posted after the run.
    ui::PostThreadMessage(ui::GetCurrentThreadId(), ui::WM_USER + 99, 0, 0);
    ui::Msg msg;
    bool first = ui::GetMessage(msg);
    EXPECT_EQ(first, mode != 2);
    if (!first) ui::GetMessage(msg);
    EXPECT_EQ(msg.message, ui::WM_USER + 99);
    ui::test::StopFrontEnd();
  }
}

TEST(UpdateWindowProc, EnterEscapeAndTrayClicks) {
  // The window procedure alone, on a window of the UI layer.
  TempDir dir;
  ASSERT_TRUE(ui::test::StartScriptFrontEnd("", dir.file("t.jsonl"), nullptr, 5000));
  ui::Window w = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, UpdateWindowProc, 0);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(UpdateWindowProc(w, ui::WM_COMMAND, ui::IDOK, 0), 1);
  EXPECT_EQ(UpdateWindowProc(w, ui::WM_COMMAND, ui::IDCANCEL, 0), 1);
  EXPECT_EQ(UpdateWindowProc(w, ui::WM_COMMAND, 701, 0), 0);
  EXPECT_TRUE(ui::IsWindow(w));
  UpdateWindowProc(w, WM_UPDATE_TRAY, 0, ui::WM_LBUTTONDOWN);
  UpdateWindowProc(w, ui::WM_CLOSE, 0, 0);
  EXPECT_FALSE(ui::IsWindow(w));
  ui::test::StopFrontEnd();
  auto events = scripted::ParseJsonLines(ReadFileBytes(dir.file("t.jsonl")));
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front()["event"].Str(), "dialog");  // the tray click showed it
  EXPECT_EQ(events.back()["event"].Str(), "end");
}

}  // namespace
