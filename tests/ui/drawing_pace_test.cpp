// How often the front end is asked to draw and woken while other threads
// stream results into a dialog: about once a frame, never missing the last
// state of the dialog, and never leaving a posted message unhandled.
#include "platform/posix/ui/frontend.h"
#include "platform/posix/ui/script_testing.h"
#include "platform/text.h"
#include "platform/ui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using ui::frontend::Screen;

constexpr unsigned kCount = ui::WM_APP + 1;
constexpr int kText = 700;
constexpr int kBar = 900;

// Draws nothing and answers nothing: it records what it was asked to draw
// and sleeps until woken or timed out, as a real front end waits for input.
class RecordingFrontEnd final : public ui::frontend::FrontEnd {
 public:
  std::string Name() const override { return "recording"; }
  void Render(const Screen& screen) override {
    ++renders;
    for (const auto& dialog : screen.dialogs)
      for (const auto& control : dialog.controls)
        if (dialog.name == "DIALOG_3" && control.id == kText) lastText = text::Utf16ToUtf8(control.text);
  }
  ui::frontend::Input WaitForInput(const Screen&, std::optional<std::chrono::milliseconds> timeout) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (timeout)
      cv_.wait_for(lock, *timeout, [&] { return woken_; });
    else
      cv_.wait(lock, [&] { return woken_; });
    woken_ = false;
    return {};
  }
  void Wake() override {
    ++wakes;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      woken_ = true;
    }
    cv_.notify_all();
  }
  void Stop() override {}

  int renders = 0;            // UI thread only
  std::string lastText;       // UI thread only
  std::atomic<int> wakes{0};

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool woken_ = false;
};

RecordingFrontEnd* recorder = nullptr;

class DrawingPace : public ::testing::Test {
 protected:
  void SetUp() override {
    auto frontEnd = std::make_unique<RecordingFrontEnd>();
    recorder = frontEnd.get();
    ui::frontend::InstallFrontEnd(std::move(frontEnd));
  }
  void TearDown() override {
    ui::test::StopFrontEnd();
    recorder = nullptr;
  }
};

// Three posters at about the pace of a check against a fast site, each
// result shown the way the checking dialog shows one.
constexpr int kPosters = 3;
constexpr int kPerPoster = 1500;
std::vector<std::thread> posters;
int counted = 0;

std::intptr_t StreamProc(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    counted = 0;
    for (int p = 0; p < kPosters; ++p)
      posters.emplace_back([dialog] {
        for (int i = 0; i < kPerPoster; ++i) {
          ui::PostMessage(dialog, kCount, 0, 0);
          std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
      });
  }
  if (message == kCount) {
    ++counted;
    ui::SetDlgItemText(dialog, kText, text::Utf8ToUtf16("Checked: " + std::to_string(counted)));
    ui::SendDlgItemMessage(dialog, kBar, ui::PBM_SETPOS, static_cast<ui::WParam>(counted * 100 / (kPosters * kPerPoster)), 0);
    ui::Window bar = ui::GetDlgItem(dialog, kBar);
    ui::InvalidateRect(bar, true);
    ui::UpdateWindow(bar);
    if (counted == kPosters * kPerPoster) ui::EndDialog(dialog, 1);
  }
  return 0;
}

TEST_F(DrawingPace, AStreamOfResultsIsDrawnAboutOncePerFrameAndItsLastStateIsShown) {
  const auto start = Clock::now();
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_3", nullptr, StreamProc, 0), 1);
  const auto took = Clock::now() - start;
  for (auto& t : posters) t.join();
  posters.clear();

  EXPECT_EQ(recorder->lastText, "Checked: " + std::to_string(kPosters * kPerPoster))
      << "the dialog went away before its final count was drawn";
  // One drawing per frame, plus the dialog appearing and its last state.
  const auto frames = std::chrono::duration_cast<std::chrono::milliseconds>(took) / ui::frontend::kFrameInterval;
  EXPECT_LE(recorder->renders, frames + 4);
  EXPECT_LE(recorder->wakes.load(), 2 * frames + 4) << "posted results woke the front end one by one";
}

// A post after a quiet spell is handled at once; one inside a stream may
// wait for the frame in which the loop looks again, but never longer.
constexpr unsigned kEnd = ui::WM_APP + 2;
constexpr int kRounds = 10;
std::atomic<int> handled{0};
std::atomic<int> late{0};
std::thread roundPoster;

bool HandledWithin(int count, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (handled < count && Clock::now() < deadline) std::this_thread::yield();
  return handled >= count;
}

std::intptr_t RoundsProc(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG)
    roundPoster = std::thread([dialog] {
      for (int round = 0; round < kRounds; ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // quiet: several frames
        ui::PostMessage(dialog, kCount, 0, 0);
        if (!HandledWithin(3 * round + 1, std::chrono::milliseconds(2000))) ++late;
        ui::PostMessage(dialog, kCount, 0, 0);  // inside the frame of the one just handled
        ui::PostMessage(dialog, kCount, 0, 0);
        if (!HandledWithin(3 * round + 3, std::chrono::milliseconds(2000))) ++late;
      }
      ui::SendMessage(dialog, kEnd, 0, 0);  // a send always wakes the loop, whatever became of the posts
    });
  if (message == kCount) ++handled;
  if (message == kEnd) ui::EndDialog(dialog, 1);
  return 0;
}

TEST_F(DrawingPace, PostsNeverWaitForALaterWakeUpWhetherTheLoopIdlesOrStreams) {
  handled = 0;
  late = 0;
  EXPECT_EQ(ui::DialogBoxParam("DIALOG_3", nullptr, RoundsProc, 0), 1);
  roundPoster.join();
  EXPECT_EQ(handled.load(), 3 * kRounds);
  EXPECT_EQ(late.load(), 0) << "a posted message waited for a later wake-up";
  // One wake-up per quiet spell; the posts right after it are taken when the loop looks again.
  EXPECT_LE(recorder->wakes.load(), kRounds + kRounds / 2 + 2);
}

}  // namespace
