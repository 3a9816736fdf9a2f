// Modal and modeless dialogs: creation from templates, showing, ending and
// destroying, with the transcript's "dialog" and "end" events.
#include "platform/portable/ui/transcript.h"
#include "platform/posix/ui/front_end_host.h"
#include "platform/posix/ui/message_loop.h"
#include "platform/posix/ui/thread_queue.h"
#include "platform/posix/ui/window_procedures.h"
#include "platform/posix/ui/window_table.h"

namespace ui {
namespace {

using core::WindowRecord;

std::string DialogEvent(const WindowRecord& dialog) {
  frontend::DialogView view = core::ViewOfDialog(dialog);
  core::JsonObject event;
  event.Text("event", "dialog").Text("name", view.name).Text("caption", view.caption);
  if (view.ownerName.empty())
    event.Null("owner");
  else
    event.Text("owner", view.ownerName);
  event.Bool("modal", view.modal).Raw("controls", core::ControlsJson(view.controls));
  return event.Finish();
}

std::string EndEvent(const WindowRecord& dialog, const std::vector<std::unique_ptr<WindowRecord>>& controls) {
  std::vector<frontend::ControlView> views;
  for (const auto& control : controls) views.push_back(core::ViewOfControl(*control));
  core::JsonObject event;
  event.Text("event", "end").Text("name", dialog.name).Text("caption", dialog.text);
  if (dialog.modal)
    event.Number("result", dialog.result);
  else
    event.Null("result");
  event.Raw("controls", core::ControlsJson(views));
  return event.Finish();
}

// Makes a dialog visible; the first time, the transcript records it.
void Reveal(Window dialog) {
  std::string event;
  // Without a transcript the event is not built: for a list of many rows
  // it costs more than showing them.
  const bool recording = core::TranscriptOpen();
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(dialog);
    if (!record || !record->isDialog) return;
    record->visible = true;
    core::MarkDirty();
    if (!record->announced) {
      record->announced = true;
      if (recording) event = DialogEvent(*record);
    }
  }
  if (!event.empty()) core::WriteTranscript(event);
}

// Takes a dialog out of the table; the transcript records its final state
// if it was ever shown.
void Retire(Window dialog) {
  std::vector<std::unique_ptr<WindowRecord>> controls;
  std::unique_ptr<WindowRecord> record = core::RemoveDialog(dialog, controls);
  if (record && record->announced && core::TranscriptOpen()) core::WriteTranscript(EndEvent(*record, controls));
}

void SetEnabled(std::uintptr_t handle, bool enabled) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  if (WindowRecord* record = core::FindId(handle)) {
    record->enabled = enabled;
    core::MarkDirty();
  }
}

}  // namespace

std::intptr_t DialogBoxParam(std::string_view templateName, Window owner, DialogProc proc, LParam initParam) {
  Window dialog = core::CreateFromTemplate(templateName, owner, proc, true);
  if (!dialog) return -1;
  std::uintptr_t ownerHandle = 0;
  bool ownerWasEnabled = true;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    ownerHandle = core::Find(dialog)->owner;
    if (WindowRecord* ownerRecord = core::FindId(ownerHandle)) ownerWasEnabled = ownerRecord->enabled;
  }
  if (ownerHandle) SetEnabled(ownerHandle, false);

  core::CallWindow(dialog, WM_INITDIALOG, 0, initParam);
  bool endedInInit = false;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(dialog);
    endedInInit = !record || record->ended;
  }
  // A dialog ended while it was being initialised is never shown.
  if (!endedInInit) Reveal(dialog);

  core::Frame frame;
  frame.kind = core::FrameKind::Dialog;
  frame.dialog = dialog;
  core::LoopHooks hooks;
  hooks.done = [dialog] {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(dialog);
    return !record || record->ended;
  };
  hooks.posted = [dialog](const Msg& msg) {
    if (msg.message == WM_QUIT) EndDialog(dialog, 0);
    return core::DispatchInModalLoop(msg);
  };
  core::RunLoop(frame, hooks);

  std::intptr_t result = 0;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    if (WindowRecord* record = core::Find(dialog)) result = record->result;
  }
  Retire(dialog);
  if (ownerHandle) SetEnabled(ownerHandle, ownerWasEnabled);
  return result;
}

Window CreateDialogParam(std::string_view templateName, Window owner, DialogProc proc, LParam initParam) {
  Window dialog = core::CreateFromTemplate(templateName, owner, proc, false);
  if (!dialog) return nullptr;
  core::CallWindow(dialog, WM_INITDIALOG, 0, initParam);
  bool show = false;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(dialog);
    if (!record) return nullptr;  // destroyed by its own initialisation
    show = record->layout && record->layout->visible && !record->ended;
  }
  if (show) Reveal(dialog);
  return dialog;
}

bool EndDialog(Window dialog, std::intptr_t result) {
  ThreadId thread = 0;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(dialog);
    if (!record || !record->isDialog) return false;
    record->ended = true;
    record->result = result;
    if (!record->modal) record->visible = false;
    thread = record->thread;
    core::MarkDirty();
  }
  // The modal loop checks for the end between messages; make sure it looks.
  if (thread != core::CurrentThreadId()) core::PostTo(thread, Msg{});
  return true;
}

