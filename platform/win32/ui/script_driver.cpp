#include "platform/win32/ui/script_driver.h"

#include <chrono>
#include <thread>
#include <vector>

#include "platform/portable/ui/transcript.h"
#include "platform/win32/ui/timed_box.h"
#include "platform/win32/ui/ui_state.h"

namespace ui::win32_ui {
namespace {

using frontend::Input;
using frontend::InputKind;
using frontend::WaitingKind;

// How often the driver looks again when nothing woke it.
constexpr std::chrono::milliseconds kLookAgain{25};

// The ids of the file dialogs' name field: the combined box of the
// Explorer-style dialog, or the plain edit field.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

std::shared_ptr<frontend::FrontEnd> script;

// The text of a window without asking its thread (which may be busy).
std::u16string TextOf(HWND window) {
  wchar_t buffer[4096] = {};
  int length = ::InternalGetWindowText(window, buffer, 4096);
  return win32::FromWide(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

bool IsDialogClass(HWND window) {
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  return wcscmp(name, L"#32770") == 0;
}

// A box the system shows over one of its own dialogs (a file dialog's
// "replace it?"): nobody of ours knows its text, so it is read off the window.
struct ForeignBox {
  HWND window = nullptr;
  frontend::MessageBoxView view;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM lParam) {
  auto* texts = reinterpret_cast<std::vector<std::u16string>*>(lParam);
  wchar_t name[16] = {};
  ::GetClassNameW(child, name, 16);
  if (wcscmp(name, L"Static") == 0) texts->push_back(TextOf(child));
  return TRUE;
}

struct OwnedSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<OwnedSearch*>(lParam);
  if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window) && IsDialogClass(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

std::optional<ForeignBox> BoxOver(HWND owner, int serial) {
  OwnedSearch search{owner, nullptr};
  ::EnumThreadWindows(DialogThread(), FindOwnedBox, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return std::nullopt;
  ForeignBox box;
  box.window = search.found;
  box.view.serial = -serial;
  box.view.caption = TextOf(search.found);
  std::vector<std::u16string> texts;
  ::EnumChildWindows(search.found, CollectStatic, reinterpret_cast<LPARAM>(&texts));
  for (const std::u16string& text : texts)
    if (text.size() > box.view.text.size()) box.view.text = text;
  for (int id : {IDYES, IDNO, IDOK, IDCANCEL})
    if (::GetDlgItem(search.found, id)) box.view.buttonIds.push_back(id);
  bool yes = ::GetDlgItem(search.found, IDYES) != nullptr, cancel = ::GetDlgItem(search.found, IDCANCEL) != nullptr;
  box.view.buttons = yes ? (cancel ? frontend::Buttons::YesNoCancel : frontend::Buttons::YesNo)
                         : (cancel ? frontend::Buttons::OkCancel : frontend::Buttons::Ok);
  box.view.icon = frontend::IconKind::Warning;
  box.view.ownerName = "";
  return box;
}

struct Snapshot {
  frontend::Screen screen;
  unsigned generation = 0;
  HWND window = nullptr;            // what waits: a dialog, a box or a file dialog
  const DialogTemplate* layout = nullptr;
  bool foreign = false;             // a box of the system's own
  bool fileMustExist = false;
};

Snapshot Look() {
  Snapshot s;
  std::lock_guard<std::mutex> lock(StateMutex());
  s.generation = Generation();
  for (DialogRecord* record : AllDialogs()) {
    if (!record->initialised || !::IsWindowVisible(record->window)) continue;
    frontend::DialogView view;
    view.handle = win32::Portable(record->window);
    view.name = record->name;
    view.caption = TextOf(record->window);
    view.modal = record->modal;
    view.enabled = ::IsWindowEnabled(record->window) != 0;
    s.screen.dialogs.push_back(std::move(view));
  }
  const std::vector<Wait>& waits = Waits();
  if (waits.empty()) return s;
  const Wait& top = waits.back();
  // Inside a procedure of the program nothing waits for input, whatever is shown.
  if (top.busyDepth != BusyDepth() || !top.window || !::IsWindow(top.window)) return s;
  switch (top.kind) {
    case WaitKind::Dialog: {
      DialogRecord* record = FindDialog(top.window);
      if (!record || !record->initialised || record->ended || !::IsWindowVisible(top.window)) return s;
      s.screen.waiting = WaitingKind::Dialog;
      s.screen.waitingDialog = win32::Portable(top.window);
      s.window = top.window;
      s.layout = record->layout;
      break;
    }
    case WaitKind::MessageBox:
      if (!::IsWindowVisible(top.window)) return s;
      s.screen.waiting = WaitingKind::MessageBox;
      s.screen.messageBox = top.box;
      s.screen.messageBox->serial = top.serial;
      s.window = top.window;
      break;
    case WaitKind::FileDialog:
      if (!::IsWindowVisible(top.window)) return s;
      if (std::optional<ForeignBox> box = BoxOver(top.window, top.serial)) {
        s.screen.waiting = WaitingKind::MessageBox;
        s.screen.messageBox = box->view;
        s.window = box->window;
        s.foreign = true;
        break;
      }
      s.screen.waiting = WaitingKind::FileDialog;
      s.screen.fileDialog = top.file;
      s.screen.fileDialog->serial = top.serial;
      s.window = top.window;
      s.fileMustExist = top.fileMustExist;
      break;
    case WaitKind::Nothing:
      break;
  }
  return s;
}

const ControlTemplate* TemplateControl(const DialogTemplate* layout, int id) {
  if (!layout) return nullptr;
  for (const ControlTemplate& control : layout->controls)
    if (control.id == id) return &control;
  return nullptr;
}

std::string NameOf(HWND dialog) {
  std::lock_guard<std::mutex> lock(StateMutex());
  DialogRecord* record = FindDialog(dialog);
  return record ? record->name : std::string();
}

void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  ::PostMessageW(window, message, wParam, lParam);
}

void PressKey(HWND window, WPARAM key) { Post(window, WM_KEYDOWN, key, 1); }

void ApplyToDialog(const Input& input, const Snapshot& s) {
  HWND dialog = s.window;
  const std::string name = NameOf(dialog);
  switch (input.kind) {
    case InputKind::Click: {
      HWND control = ::GetDlgItem(dialog, input.id);
      const ControlTemplate* layout = TemplateControl(s.layout, input.id);
      const std::string id = std::to_string(input.id);
      if (!control || !layout) return RejectInput(input, name, "no control " + id);
      if (!::IsWindowEnabled(control) || !::IsWindowVisible(control))
        return RejectInput(input, name, "control " + id + " is disabled");
      if (layout->kind != ControlKind::Radio && layout->kind != ControlKind::Button)
        return RejectInput(input, name, "control " + id + " cannot be clicked");
      Post(control, BM_CLICK);
      return;
    }
    case InputKind::Select: {
      const ControlTemplate* listLayout = nullptr;
      if (s.layout)
        for (const ControlTemplate& control : s.layout->controls)
          if (control.kind == ControlKind::ListView) listLayout = &control;
      HWND list = listLayout ? ::GetDlgItem(dialog, listLayout->id) : nullptr;
      if (!list) return RejectInput(input, name, "no list");
      if (!::IsWindowEnabled(list)) return RejectInput(input, name, "the list is disabled");
      int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
      for (int row : input.rows)
        if (row < 0 || row >= count) return RejectInput(input, name, "no row " + std::to_string(row + 1));
      LVITEMW state{};
      state.stateMask = LVIS_SELECTED;
      state.state = 0;
      ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
      state.state = LVIS_SELECTED;
      for (int row : input.rows)
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
      return;
    }
    case InputKind::KeyEnter: {
      int id = IDOK;
      if (s.layout)
        for (const ControlTemplate& control : s.layout->controls)
          if (control.kind == ControlKind::Button && control.defaultButton) id = control.id;
      HWND button = ::GetDlgItem(dialog, id);
      if (button && !::IsWindowEnabled(button)) return RejectInput(input, name, "the default button is disabled");
      PressKey(dialog, VK_RETURN);
      return;
    }
    case InputKind::KeyEscape:
      PressKey(dialog, VK_ESCAPE);
      return;
    case InputKind::Close:
      Post(dialog, WM_SYSCOMMAND, SC_CLOSE);
      return;
    default:
      RejectInput(input, name, "not an action for a dialog");
  }
}

bool Offers(const frontend::MessageBoxView& view, int id) {
  for (int offered : view.buttonIds)
    if (offered == id) return true;
  return false;
}

// The save dialog's last path, for the record of a replace question answered No.
std::u16string lastSubmittedPath;
frontend::FileDialogView lastFileDialog;

void RecordForeignAnswer(const frontend::MessageBoxView& view, int answer) {
  core::JsonObject event;
  event.Text("event", "msgbox").Text("caption", view.caption).Text("text", view.text)
      .Text("buttons", core::ButtonsName(view.buttons)).Text("icon", core::IconName(view.icon))
      .Number("default", view.defaultButton).Null("owner").Text("answer", core::AnswerName(answer));
  core::WriteTranscript(event.Finish());
  if (answer == IDNO && lastFileDialog.save) {
    core::JsonObject rejected;
    rejected.Text("event", "filedialog").Text("kind", "save").Text("title", lastFileDialog.title)
        .Text("answer", lastSubmittedPath).Text("rejected", "not replaced");
    core::WriteTranscript(rejected.Finish());
  }
}

void ApplyToBox(const Input& input, const Snapshot& s) {
  HWND box = s.window;
  const frontend::MessageBoxView& view = *s.screen.messageBox;
  const std::string owner = view.ownerName;
  int answer = 0;
  switch (input.kind) {
    case InputKind::Answer:
      if (!Offers(view, input.id) || !::GetDlgItem(box, input.id))
        return RejectInput(input, owner, "the box has no " + core::AnswerName(input.id) + " button");
      answer = input.id;
      Post(::GetDlgItem(box, input.id), BM_CLICK);
      break;
    case InputKind::AnswerDefault:
      answer = view.buttonIds.empty() ? IDOK : view.buttonIds[static_cast<std::size_t>(view.defaultButton - 1)];
      PressKey(box, VK_RETURN);
      break;
    case InputKind::AnswerEscape:
      if (Offers(view, IDCANCEL))
        answer = IDCANCEL;
      else if (view.buttons == frontend::Buttons::Ok)
        answer = IDOK;
      else
        return RejectInput(input, owner, "Escape does nothing in a box without Cancel");
      PressKey(box, VK_ESCAPE);
      break;
    case InputKind::TimeOut:
      if (!view.timeoutMs) return RejectInput(input, owner, "the box is not timed");
      TimeOutBoxNow(box);
      return;
    default:
      return RejectInput(input, owner, "a message box is open");
  }
  if (s.foreign) RecordForeignAnswer(view, answer);
}

std::u16string Absolute(const std::u16string& path) {
  const std::wstring wide = win32::Wide(path);
  std::vector<wchar_t> buffer(32768);
  DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  return length > 0 && length < buffer.size() ? win32::FromWide(buffer.data(), length) : path;
}

void ApplyToFileDialog(const Input& input, const Snapshot& s) {
  HWND dialog = s.window;
  if (input.kind == InputKind::FileCancelled) {
    Post(::GetDlgItem(dialog, IDCANCEL) ? ::GetDlgItem(dialog, IDCANCEL) : dialog, BM_CLICK);
    if (!::GetDlgItem(dialog, IDCANCEL)) Post(dialog, WM_COMMAND, IDCANCEL);
    return;
  }
  if (input.kind != InputKind::FileChosen) return RejectInput(input, "", "a file dialog is open");
  const std::u16string path = Absolute(input.path);
  const frontend::FileDialogView& view = *s.screen.fileDialog;
  if (!view.save && s.fileMustExist) {
    DWORD attributes = ::GetFileAttributesW(win32::Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      // The dialog would refuse it with a box of its own; the script is
      // told at once, as on every platform, and may answer again.
      core::JsonObject event;
      event.Text("event", "filedialog").Text("kind", "open").Text("title", view.title).Text("file", view.file)
          .Text("answer", path).Text("rejected", "the file does not exist");
      core::WriteTranscript(event.Finish());
      return RejectInput(input, "", "the file does not exist");
    }
  }
  HWND field = ::GetDlgItem(dialog, kFileNameCombo);
  if (!field) field = ::GetDlgItem(dialog, kFileNameEdit);
  if (!field) return RejectInput(input, "", "the file dialog has no file name field");
  lastSubmittedPath = path;
  lastFileDialog = view;
  const std::wstring wide = win32::Wide(path);
  ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  HWND ok = ::GetDlgItem(dialog, IDOK);
  if (ok)
    Post(ok, BM_CLICK);
  else
    Post(dialog, WM_COMMAND, IDOK);
}

void Apply(const Input& input, const Snapshot& s) {
  if (input.kind == InputKind::None || input.kind == InputKind::Sleep) return;
  switch (s.screen.waiting) {
    case WaitingKind::Dialog:
      if (input.window != s.screen.waitingDialog) return RejectInput(input, "", "no such dialog");
      return ApplyToDialog(input, s);
    case WaitingKind::MessageBox:
      return ApplyToBox(input, s);
    case WaitingKind::FileDialog:
      return ApplyToFileDialog(input, s);
    case WaitingKind::Nothing:
      return RejectInput(input, "", "nothing waits for input");
  }
}

// After an input, gives the dialog thread a moment to take it before the
// next look, so that the same wait is not answered twice.
void AwaitEffect(unsigned generation) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (std::chrono::steady_clock::now() < until) {
    {
      std::lock_guard<std::mutex> lock(StateMutex());
      if (Generation() != generation) return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

// What newly waits is handed to the script only once it has stayed so for a
// moment: the system posts some of its answers (a close box's Cancel, for
// one), and a window about to take such a message only looks as if it waited.
constexpr std::chrono::milliseconds kSettle{80};

Snapshot SettledLook(WaitingKind previousKind, HWND previousWindow) {
  Snapshot s = Look();
  // A busy window (results streaming into the checking dialog) is taken as
  // it is after a few tries.
  for (int tries = 0; tries < 5 && s.screen.waiting != WaitingKind::Nothing &&
                      (s.screen.waiting != previousKind || s.window != previousWindow);
       ++tries) {
    std::this_thread::sleep_for(kSettle);
    Snapshot again = Look();
    if (again.generation == s.generation) break;
    s = std::move(again);
  }
  return s;
}

void Drive() {
  HWND previousWindow = nullptr;
  WaitingKind previousKind = WaitingKind::Nothing;
  for (;;) {
    Snapshot s = SettledLook(previousKind, previousWindow);
    s.screen.waitingChanged = s.screen.waiting != previousKind || s.window != previousWindow;
    if (s.screen.waiting != WaitingKind::Nothing) {
      previousKind = s.screen.waiting;
      previousWindow = s.window;
    }
    Input input = script->WaitForInput(s.screen, kLookAgain);
    if (input.kind == InputKind::None || input.kind == InputKind::Sleep) continue;
    // What waited may have gone meanwhile; the input is for what was seen.
    Apply(input, s);
    AwaitEffect(s.generation);
  }
}

}  // namespace

void RejectInput(const Input& input, const std::string& dialogName, const std::string& why) {
  std::string action;
  switch (input.kind) {
    case InputKind::Click: action = "click"; break;
    case InputKind::Select: action = "select"; break;
    case InputKind::KeyEnter: action = "key enter"; break;
    case InputKind::KeyEscape: action = "key escape"; break;
    case InputKind::Close: action = "close"; break;
    case InputKind::FileChosen: action = "file"; break;
    default: action = "answer"; break;
  }
  core::JsonObject event;
  event.Text("event", "ignored");
  if (dialogName.empty())
    event.Null("name");
  else
    event.Text("name", dialogName);
  event.Text("action", action).Number("id", input.id).Text("reason", why);
  core::WriteTranscript(event.Finish());
  if (script) script->Rejected(input, why);
}

void StartScriptDriver(std::unique_ptr<frontend::FrontEnd> frontEnd) {
  script = std::shared_ptr<frontend::FrontEnd>(std::move(frontEnd));
  SetWakeHandler([] { script->Wake(); });
  std::thread(Drive).detach();
}

}  // namespace ui::win32_ui
