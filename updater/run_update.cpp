#include "updater/run_update.h"

#include "platform/text.h"
#include "platform/threads.h"
#include "platform/ui.h"
#include "updater/message_box_with_timeout.h"
#include "updater/message_table.h"
#include "updater/update_controls.h"
#include "updater/update_state.h"
#include "updater/update_window.h"
#include "updater/update_worker.h"

namespace {

// The closing box waits this long for an answer before taking its default.
constexpr std::uint32_t kClosingBoxTimeoutMs = 20000;

int CallNotice(UpdateRequest* request, int phase, int outcome) {
  UpdateNotice notice{};
  notice.noticeSize = sizeof(UpdateNotice);
  notice.phase = phase;
  notice.outcome = outcome;
  return request->noticeHook(&notice);
}

void UpdateWorkerThread(void* request) { UpdateWorker(static_cast<UpdateRequest*>(request)); }

// Starts the worker on a thread of its own; where the system cannot start
// one, the worker does its job on this thread instead (its window is then
// not redrawn until it is done), so the run still ends as it should.
void StartUpdateWorker(threads::Thread& worker, UpdateRequest* request) {
  if (!worker.Start(UpdateWorkerThread, request)) UpdateWorker(request);
}

int DisplayModeOf(std::int32_t displayMode) { return displayMode >= 65536 ? (displayMode & 0xFFFF) : displayMode; }

// Runs the worker while this thread keeps serving its messages (the
// worker's progress updates among them), until the worker is done.
void RunWorkerWithWindow(UpdateRequest* request, ui::Window window) {
  updateWindow.store(window);
  updateRunThread.store(ui::GetCurrentThreadId());
  threads::Thread worker;
  StartUpdateWorker(worker, request);
  bool quitSeen = false;
  ui::Msg msg;
  for (;;) {
    if (!ui::GetMessage(msg)) {
      // The application is being asked to quit. The worker still holds the
      // caller's request, so serve it to its end and pass the quit on after.
      quitSeen = true;
      updateWindow.store(nullptr);
      continue;
    }
    if (msg.message == WM_UPDATE_DONE && msg.window == nullptr) break;
    ui::TranslateMessage(msg);
    ui::DispatchMessage(msg);
  }
  worker.Join();
  updateRunThread.store(0);
  if (quitSeen) ui::PostThreadMessage(ui::GetCurrentThreadId(), ui::WM_QUIT, 0, 0);
}

void RunWorkerWithoutWindow(UpdateRequest* request) {
  threads::Event done(false, false);
  UpdateDoneEvent.store(&done);
  threads::Thread worker;
  StartUpdateWorker(worker, request);
  done.Wait();
  worker.Join();
  UpdateDoneEvent.store(nullptr);
}

}  // namespace

int RunUpdate(UpdateRequest* request) {
  if (request->recordSize != kUpdateRequestSize) return kRunBadRecordSize;
  ui::Icon icon = UpdaterIcon();
  if (request->formatVersion > kUpdateFormatVersion) return kRunBadFormatVersion;
  // The notify mode reports through the caller's hook; without one there is
  // nobody to tell, so the request is refused before anything is shown.
  if (DisplayModeOf(request->displayMode) == ModeNotify && !request->noticeHook) return kRunNotRun;

  if (text::EqualsAsciiNoCase(FieldText(request->language), u"GR")) {
    updateLanguageOffset = kLanguageOffsetGreek;
  } else {
    SetFieldText(request->language, u"EN");
    updateLanguageOffset = kLanguageOffsetEnglish;
  }

  ui::Window window = ui::CreateDialogParam("DIALOG_UPDATE", nullptr, UpdateWindowProc, 0);
  if (window) {
    ui::ShowWindow(window, ui::SW_SHOW);
    ui::SetWindowText(window, FieldText(request->caption));
  } else {
    request->displayMode = ModeHidden;
  }

  int preset = 0;
  if (request->displayMode >= 65536) {
    preset = int(std::uint32_t(request->displayMode) >> 16);
    request->displayMode &= 0xFFFF;
  }
  if (request->displayMode == 1) request->displayMode = ModeHidden;
  const int mode = request->displayMode;

  ui::NotifyIconData tray;
  tray.window = window;
  tray.id = kTrayIconId;
  tray.flags = ui::NIF_MESSAGE | ui::NIF_ICON;
  tray.callbackMessage = WM_UPDATE_TRAY;
  tray.icon = icon;

  int noticeOutcome = 0;
  bool runWorker = true;
  if (mode == ModeVisible) {
    ui::Shell_NotifyIcon(ui::NIM_ADD, tray);
  } else if (mode == ModeHidden) {
    ui::ShowWindow(window, ui::SW_HIDE);
  } else if (mode == ModeNotify) {
    if (CallNotice(request, 1, 0) == 0) {
      noticeOutcome = 2;
      runWorker = false;
    }
  }

  if (runWorker) {
    if (window)
      RunWorkerWithWindow(request, window);
    else
      RunWorkerWithoutWindow(request);
  }

  unsigned updated = 0, failed = 0, kept = 0;
  for (std::int32_t i = 0; i < request->fileCount; ++i) {
    int result = request->files[i].result;
    if (result == ResultUpdated)
      ++updated;
    else if (result == ResultFailed)
      ++failed;
    else
      ++kept;
  }

  unsigned sentenceId = failed > 0 ? kMsgErrors : updated > 0 ? kMsgUpdated : kMsgNothingToUpdate;
  unsigned total = unsigned(request->fileCount > 0 ? request->fileCount : 0);
  std::u16string summary = text::Format(LookupMessage(kMsgSummary), total, updated, total, failed, total, kept, total,
                                        LookupMessage(sentenceId));

  bool exitRequested = false;
  const bool asksToExit = updated > 0 && failed == 0;
  const bool closingModes = mode == ModeVisible || mode == ModeHidden;
  if (closingModes) {
    unsigned type = asksToExit ? (ui::MB_YESNO | ui::MB_ICONQUESTION) : (ui::MB_OK | ui::MB_ICONINFORMATION);
    int timeoutAnswer = asksToExit ? ui::IDYES : ui::IDOK;
    if (preset == AnswerExit) {
      exitRequested = true;
    } else if (preset == AnswerStay || mode == ModeHidden) {
      exitRequested = false;
    } else {
      int answer = MessageBoxWithTimeout(window, summary, FieldText(request->caption), type, kClosingBoxTimeoutMs,
                                         timeoutAnswer);
      exitRequested = answer == ui::IDYES;
    }
  }

  updateWindow.store(nullptr);
  if (window) ui::DestroyWindow(window);
  if (mode == ModeNotify) CallNotice(request, 2, noticeOutcome);
  ui::Shell_NotifyIcon(ui::NIM_DELETE, tray);

  if (exitRequested) return kRunExitRequested;
  if (closingModes && asksToExit) return kRunUpdatedStay;
  return kRunDone;
}
