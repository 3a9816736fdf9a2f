#include "model/app_state.h"
#include "shell/app_icon.h"
#include "shell/choice_dialogs.h"
#include "shell/store_choice.h"

namespace {
constexpr int kUpdateButton = 9;
}

std::intptr_t SourceDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    InstallAppIcon(dialog);
    InitStoreChoice(dialog, kSourceInternetExplorer);
    return 0;
  }
  if (message != ui::WM_COMMAND) return 0;
  switch (static_cast<int>(wParam & 0xFFFF)) {
    case ui::IDOK: {
      const int choice = SelectedStoreChoice(dialog);
      if (choice != 0) ui::EndDialog(dialog, choice);
      break;
    }
    case ui::IDCANCEL:
      ui::EndDialog(dialog, kSourceCancelled);
      break;
    case kUpdateButton:
      CheckForUpdates(dialog);
      break;
  }
  return 0;
}
