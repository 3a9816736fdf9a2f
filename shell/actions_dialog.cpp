#include "model/app_state.h"
#include "shell/app_icon.h"
#include "shell/choice_dialogs.h"

namespace {

// The radio button of each pair that turns its flag on.
constexpr int kFix404 = 202;
constexpr int kDelete500 = 302;
constexpr int kDeleteFailure = 402;

}  // namespace

std::intptr_t ActionsDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) {
    InstallAppIcon(dialog);
    ui::CheckRadioButton(dialog, 201, kFix404, kFix404);
    ui::CheckRadioButton(dialog, 301, kDelete500, kDelete500);
    ui::CheckRadioButton(dialog, 401, kDeleteFailure, kDeleteFailure);
    return 0;
  }
  if (message != ui::WM_COMMAND) return 0;
  switch (static_cast<int>(wParam & 0xFFFF)) {
    case ui::IDOK: {
      ActionFlags flags = AF_CHOSEN;
      if (ui::IsDlgButtonChecked(dialog, kFix404) == ui::BST_CHECKED) flags |= AF_FIX_404;
      if (ui::IsDlgButtonChecked(dialog, kDelete500) == ui::BST_CHECKED) flags |= AF_DELETE_500;
      if (ui::IsDlgButtonChecked(dialog, kDeleteFailure) == ui::BST_CHECKED) flags |= AF_DELETE_FAILURE;
      ui::EndDialog(dialog, flags);
      break;
    }
    case ui::IDCANCEL:
      ui::EndDialog(dialog, 0);
      break;
  }
  return 0;
}
