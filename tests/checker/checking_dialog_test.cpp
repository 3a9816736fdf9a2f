// The checking dialog run in-process from a script: statistics, the progress
// bar, pause, cancel and how the dialog ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "checker/check_statistics.h"
#include "checker/checking_dialog.h"
#include "checker/run_event.h"
#include "checker/gated_site.h"
#include "model/app_state.h"
#include "platform/http.h"
#include "platform/posix/ui/script_testing.h"
#include "platform/text.h"
#include "support/temp_dir.h"
#include "support/transcript_json.h"

namespace {

using Clock = std::chrono::steady_clock;

// What the dialog showed after each result, recorded around the real procedure.
struct Seen {
  std::string text;  // control 700, UTF-8
  int bar = 0;
  bool duringPause = false;
};
std::vector<Seen> seen;
std::atomic<int> resultsSeen{0};
std::atomic<bool> insidePause{false};
std::size_t requestsAtSecondPause = 0;
std::atomic<int> pauses{0};
GatedSite* currentSite = nullptr;

std::intptr_t Recording(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam) {
  const bool pause = message == ui::WM_COMMAND && (wParam & 0xFFFF) == 9;
  if (pause && ++pauses == 2 && currentSite) requestsAtSecondPause = currentSite->RequestCount();
  if (pause) insidePause = true;
  std::intptr_t r = CheckingDialog(dialog, message, wParam, lParam);
  if (pause) insidePause = false;
  if (message == WM_LINK_RESULT) {
    Seen s;
    s.text = text::Utf16ToUtf8(ui::GetWindowText(ui::GetDlgItem(dialog, 700)));
    s.bar = static_cast<int>(ui::SendDlgItemMessage(dialog, 900, ui::PBM_GETPOS, 0, 0));
    s.duringPause = insidePause;
    seen.push_back(s);
    ++resultsSeen;
  }
  return r;
}

struct DialogRun {
  std::intptr_t result = -1;
  std::vector<scripted::Json> events;
  std::vector<std::string> boxes;  // texts of the message boxes, in order
};

class CheckingDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen.clear();
    resultsSeen = 0;
    pauses = 0;
    requestsAtSecondPause = 0;
    currentSite = nullptr;
  }
  void Queue(const std::vector<std::string>& urls, ActionFlags flags) {
    links_.clear();
    links_.resize(urls.size());
    checkQueue = CheckQueue{};
    for (std::size_t i = 0; i < urls.size(); ++i) {
      links_[i].url = text::Utf8ToUtf16(urls[i]);
      checkQueue.links.push_back(&links_[i]);
    }
    actionFlags = flags;
  }
  DialogRun Run(const std::string& script) {
    DialogRun run;
    std::string error;
    EXPECT_TRUE(ui::test::StartScriptFrontEnd(script, dir_.file("transcript.jsonl"), &error, 5000)) << error;
    run.result = ui::DialogBoxParam("DIALOG_3", nullptr, Recording, 0);
    ui::test::StopFrontEnd();
    run.events = scripted::ParseJsonLines(ReadFileBytes(dir_.file("transcript.jsonl")));
    for (const auto& e : run.events)
      if (e["event"].Str() == "msgbox") {
        run.boxes.push_back(e["text"].Str());
        EXPECT_EQ(e["caption"].Str(), "LNT 3.0!");
        EXPECT_EQ(e["owner"].Str(), "DIALOG_3");
      }
    return run;
  }
  TempDir dir_;
  std::vector<BookmarkLink> links_;
};

std::string Statistics(int total, int checked, const char* percent, int ok, int c404, int c500, int fail) {
  return "Total: \t\t" + std::to_string(total) + "\r\n\r\nChecked: \t" + std::to_string(checked) + " (" + percent +
         "%)\r\nOK: \t\t" + std::to_string(ok) + "\r\n404: \t\t" + std::to_string(c404) + "\r\n500: \t\t" +
         std::to_string(c500) + "\r\nFail: \t\t" + std::to_string(fail) + "\r\n";
}

TEST_F(CheckingDialogTest, StatisticsAndProgressFollowEveryResult) {
  GatedSite site;
  // Results in queue order: OK, OK, 404, 500, OK (503), 500, Fail (reset).
  const int statuses[] = {200, 200, 404, 500, 503, 500, 0};
  std::vector<std::string> urls;
  for (int i = 0; i < 7; ++i) urls.push_back(site.Page(statuses[i], "p" + std::to_string(i)));
  Queue(urls, AF_CHOSEN | AF_DELETE_500 | AF_DELETE_FAILURE);
  std::thread releaser([&] {
    for (int i = 0; i < 7; ++i) {
      site.Release("p" + std::to_string(i));
      const auto deadline = Clock::now() + std::chrono::seconds(20);
      while (resultsSeen.load() <= i && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  DialogRun run = Run("dialog DIALOG_3: wait\n");
  releaser.join();

  EXPECT_EQ(run.result, 1);
  EXPECT_TRUE(run.boxes.empty()) << "the completed check asked a question";
  ASSERT_EQ(seen.size(), 7u);
  const std::string expected[] = {
      Statistics(7, 1, "14.3", 1, 0, 0, 0), Statistics(7, 2, "28.6", 2, 0, 0, 0),
      Statistics(7, 3, "42.9", 2, 1, 0, 0), Statistics(7, 4, "57.1", 2, 1, 1, 0),
      Statistics(7, 5, "71.4", 3, 1, 1, 0), Statistics(7, 6, "85.7", 3, 1, 2, 0),
      Statistics(7, 7, "100.0", 3, 1, 2, 1)};
  const int bars[] = {14, 28, 42, 57, 71, 85, 100};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(seen[i].text, expected[i]) << "after result " << i + 1;
    EXPECT_EQ(seen[i].bar, bars[i]) << "after result " << i + 1;
  }
  const LinkStatus statusesStored[] = {Keep, Keep, Delete, Delete, Keep, Delete, Delete};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(links_[i].status, statusesStored[i]) << i;
}

TEST_F(CheckingDialogTest, IgnoredProblemsCountAsOk) {
  GatedSite site;
  site.ReleaseAll();
  Queue({site.Page(500, "a"), site.Page(0, "b")}, AF_CHOSEN);
  DialogRun run = Run("dialog DIALOG_3: wait\n");
  EXPECT_EQ(run.result, 1);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].text, Statistics(2, 2, "100.0", 2, 0, 0, 0));
  EXPECT_EQ(links_[0].status, Keep);
  EXPECT_EQ(links_[1].status, Keep);
}

TEST_F(CheckingDialogTest, SingleLinkEndsCompleteWithoutAQuestion) {
  GatedSite site;
  site.ReleaseAll();
  Queue({site.Page(404, "only")}, AF_CHOSEN | AF_FIX_404);
  DialogRun run = Run("dialog DIALOG_3: wait\n");
  EXPECT_EQ(run.result, 1);
  EXPECT_TRUE(run.boxes.empty());
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, Statistics(1, 1, "100.0", 0, 1, 0, 0));
  EXPECT_EQ(seen[0].bar, 100);
  EXPECT_EQ(links_[0].status, Fix);
}

