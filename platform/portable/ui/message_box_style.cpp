// What a message box's type flags ask for, the same on every platform.
#include "platform/portable/ui/front_end.h"

namespace ui::frontend {

void SetBoxStyle(MessageBoxView& view, unsigned type) {
  switch (type & 0xF) {
    case MB_OKCANCEL:
      view.buttons = Buttons::OkCancel;
      view.buttonIds = {IDOK, IDCANCEL};
      break;
    case MB_YESNOCANCEL:
      view.buttons = Buttons::YesNoCancel;
      view.buttonIds = {IDYES, IDNO, IDCANCEL};
      break;
    case MB_YESNO:
      view.buttons = Buttons::YesNo;
      view.buttonIds = {IDYES, IDNO};
      break;
    default:
      view.buttons = Buttons::Ok;
      view.buttonIds = {IDOK};
  }
  switch (type & 0xF0) {
    case MB_ICONERROR: view.icon = IconKind::Error; break;
    case MB_ICONQUESTION: view.icon = IconKind::Question; break;
    case MB_ICONWARNING: view.icon = IconKind::Warning; break;
    case MB_ICONINFORMATION: view.icon = IconKind::Information; break;
    default: view.icon = IconKind::None;
  }
  // A default beyond the last button falls back to the first, as the platform does.
  int wanted = static_cast<int>((type & 0xF00) >> 8) + 1;
  view.defaultButton = wanted <= static_cast<int>(view.buttonIds.size()) ? wanted : 1;
}

}  // namespace ui::frontend