bool DestroyWindow(Window window) {
  ThreadId thread = 0;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(window);
    if (!record || !record->isDialog) return false;
    thread = record->thread;
    if (record->modal) {
      // A modal dialog is taken down by its own loop.
      record->ended = true;
      core::MarkDirty();
      return true;
    }
  }
  if (thread != core::CurrentThreadId())
    return core::RunOn(thread, [window] { return static_cast<std::intptr_t>(DestroyWindow(window)); }) != 0;
  Retire(window);
  return true;
}

bool IsWindow(Window window) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  return core::Find(window) != nullptr;
}

bool ShowWindow(Window window, int command) {
  bool wasVisible = false;
  bool isDialog = false;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(window);
    if (!record) return false;
    wasVisible = record->visible;
    isDialog = record->isDialog;
    if (command == SW_HIDE || !isDialog) {
      record->visible = command != SW_HIDE;
      core::MarkDirty();
    }
  }
  if (isDialog && command != SW_HIDE) Reveal(window);
  return wasVisible;
}

bool SetWindowText(Window window, std::u16string_view text) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::Find(window);
  if (!record) return false;
  record->text = std::u16string(text);
  core::MarkDirty();
  return true;
}

std::u16string GetWindowText(Window window) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::Find(window);
  return record ? record->text : std::u16string();
}

bool EnableWindow(Window window, bool enable) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::Find(window);
  if (!record) return false;
  bool wasDisabled = !record->enabled;
  record->enabled = enable;
  core::MarkDirty();
  return wasDisabled;
}

Window GetDlgItem(Window dialog, int id) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::Find(dialog);
  if (!record || !record->isDialog) return nullptr;
  WindowRecord* control = core::FindChild(*record, id);
  return control ? core::AsWindow(control->handle) : nullptr;
}

bool SetDlgItemText(Window dialog, int id, std::u16string_view text) {
  Window control = GetDlgItem(dialog, id);
  return control && SetWindowText(control, text);
}

bool CheckRadioButton(Window dialog, int first, int last, int check) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::Find(dialog);
  if (!record || !record->isDialog) return false;
  for (std::uintptr_t child : record->children) {
    WindowRecord* control = core::FindId(child);
    if (control && control->id >= first && control->id <= last) control->checked = control->id == check;
  }
  core::MarkDirty();
  return true;
}

bool CheckDlgButton(Window dialog, int id, int state) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::Find(dialog);
  WindowRecord* control = record && record->isDialog ? core::FindChild(*record, id) : nullptr;
  if (!control) return false;
  control->checked = state == BST_CHECKED;
  core::MarkDirty();
  return true;
}

int IsDlgButtonChecked(Window dialog, int id) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::Find(dialog);
  WindowRecord* control = record && record->isDialog ? core::FindChild(*record, id) : nullptr;
  return control && control->checked ? BST_CHECKED : BST_UNCHECKED;
}

bool InvalidateRect(Window window, bool) {
  if (!IsWindow(window)) return false;
  core::MarkDirty();
  return true;
}

bool UpdateWindow(Window window) {
  if (!IsWindow(window)) return false;
  core::RenderNow();
  return true;
}

void SetClassIcon(Window window, int which, Icon icon) {
  std::lock_guard<std::mutex> lock(core::TableMutex());
  WindowRecord* record = core::TopLevel(core::Find(window));
  if (!record) return;
  if (which == GCL_HICON) record->largeIcon = icon;
  if (which == GCL_HICONSM) record->smallIcon = icon;
}

// ------------------------------------------------------------- messages

std::intptr_t SendMessage(Window window, unsigned message, WParam wParam, LParam lParam) {
  ThreadId thread = 0;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(window);
    if (!record) return 0;
    thread = record->thread;
  }
  if (thread != core::CurrentThreadId()) return core::SendTo(thread, window, message, wParam, lParam);
  return core::CallWindow(window, message, wParam, lParam);
}

std::intptr_t SendDlgItemMessage(Window dialog, int id, unsigned message, WParam wParam, LParam lParam) {
  Window control = GetDlgItem(dialog, id);
  return control ? SendMessage(control, message, wParam, lParam) : 0;
}

bool PostMessage(Window window, unsigned message, WParam wParam, LParam lParam) {
  ThreadId thread = 0;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(window);
    if (!record) return false;
    thread = record->thread;
  }
  return core::PostTo(thread, Msg{window, message, wParam, lParam});
}

bool PostThreadMessage(ThreadId thread, unsigned message, WParam wParam, LParam lParam) {
  return core::PostTo(thread, Msg{nullptr, message, wParam, lParam});
}

bool GetMessage(Msg& msg) {
  bool got = false;
  core::Frame frame;
  frame.kind = core::FrameKind::Nothing;
  core::LoopHooks hooks;
  hooks.done = [&got] { return got; };
  hooks.posted = [&](const Msg& posted) {
    msg = posted;
    got = true;
    return true;
  };
  core::RunLoop(frame, hooks);
  return msg.message != WM_QUIT;
}

void TranslateMessage(const Msg&) {}

std::intptr_t DispatchMessage(const Msg& msg) {
  if (!msg.window) return 0;
  {
    std::lock_guard<std::mutex> lock(core::TableMutex());
    WindowRecord* record = core::Find(msg.window);
    if (!record || record->thread != core::CurrentThreadId()) return 0;
  }
  return core::CallWindow(msg.window, msg.message, msg.wParam, msg.lParam);
}

}  // namespace ui
