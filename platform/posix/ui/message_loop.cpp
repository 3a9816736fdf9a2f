#include "platform/posix/ui/message_loop.h"

#include "platform/posix/ui/front_end_host.h"
#include "platform/posix/ui/shell_state.h"
#include "platform/posix/ui/thread_queue.h"
#include "platform/posix/ui/window_procedures.h"
#include "platform/posix/ui/window_table.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace ui::core {
namespace {

using Clock = std::chrono::steady_clock;

thread_local std::vector<Frame> frames;
thread_local int lastWaitedSerial = -1;
thread_local int renderedSerial = -1;
thread_local frontend::Screen renderedScreen;
thread_local Clock::time_point lastRenderAt{};
thread_local bool renderHeldBack = false;  // a change waits for its frame
thread_local Clock::time_point lastPostTakenAt{};
std::atomic<int> nextSerial{1};

void KeepEarliest(std::optional<Clock::time_point>& wakeBy, std::optional<Clock::time_point> other) {
  if (other && (!wakeBy || *other < *wakeBy)) wakeBy = other;
}

const Frame* Innermost(FrameKind kind) {
  for (auto it = frames.rbegin(); it != frames.rend(); ++it)
    if (it->kind == kind) return &*it;
  return nullptr;
}

void ApplyInput(const frontend::Input& input, const Frame& frame, LoopHooks& hooks) {
  using frontend::InputKind;
  switch (input.kind) {
    case InputKind::None:
    case InputKind::Sleep:
      return;
    case InputKind::Click:
    case InputKind::Select:
    case InputKind::KeyEnter:
    case InputKind::KeyEscape:
    case InputKind::Close:
      ApplyDialogInput(input, frame);
      return;
    case InputKind::TrayClick:
      ClickTrayIcon(WM_LBUTTONDOWN);
      return;
    case InputKind::BalloonClick:
      ClickTrayIcon(NIN_BALLOONUSERCLICK);
      return;
    default:
      if (hooks.input)
        hooks.input(input);
      else
        RejectInput(input, "", "no message box or file dialog is waiting for an answer");
      return;
  }
}

}  // namespace

frontend::Screen BuildScreen() {
  frontend::Screen screen;
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    for (WindowRecord* dialog : AllDialogs())
      if (dialog->visible) screen.dialogs.push_back(ViewOfDialog(*dialog));
  }
  screen.trayIcon = CurrentTrayIcon();
  if (!frames.empty()) {
    const Frame& top = frames.back();
    switch (top.kind) {
      case FrameKind::Nothing: screen.waiting = frontend::WaitingKind::Nothing; break;
      case FrameKind::Dialog:
        screen.waiting = frontend::WaitingKind::Dialog;
        screen.waitingDialog = top.dialog;
        break;
      case FrameKind::MessageBox: screen.waiting = frontend::WaitingKind::MessageBox; break;
      case FrameKind::FileDialog: screen.waiting = frontend::WaitingKind::FileDialog; break;
    }
    screen.waitingChanged = top.serial != lastWaitedSerial;
  }
  if (const Frame* box = Innermost(FrameKind::MessageBox)) screen.messageBox = *box->box;
  if (const Frame* file = Innermost(FrameKind::FileDialog)) screen.fileDialog = *file->file;
  return screen;
}

// Rebuilds the snapshot and draws only when something changed, so that a
// stream of messages that change nothing visible costs no copying; and
// within one frame of the last drawing only when what waits for input
// changed (or `now` is asked for), so that a stream of changes is drawn
// once per frame instead of once per message.
static const frontend::Screen& CurrentRendered(frontend::FrontEnd& frontEnd, bool now = false) {
  int serial = frames.empty() ? 0 : frames.back().serial;
  const bool changed = TakeDirty() || renderHeldBack;
  if (changed || serial != renderedSerial) {
    const Clock::time_point at = Clock::now();
    if (now || serial != renderedSerial || at >= lastRenderAt + frontend::kFrameInterval) {
      renderedSerial = serial;
      renderedScreen = BuildScreen();
      frontEnd.Render(renderedScreen);
      lastRenderAt = at;
      renderHeldBack = false;
    } else {
      renderHeldBack = true;
    }
  }
  renderedScreen.waitingChanged = serial != lastWaitedSerial;
  return renderedScreen;
}

// When a held-back change is due to be drawn.
static std::optional<Clock::time_point> RenderDue() {
  if (!renderHeldBack) return std::nullopt;
  return lastRenderAt + frontend::kFrameInterval;
}

void RenderNow() {
  std::shared_ptr<frontend::FrontEnd> frontEnd = ActiveFrontEnd();
  if (!frontEnd || !IsUiThread()) return;
  CurrentRendered(*frontEnd);
}

bool DispatchInModalLoop(const Msg& msg) {
  if (msg.message == WM_QUIT) {
    PushFront(msg);
    return true;
  }
  if (msg.window) CallWindow(msg.window, msg.message, msg.wParam, msg.lParam);
  return false;
}

void RunLoop(Frame frame, LoopHooks& hooks) {
  frame.serial = nextSerial.fetch_add(1);
  frames.push_back(frame);
  MarkDirty();
  for (;;) {
    if (hooks.done && hooks.done()) {
      // What this loop showed last is drawn before it goes away (the
      // checking dialog's final count, say), even inside its last frame.
      std::shared_ptr<frontend::FrontEnd> frontEnd = ActiveFrontEnd();
      if (renderHeldBack && frontEnd && IsUiThread()) CurrentRendered(*frontEnd, true);
      break;
    }
    if (HandleOneSent()) continue;
    if (std::optional<Msg> msg = TakePosted()) {
      lastPostTakenAt = Clock::now();
      if (hooks.posted && hooks.posted(*msg)) break;
      continue;
    }
    auto now = Clock::now();
    if (hooks.deadline && now >= *hooks.deadline) {
      hooks.deadline.reset();
      if (hooks.onDeadline) hooks.onDeadline();
      continue;
    }
    std::shared_ptr<frontend::FrontEnd> frontEnd = ActiveFrontEnd();
    if (frontEnd && IsUiThread()) {
      const frontend::Screen& screen = CurrentRendered(*frontEnd);
      std::optional<Clock::time_point> wakeBy = hooks.deadline;
      KeepEarliest(wakeBy, RenderDue());
      // While posts keep coming, look at the queue once a frame instead of
      // being woken for each of them.
      if (now < lastPostTakenAt + frontend::kFrameInterval) KeepEarliest(wakeBy, now + frontend::kFrameInterval);
      if (!BeginFrontEndWait(wakeBy)) continue;
      std::optional<std::chrono::milliseconds> timeout;
      if (wakeBy)
        timeout = std::max(std::chrono::milliseconds(0), std::chrono::ceil<std::chrono::milliseconds>(*wakeBy - now));
      lastWaitedSerial = frame.serial;
      frontend::Input input = frontEnd->WaitForInput(screen, timeout);
      EndFrontEndWait();
      Frame current = frames.back();  // nested loops may grow `frames` while the input is applied
      ApplyInput(input, current, hooks);
    } else {
      WaitOnQueue(hooks.deadline);
    }
  }
  frames.pop_back();
  MarkDirty();
}

}  // namespace ui::core

namespace ui::frontend {
Screen CurrentScreen() { return core::BuildScreen(); }
}  // namespace ui::frontend