TEST_F(CheckingDialogTest, EmptyQueueEndsCompleteAtOnceWithoutAQuestion) {
  Queue({}, AF_CHOSEN);
  // Nothing to check: the dialog ends before it ever waits for input.
  DialogRun run = Run("dialog DIALOG_3: wait\n");
  EXPECT_EQ(run.result, 1);
  EXPECT_TRUE(run.boxes.empty());
  EXPECT_TRUE(seen.empty());
  for (const auto& e : run.events) EXPECT_NE(e["event"].Str(), "dialog") << "a dialog with nothing to do was shown";
}

TEST_F(CheckingDialogTest, CancelThenNoFromThePauseBoxStaysPausedUntilResumed) {
  // The first three are still under way when Pause is pressed.
  GatedSite slow;
  std::vector<std::string> urls;
  for (int i = 0; i < 6; ++i) urls.push_back(slow.Page(200, "s" + std::to_string(i)));
  currentSite = &slow;
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    for (int i = 0; i < 3; ++i) slow.Release("s" + std::to_string(i));
    while (pauses < 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    slow.ReleaseAll();
  });
  Queue(urls, AF_CHOSEN);
  DialogRun run = Run(
      "dialog DIALOG_3: sleep 300, click 9\n"
      "msgbox cancel\n"
      "msgbox no\n"
      "dialog DIALOG_3: sleep 1500, click 9\n"
      "msgbox ok\n"
      "dialog DIALOG_3: wait\n");
  releaser.join();
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(run.boxes, (std::vector<std::string>{"Paused. Press OK to resume or CANCEL to cancel",
                                                 "Are you sure you want to cancel?",
                                                 "Paused. Press OK to resume or CANCEL to cancel"}));
  // While paused, the three requests under way finished and nothing new was asked for.
  EXPECT_EQ(requestsAtSecondPause, 3u);
  EXPECT_EQ(seen.size(), 6u);
  for (auto& l : links_) EXPECT_EQ(l.status, Keep);
}

TEST_F(CheckingDialogTest, ResultsArrivingUnderThePauseBoxAreCountedAndTheLastEndsTheDialog) {
  GatedSite site;
  Queue({site.Page(200, "a"), site.Page(404, "b"), site.Page(200, "c")}, AF_CHOSEN);
  std::thread releaser([&] {
    while (!insidePause) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    site.ReleaseAll();
  });
  DialogRun run = Run("dialog DIALOG_3: sleep 200, click 9\nmsgbox ok after 1500\n");
  releaser.join();
  EXPECT_EQ(run.result, 1);
  ASSERT_EQ(seen.size(), 3u);
  for (const Seen& s : seen) EXPECT_TRUE(s.duringPause);
  EXPECT_EQ(seen[2].text, Statistics(3, 3, "100.0", 2, 1, 0, 0));
  EXPECT_EQ(run.boxes.size(), 1u);
}

TEST_F(CheckingDialogTest, CancelConfirmedStopsStuckWorkersAtOnceAndLeavesTheRestUnchecked) {
  const http::Timeouts saved = http::GetTimeouts();
  http::SetTimeouts({30'000, 60'000});
  GatedSite site;  // nothing is ever released: every request hangs
  std::vector<std::string> urls;
  for (int i = 0; i < 8; ++i) urls.push_back(site.Page(200, "h" + std::to_string(i)));
  Queue(urls, AF_CHOSEN | AF_DELETE_FAILURE);
  const auto start = Clock::now();
  DialogRun run = Run("dialog DIALOG_3: sleep 300, click 2\nmsgbox yes\n");
  const auto took = Clock::now() - start;
  http::SetTimeouts(saved);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(run.boxes, std::vector<std::string>{"Are you sure you want to cancel?"});
  // The stop itself is held to a second in the worker tests; here the bound
  // only has to tell an abort from waiting out the 60 s request limit.
  EXPECT_LT(took, std::chrono::milliseconds(300 + 3000)) << "cancel waited for the stuck requests";
  EXPECT_TRUE(seen.empty());
  for (auto& l : links_) EXPECT_EQ(l.status, Unchecked);
  EXPECT_EQ(RunEvent, nullptr);
}

}  // namespace
