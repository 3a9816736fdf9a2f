#include "model/app_state.h"
#include "shell/app_icon.h"
#include "shell/choice_dialogs.h"
#include "shell/store_choice.h"
#include "shell/wizard_texts.h"

std::intptr_t SaveTargetDialog(ui::Window dialog, unsigned message, ui::WParam wParam, ui::LParam lParam) {
  if (message == ui::WM_INITDIALOG) {
    InstallAppIcon(dialog);
    // The results go back where they came from unless the person says otherwise.
    InitStoreChoice(dialog, static_cast<int>(lParam));
    return 0;
  }
  if (message != ui::WM_COMMAND) return 0;
  switch (static_cast<int>(wParam & 0xFFFF)) {
    case ui::IDOK: {
      const int choice = SelectedStoreChoice(dialog);
      if (choice != 0) ui::EndDialog(dialog, choice);
      break;
    }
    case ui::IDCANCEL: {
      // Cancelling here throws away a whole check, so it is asked first, and
      // a stray Enter keeps the dialog open.
      const int answer = ui::MessageBox(dialog, wizard_texts::kConfirmCancel, wizard_texts::kCaption,
                                        ui::MB_YESNO | ui::MB_DEFBUTTON2 | ui::MB_ICONQUESTION);
      if (answer == ui::IDYES) ui::EndDialog(dialog, kSourceCancelled);
      break;
    }
  }
  return 0;
}
