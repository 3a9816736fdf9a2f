#include "updater/update_window.h"

#include "updater/update_controls.h"
#include "updater/update_state.h"

std::intptr_t UpdateWindowProc(ui::Window window, unsigned message, ui::WParam wParam, ui::LParam lParam) {
  switch (message) {
    case ui::WM_INITDIALOG:
      return 1;
    case ui::WM_CLOSE:
      // The run carries on without its window: progress stops being shown
      // and the completion still reaches the run's thread.
      if (updateWindow.load() == window) updateWindow.store(nullptr);
      ui::DestroyWindow(window);
      return 1;
    case ui::WM_COMMAND: {
      // Enter and Escape must not end the window while files are replaced.
      int id = int(wParam & 0xFFFF);
      return id == ui::IDOK || id == ui::IDCANCEL;
    }
    case WM_UPDATE_TRAY:
      if (lParam == ui::WM_LBUTTONDOWN || lParam == ui::NIN_BALLOONUSERCLICK) ui::ShowWindow(window, ui::SW_SHOW);
      return 1;
    default:
      return 0;
  }
}

ui::Icon UpdaterIcon() {
  static ui::Icon icon = nullptr;
  if (!icon) icon = ui::LoadIcon("ICON_1");
  if (!icon) icon = ui::LoadStandardIcon(ui::IDI_INFORMATION);
  return icon;
}
