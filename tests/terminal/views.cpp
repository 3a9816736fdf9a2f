#include "views.h"

#include <stdexcept>

namespace terminal_test {

ui::frontend::DialogView ViewOf(std::string_view templateName, std::uintptr_t handle) {
  const ui::DialogTemplate* layout = ui::FindDialogTemplate(templateName);
  if (!layout) throw std::runtime_error("no template " + std::string(templateName));
  ui::frontend::DialogView view;
  view.handle = reinterpret_cast<ui::Window>(handle);
  view.name = std::string(templateName);
  view.caption = std::u16string(layout->caption);
  view.cx = layout->cx;
  view.cy = layout->cy;
  view.modal = true;
  std::uintptr_t child = handle * 1000;
  for (const ui::ControlTemplate& c : layout->controls) {
    ui::frontend::ControlView control;
    control.handle = reinterpret_cast<ui::Window>(++child);
    control.id = c.id;
    control.kind = c.kind;
    control.x = c.x, control.y = c.y, control.cx = c.cx, control.cy = c.cy;
    control.text = std::u16string(c.text);
    control.enabled = !c.disabled;
    control.visible = c.visible;
    control.group = c.group;
    control.tabStop = c.tabStop;
    control.defaultButton = c.defaultButton;
    view.controls.push_back(control);
  }
  return view;
}

ui::frontend::ControlView& ControlById(ui::frontend::DialogView& view, int id) {
  for (auto& control : view.controls)
    if (control.id == id) return control;
  throw std::runtime_error("no control " + std::to_string(id));
}

ui::frontend::Screen ScreenWith(const ui::frontend::DialogView& view) {
  ui::frontend::Screen screen;
  screen.dialogs.push_back(view);
  screen.waiting = ui::frontend::WaitingKind::Dialog;
  screen.waitingDialog = view.handle;
  return screen;
}

std::string Text(const terminal::Canvas& canvas) { return canvas.Dump(); }

}  // namespace terminal_test
