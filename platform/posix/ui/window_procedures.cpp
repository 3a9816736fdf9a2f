#include "platform/posix/ui/window_procedures.h"

#include "platform/posix/ui/front_end_host.h"
#include "platform/posix/ui/window_table.h"

#include <algorithm>
#include <string>

namespace ui::core {
namespace {

std::u16string TextAt(LParam lParam) {
  const char16_t* text = reinterpret_cast<const char16_t*>(lParam);
  return text ? std::u16string(text) : std::u16string();
}

// The built-in behaviour of buttons, labels and progress bars. Called with
// TableMutex held; it only changes the control's own state.
std::intptr_t ControlMessage(WindowRecord& control, unsigned message, WParam wParam, LParam lParam) {
  switch (message) {
    case BM_GETCHECK:
      return control.checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      control.checked = wParam == static_cast<WParam>(BST_CHECKED);
      MarkDirty();
      return 0;
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
      std::intptr_t previous = (control.rangeMin & 0xFFFF) | ((control.rangeMax & 0xFFFF) << 16);
      if (message == PBM_SETRANGE) {
        control.rangeMin = static_cast<int>(lParam & 0xFFFF);
        control.rangeMax = static_cast<int>((lParam >> 16) & 0xFFFF);
      } else {
        control.rangeMin = static_cast<int>(wParam);
        control.rangeMax = static_cast<int>(lParam);
      }
      if (control.rangeMax < control.rangeMin) std::swap(control.rangeMin, control.rangeMax);
      control.pos = std::clamp(control.pos, control.rangeMin, control.rangeMax);
      MarkDirty();
      return previous;
    }
    case PBM_SETPOS: {
      int previous = control.pos;
      control.pos = std::clamp(static_cast<int>(wParam), control.rangeMin, control.rangeMax);
      if (control.pos != previous) MarkDirty();
      return previous;
    }
    case PBM_GETPOS:
      return control.pos;
    case WM_SETTEXT:
      control.text = TextAt(lParam);
      MarkDirty();
      return 1;
    default:
      return 0;
  }
}

// What the platform does with a message the dialog procedure left alone.
std::intptr_t DefaultDialogMessage(Window dialog, unsigned message, WParam wParam, LParam lParam) {
  switch (message) {
    case WM_CLOSE: {
      Window cancel = GetDlgItem(dialog, IDCANCEL);
      CallWindow(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LParam>(cancel));
      return 0;
    }
    case WM_SETTEXT: {
      std::lock_guard<std::mutex> lock(TableMutex());
      if (WindowRecord* record = Find(dialog)) {
        record->text = TextAt(lParam);
        MarkDirty();
      }
      return 1;
    }
    default:
      (void)wParam;
      return 0;
  }
}

// Selects a radio button as a click does: it is checked and the other
// radio buttons of its group (the run of controls between two controls
// that start a group) are cleared. Called with TableMutex held.
void ClickRadio(WindowRecord& dialog, WindowRecord& radio) {
  std::vector<WindowRecord*> controls;
  for (std::uintptr_t child : dialog.children)
    if (WindowRecord* record = FindId(child)) controls.push_back(record);
  auto at = std::find(controls.begin(), controls.end(), &radio);
  if (at == controls.end()) return;
  auto first = at;
  while (first != controls.begin() && !(*first)->group) --first;
  auto last = at + 1;
  while (last != controls.end() && !(*last)->group) ++last;
  for (auto it = first; it != last; ++it)
    if ((*it)->kind == ControlKind::Radio) (*it)->checked = *it == &radio;
  MarkDirty();
}

bool AcceptsInput(const WindowRecord& dialog, const Frame& frame, std::string& why) {
  if (!dialog.visible) {
    why = "the dialog is not shown";
    return false;
  }
  if (!dialog.enabled) {
    why = "the dialog is disabled";
    return false;
  }
  switch (frame.kind) {
    case FrameKind::Dialog:
      if (AsWindow(dialog.handle) == frame.dialog || !dialog.modal) return true;
      why = "another dialog is in front";
      return false;
    case FrameKind::Nothing:
      return true;
    case FrameKind::MessageBox:
      why = "a message box is open";
      return false;
    case FrameKind::FileDialog:
      why = "a file dialog is open";
      return false;
  }
  return false;
}

}  // namespace

