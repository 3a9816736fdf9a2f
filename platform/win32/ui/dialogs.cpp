// Dialogs from the program's own templates (the resource script made from
// resources/), run by the system's dialog manager: DialogBoxParamW and
// CreateDialogParamW with one procedure of this layer in front of the
// program's, which keeps the record the transcript and the script driver read.
#include "platform/win32/ui/ui_state.h"

namespace ui {
namespace {

using win32::Native;
using win32::Portable;
using win32_ui::DialogRecord;

struct Creation {
  std::string name;
  DialogProc proc;
  LParam initParam;
  HWND owner;
  bool modal;
};

// Counts a procedure of the program as running for as long as it runs.
struct Busy {
  Busy() {
    std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
    ++win32_ui::BusyDepth();
    ++win32_ui::Generation();
  }
  ~Busy() {
    {
      std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
      --win32_ui::BusyDepth();
      ++win32_ui::Generation();
    }
    win32_ui::Wake();
  }
};

INT_PTR CALLBACK DialogFront(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogProc proc = nullptr;
  LParam argument = static_cast<LParam>(lParam);
  if (message == ui::WM_INITDIALOG) {
    const auto* creation = reinterpret_cast<const Creation*>(lParam);
    DialogRecord record;
    record.window = window;
    record.name = creation->name;
    record.layout = FindDialogTemplate(creation->name);
    record.proc = creation->proc;
    record.initParam = creation->initParam;
    record.owner = creation->owner;
    record.modal = creation->modal;
    {
      std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
      win32_ui::AddDialog(std::move(record));
    }
    if (creation->modal) win32_ui::SetInnermostWaitWindow(window);
    proc = creation->proc;
    argument = creation->initParam;
  } else {
    std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
    if (DialogRecord* record = win32_ui::FindDialog(window)) proc = record->proc;
  }
  if (!proc) return FALSE;
  INT_PTR result;
  {
    Busy busy;
    result = proc(Portable(window), message, static_cast<WParam>(wParam), argument);
  }
  if (message == ui::WM_INITDIALOG) {
    DialogRecord* shown = nullptr;
    {
      std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
      DialogRecord* record = win32_ui::FindDialog(window);
      if (record) {
        record->initialised = true;
        // A dialog ended while it was being initialised is never shown.
        bool visible = record->modal || (record->layout && record->layout->visible);
        if (!record->ended && visible) shown = record;
      }
      ++win32_ui::Generation();
    }
    if (shown) win32_ui::AnnounceDialog(*shown);
  }
  if (message == WM_DESTROY) {
    DialogRecord copy;
    bool found = false;
    {
      std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
      if (DialogRecord* record = win32_ui::FindDialog(window)) {
        copy = *record;
        found = true;
      }
    }
    if (found) {
      if (!copy.modal) win32_ui::RecordDialogEnd(copy);
      std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
      win32_ui::RemoveDialog(window);
    }
  }
  return result;
}

}  // namespace

std::intptr_t DialogBoxParam(std::string_view templateName, Window owner, DialogProc proc, LParam initParam) {
  if (!FindDialogTemplate(templateName)) return -1;
  Creation creation{std::string(templateName), proc, initParam, Native(owner), true};
  const std::wstring name = win32::Wide(std::u16string(templateName.begin(), templateName.end()));
  win32_ui::WaitScope wait(win32_ui::WaitKind::Dialog);
  return ::DialogBoxParamW(::GetModuleHandleW(nullptr), name.c_str(), Native(owner), DialogFront,
                           reinterpret_cast<LPARAM>(&creation));
}

Window CreateDialogParam(std::string_view templateName, Window owner, DialogProc proc, LParam initParam) {
  if (!FindDialogTemplate(templateName)) return nullptr;
  Creation creation{std::string(templateName), proc, initParam, Native(owner), false};
  const std::wstring name = win32::Wide(std::u16string(templateName.begin(), templateName.end()));
  return Portable(::CreateDialogParamW(::GetModuleHandleW(nullptr), name.c_str(), Native(owner), DialogFront,
                                       reinterpret_cast<LPARAM>(&creation)));
}

bool EndDialog(Window dialog, std::intptr_t result) {
  HWND window = Native(dialog);
  DialogRecord copy;
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
    DialogRecord* record = win32_ui::FindDialog(window);
    if (!record) return false;
    first = !record->ended;
    record->ended = true;
    record->result = result;
    copy = *record;
    ++win32_ui::Generation();
  }
  // The final state, read while the controls still exist; the system's own
  // call comes after, outside the lock, since it sends messages.
  if (first && copy.modal) win32_ui::RecordDialogEnd(copy);
  win32_ui::Wake();
  return ::EndDialog(window, result) != 0;
}

bool DestroyWindow(Window window) { return ::DestroyWindow(Native(window)) != 0; }
bool IsWindow(Window window) { return window && ::IsWindow(Native(window)) != 0; }

bool ShowWindow(Window window, int command) {
  HWND native = Native(window);
  bool wasVisible = ::ShowWindow(native, command) != 0;
  if (command != SW_HIDE) {
    DialogRecord* shown = nullptr;
    {
      std::lock_guard<std::mutex> lock(win32_ui::StateMutex());
      DialogRecord* record = win32_ui::FindDialog(native);
      if (record && record->initialised && !record->announced) shown = record;
    }
    if (shown) win32_ui::AnnounceDialog(*shown);
  }
  return wasVisible;
}

bool SetWindowText(Window window, std::u16string_view text) {
  return ::SetWindowTextW(Native(window), win32::Wide(text).c_str()) != 0;
}

std::u16string GetWindowText(Window window) {
  HWND native = Native(window);
  int length = ::GetWindowTextLengthW(native);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = ::GetWindowTextW(native, text.data(), length + 1);
  return win32::FromWide(text.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

bool EnableWindow(Window window, bool enable) { return ::EnableWindow(Native(window), enable) != 0; }

Window GetDlgItem(Window dialog, int id) { return Portable(::GetDlgItem(Native(dialog), id)); }

bool SetDlgItemText(Window dialog, int id, std::u16string_view text) {
  return ::SetDlgItemTextW(Native(dialog), id, win32::Wide(text).c_str()) != 0;
}

bool CheckRadioButton(Window dialog, int first, int last, int check) {
  return ::CheckRadioButton(Native(dialog), first, last, check) != 0;
}

bool CheckDlgButton(Window dialog, int id, int state) {
  return ::CheckDlgButton(Native(dialog), id, static_cast<UINT>(state)) != 0;
}

int IsDlgButtonChecked(Window dialog, int id) { return static_cast<int>(::IsDlgButtonChecked(Native(dialog), id)); }

bool InvalidateRect(Window window, bool erase) { return ::InvalidateRect(Native(window), nullptr, erase) != 0; }
bool UpdateWindow(Window window) { return ::UpdateWindow(Native(window)) != 0; }

void SetClassIcon(Window window, int which, Icon icon) {
  ::SetClassLongPtrW(Native(window), which, reinterpret_cast<LONG_PTR>(icon));
}

}  // namespace ui
