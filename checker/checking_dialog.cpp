#include "checker/checking_dialog.h"

#include "checker/check_statistics.h"
#include "checker/check_worker.h"
#include "checker/checker_texts.h"
#include "checker/run_event.h"
#include "checker/worker_control.h"
#include "model/app_state.h"

namespace {

constexpr int kProgressBar = 900;
constexpr int kStatisticsText = 700;
constexpr int kPauseButton = 9;

// Set once the dialog has ended; a box that was open at that moment must
// not act on its answer, and late results are no longer counted.
bool dialogEnded = false;

bool AllReported() { return checkStatistics.checked >= checkStatistics.total; }

void EndChecking(ui::Window dialog) {
  dialogEnded = true;
  StopCheckWorkers();
  delete RunEvent;
  RunEvent = nullptr;
  resultsWindow = nullptr;
  ui::EndDialog(dialog, AllReported() ? 1 : 0);
}

void OnInit(ui::Window dialog) {
  checkStatistics = CheckStatistics{};
  checkStatistics.total = static_cast<std::int32_t>(checkQueue.links.size());
  ui::SetClassIcon(dialog, ui::GCL_HICON, appIcon);
  ui::SetClassIcon(dialog, ui::GCL_HICONSM, appIcon);
  dialogEnded = false;
  // With nothing to check no result will ever come, and the person would be
  // left with a dialog that only Cancel ends: it is complete at once.
  if (AllReported()) {
    EndChecking(dialog);
    return;
  }
  RunEvent = new threads::Event(true, true);
  resultsWindow = dialog;
  StartCheckWorkers(kCheckWorkerCount);
}

void OnResult(ui::Window dialog, ResultCode code) {
  if (dialogEnded) return;
  CountResult(checkStatistics, code);
  ui::SetDlgItemText(dialog, kStatisticsText, FormatStatistics(checkStatistics));
  const int position = static_cast<int>(CheckedPercent(checkStatistics));
  ui::SendDlgItemMessage(dialog, kProgressBar, ui::PBM_SETPOS, static_cast<ui::WParam>(position), 0);
  ui::Window bar = ui::GetDlgItem(dialog, kProgressBar);
  ui::InvalidateRect(bar, true);
  ui::UpdateWindow(bar);
  if (AllReported()) ui::SendMessage(dialog, ui::WM_COMMAND, ui::IDCANCEL, 0);
}

void OnCancel(ui::Window dialog) {
  if (dialogEnded) return;
  if (!AllReported()) {
    const int answer = ui::MessageBox(dialog, kCancelQuestion, kCheckerCaption,
                                      ui::MB_YESNO | ui::MB_ICONQUESTION | ui::MB_DEFBUTTON2);
    // The last result may have ended the dialog while the question was open.
    if (dialogEnded || answer != ui::IDYES) return;
  }
  EndChecking(dialog);
}

void OnPause(ui::Window dialog) {
  if (dialogEnded) return;
  RunEvent->Reset();
  const int answer = ui::MessageBox(dialog, kPausedText, kCheckerCaption, ui::MB_OKCANCEL);
  if (dialogEnded) return;
  if (answer == ui::IDCANCEL) {
    // Stays paused: a No to the question leaves checking halted until Pause and OK.
    ui::SendMessage(dialog, ui::WM_COMMAND, ui::IDCANCEL, 0);
    return;
  }
  RunEvent->Set();
}

}  // namespace

std::intptr_t CheckingDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  switch (message) {
    case ui::WM_INITDIALOG:
      OnInit(dialog);
      break;
    case WM_LINK_RESULT:
      OnResult(dialog, static_cast<ResultCode>(static_cast<std::intptr_t>(wParam)));
      break;
    case ui::WM_COMMAND:
      if ((wParam & 0xFFFF) == ui::IDCANCEL) OnCancel(dialog);
      else if ((wParam & 0xFFFF) == kPauseButton) OnPause(dialog);
      break;
    default:
      break;
  }
  return 0;
}
