// How fast the UI layer moves messages: results posted by workers into a
// running modal dialog (the checking dialog's load), synchronous sends
// from a worker (the update window's progress bars), and a review list of
// many rows being filled and read back.
#include "platform/posix/ui/frontend.h"
#include "platform/posix/ui/script_testing.h"
#include "platform/ui.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kResult = ui::WM_APP + 1;
constexpr int kPosters = 3;
constexpr int kPerPoster = 200000;

std::vector<std::thread> posters;
int received = 0;

std::intptr_t CountingProc(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    for (int p = 0; p < kPosters; ++p)
      posters.emplace_back([dialog] {
        for (int i = 0; i < kPerPoster; ++i) ui::PostMessage(dialog, kResult, 0, i);
      });
  }
  if (message == kResult) {
    // What the checking dialog does per result: a text and a bar position.
    ui::SetDlgItemText(dialog, 700, u"Checked: 1");
    ui::SendDlgItemMessage(dialog, 900, ui::PBM_SETPOS, ++received % 100, 0);
    if (received == kPosters * kPerPoster) ui::EndDialog(dialog, 1);
  }
  return 0;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
  ui::test::StartScriptFrontEnd("dialog DIALOG_3: wait\n", "");

  auto start = Clock::now();
  ui::DialogBoxParam("DIALOG_3", nullptr, CountingProc, 0);
  double posted = Seconds(Clock::now() - start);
  for (auto& t : posters) t.join();
  std::printf("posted results handled by a modal dialog: %d in %.3f s (%.0f per second)\n", received, posted,
              received / posted);

  ui::Window window = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, nullptr, 0);
  constexpr int kSends = 50000;
  ui::ThreadId self = ui::GetCurrentThreadId();
  start = Clock::now();
  std::thread sender([&] {
    for (int i = 0; i < kSends; ++i) ui::SendDlgItemMessage(window, 901, ui::PBM_SETPOS, i % 100, 0);
    ui::PostThreadMessage(self, ui::WM_QUIT, 0, 0);
  });
  ui::Msg msg;
  while (ui::GetMessage(msg)) ui::DispatchMessage(msg);
  sender.join();
  double sent = Seconds(Clock::now() - start);
  std::printf("cross-thread sends answered by GetMessage: %d in %.3f s (%.1f us per round trip)\n", kSends, sent,
              sent / kSends * 1e6);
  ui::DestroyWindow(window);

  ui::Window review = ui::CreateDialogParam("DIALOG_4", nullptr, nullptr, 0);
  ui::Window list = ui::GetDlgItem(review, 900);
  constexpr int kRows = 20000;
  start = Clock::now();
  for (int c = 0; c < 4; ++c) ui::ListView_InsertColumn(list, c, u"column", 70);
  for (int i = 0; i < kRows; ++i) {
    int row = ui::ListView_InsertItem(list, i, u"12345", i);
    ui::ListView_SetItemText(list, row, 1, u"A bookmark title of ordinary length");
    ui::ListView_SetItemText(list, row, 2, u"Delete");
    ui::ListView_SetItemText(list, row, 3, u"http://www.example.com/some/page/that/is/gone.html");
  }
  for (int c = 1; c < 4; ++c) ui::ListView_SetColumnWidth(list, c, ui::LVSCW_AUTOSIZE);
  double filled = Seconds(Clock::now() - start);
  std::printf("review list filled and auto-sized: %d rows in %.3f s\n", kRows, filled);

  ui::ShowWindow(review, ui::SW_SHOW);
  start = Clock::now();
  constexpr int kSnapshots = 20;
  std::size_t cells = 0;
  for (int i = 0; i < kSnapshots; ++i) {
    ui::frontend::Screen screen = ui::frontend::CurrentScreen();
    for (const auto& dialog : screen.dialogs)
      for (const auto& control : dialog.controls) cells += control.rows.size();
  }
  double snap = Seconds(Clock::now() - start);
  std::printf("screen snapshots with that list: %.1f ms each (%zu rows seen)\n", snap / kSnapshots * 1000, cells);

  start = Clock::now();
  int restored = 0;
  for (int i = 0; i < kRows; i += 2) ui::ListView_SetItemSelected(list, i, true);
  for (int item; (item = ui::ListView_GetNextItem(list, -1, ui::LVNI_SELECTED)) != -1; ++restored)
    ui::ListView_DeleteItem(list, item);
  double restoring = Seconds(Clock::now() - start);
  std::printf("restoring every other row the review's way: %d rows in %.3f s\n", restored, restoring);
  ui::DestroyWindow(review);
  ui::test::StopFrontEnd();
  return 0;
}
