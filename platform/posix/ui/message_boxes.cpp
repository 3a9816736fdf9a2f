// Message boxes, plain and timed. A box runs its own loop, so the thread's
// messages (results posted by workers, sends from other threads) keep
// being handled while it is open.
#include "platform/portable/ui/transcript.h"
#include "platform/posix/ui/front_end_host.h"
#include "platform/posix/ui/message_loop.h"
#include "platform/posix/ui/thread_queue.h"
#include "platform/posix/ui/window_table.h"

#include <algorithm>
#include <atomic>
#include <optional>

namespace ui {
namespace {

std::atomic<int> nextBoxSerial{1};

frontend::MessageBoxView DescribeBox(std::uintptr_t ownerHandle, std::u16string_view text,
                                     std::u16string_view caption, unsigned type) {
  frontend::MessageBoxView view;
  view.serial = nextBoxSerial.fetch_add(1);
  view.text = std::u16string(text);
  view.caption = std::u16string(caption);
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    if (core::WindowRecord* owner = core::FindId(ownerHandle)) view.ownerName = owner->name;
  }
  frontend::SetBoxStyle(view, type);
  return view;
}

bool Offers(const frontend::MessageBoxView& view, int id) {
  return std::find(view.buttonIds.begin(), view.buttonIds.end(), id) != view.buttonIds.end();
}

int RunBox(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type,
           std::optional<std::uint32_t> timeoutMs) {
  // Boxes are shown by the thread that runs the dialogs, whoever asks.
  if (core::UiThread() != 0 && !core::IsUiThread()) {
    std::u16string textCopy(text), captionCopy(caption);
    return static_cast<int>(core::RunOn(core::UiThread(), [=] {
      return static_cast<std::intptr_t>(
          timeoutMs ? MessageBoxTimeout(owner, textCopy, captionCopy, type, 0, *timeoutMs)
                    : MessageBox(owner, textCopy, captionCopy, type));
    }));
  }
  std::uintptr_t ownerHandle = 0;
  bool ownerWasEnabled = true;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    if (core::WindowRecord* record = core::TopLevel(core::Find(owner))) {
      ownerHandle = record->handle;
      ownerWasEnabled = record->enabled;
      record->enabled = false;
    }
  }
  frontend::MessageBoxView view = DescribeBox(ownerHandle, text, caption, type);
  if (timeoutMs) {
    view.timeoutMs = *timeoutMs;
    view.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(*timeoutMs);
  }

  int answer = 0;
  bool timedOut = false;
  core::Frame frame;
  frame.kind = core::FrameKind::MessageBox;
  frame.box = &view;
  core::LoopHooks hooks;
  hooks.done = [&] { return answer != 0; };
  hooks.posted = [&](const Msg& msg) {
    if (msg.message == WM_QUIT) answer = view.buttonIds.back();
    return core::DispatchInModalLoop(msg);
  };
  hooks.input = [&](const frontend::Input& input) {
    using frontend::InputKind;
    switch (input.kind) {
      case InputKind::Answer:
        if (Offers(view, input.id))
          answer = input.id;
        else
          core::RejectInput(input, view.ownerName, "the box has no " + core::AnswerName(input.id) + " button");
        return;
      case InputKind::AnswerDefault:
        answer = view.buttonIds[view.defaultButton - 1];
        return;
      case InputKind::AnswerEscape:
        if (Offers(view, IDCANCEL))
          answer = IDCANCEL;
        else if (view.buttons == frontend::Buttons::Ok)
          answer = IDOK;
        else
          core::RejectInput(input, view.ownerName, "Escape does nothing in a box without Cancel");
        return;
      case InputKind::TimeOut:
        if (timeoutMs) {
          timedOut = true;
          answer = MB_TIMEDOUT;
        } else {
          core::RejectInput(input, view.ownerName, "the box is not timed");
        }
        return;
      default:
        core::RejectInput(input, view.ownerName, "a message box is open");
    }
  };
  if (timeoutMs) {
    hooks.deadline = view.deadline;
    hooks.onDeadline = [&] {
      timedOut = true;
      answer = MB_TIMEDOUT;
    };
  }
  core::RunLoop(frame, hooks);

  if (ownerHandle) {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    if (core::WindowRecord* record = core::FindId(ownerHandle)) record->enabled = ownerWasEnabled;
    core::MarkDirty();
  }
  core::JsonObject event;
  event.Text("event", "msgbox").Text("caption", view.caption).Text("text", view.text)
      .Text("buttons", core::ButtonsName(view.buttons)).Text("icon", core::IconName(view.icon))
      .Number("default", view.defaultButton);
  if (view.ownerName.empty())
    event.Null("owner");
  else
    event.Text("owner", view.ownerName);
  if (timeoutMs) event.Number("timeout_ms", *timeoutMs);
  if (timedOut)
    event.Null("answer").Bool("timed_out", true);
  else
    event.Text("answer", core::AnswerName(answer));
  core::WriteTranscript(event.Finish());
  return answer;
}

}  // namespace

int MessageBox(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type) {
  return RunBox(owner, text, caption, type, std::nullopt);
}

int MessageBoxTimeout(Window owner, std::u16string_view text, std::u16string_view caption, unsigned type,
                      unsigned, std::uint32_t timeoutMs) {
  if (timeoutMs == 0xFFFFFFFFu) return RunBox(owner, text, caption, type, std::nullopt);
  return RunBox(owner, text, caption, type, timeoutMs);
}

bool HasMessageBoxTimeout() { return true; }

}  // namespace ui
