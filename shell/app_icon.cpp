#include "shell/app_icon.h"

#include "model/app_state.h"

void InstallAppIcon(ui::Window dialog) {
  ui::SetClassIcon(dialog, ui::GCL_HICONSM, appIcon);
  ui::SetClassIcon(dialog, ui::GCL_HICON, appIcon);
}