std::intptr_t CallWindow(Window window, unsigned message, WParam wParam, LParam lParam) {
  DialogProc proc = nullptr;
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    WindowRecord* record = Find(window);
    if (!record) return 0;
    if (!record->isDialog) return ControlMessage(*record, message, wParam, lParam);
    proc = record->proc;
  }
  std::intptr_t result = proc ? proc(window, message, wParam, lParam) : 0;
  if (result == 0) result = DefaultDialogMessage(window, message, wParam, lParam);
  return result;
}

void ApplyDialogInput(const frontend::Input& input, const Frame& frame) {
  using frontend::InputKind;
  Window dialog = input.window;
  std::string name;
  unsigned message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  std::string why;
  {
    std::lock_guard<std::mutex> lock(TableMutex());
    WindowRecord* record = Find(dialog);
    if (!record || !record->isDialog) {
      why = "no such dialog";
    } else {
      name = record->name;
      if (AcceptsInput(*record, frame, why)) {
        switch (input.kind) {
          case InputKind::Click: {
            WindowRecord* control = FindChild(*record, input.id);
            if (!control)
              why = "no control " + std::to_string(input.id);
            else if (!control->enabled || !control->visible)
              why = "control " + std::to_string(input.id) + " is disabled";
            else if (control->kind == ControlKind::Radio || control->kind == ControlKind::Button) {
              if (control->kind == ControlKind::Radio) ClickRadio(*record, *control);
              message = WM_COMMAND;
              wParam = static_cast<WParam>(input.id & 0xFFFF);
              lParam = reinterpret_cast<LParam>(AsWindow(control->handle));
            } else {
              why = "control " + std::to_string(input.id) + " cannot be clicked";
            }
            break;
          }
          case InputKind::Select: {
            WindowRecord* list = nullptr;
            for (std::uintptr_t child : record->children) {
              WindowRecord* control = FindId(child);
              if (control && control->kind == ControlKind::ListView && (input.id == 0 || control->id == input.id)) {
                list = control;
                break;
              }
            }
            if (!list) {
              why = "no list";
            } else if (!list->enabled) {
              why = "the list is disabled";
            } else {
              for (int row : input.rows)
                if (row < 0 || row >= static_cast<int>(list->rows.size()))
                  why = "no row " + std::to_string(row + 1);
              if (why.empty()) {
                for (ListRow& row : list->rows) row.selected = false;
                for (int row : input.rows) list->rows[row].selected = true;
                MarkDirty();
              }
            }
            break;
          }
          case InputKind::KeyEnter: {
            int id = IDOK;
            for (std::uintptr_t child : record->children) {
              WindowRecord* control = FindId(child);
              if (control && control->kind == ControlKind::Button && control->defaultButton) id = control->id;
            }
            WindowRecord* button = FindChild(*record, id);
            if (button && !button->enabled) {
              why = "the default button is disabled";
            } else {
              message = WM_COMMAND;
              wParam = static_cast<WParam>(id & 0xFFFF);
              lParam = reinterpret_cast<LParam>(button ? AsWindow(button->handle) : nullptr);
            }
            break;
          }
          case InputKind::KeyEscape: {
            WindowRecord* button = FindChild(*record, IDCANCEL);
            message = WM_COMMAND;
            wParam = IDCANCEL;
            lParam = reinterpret_cast<LParam>(button ? AsWindow(button->handle) : nullptr);
            break;
          }
          case InputKind::Close:
            message = WM_CLOSE;
            break;
          default:
            why = "not an action for a dialog";
        }
      }
    }
  }
  if (!why.empty()) {
    RejectInput(input, name, why);
    return;
  }
  if (message) CallWindow(dialog, message, wParam, lParam);
}

}  // namespace ui::core
