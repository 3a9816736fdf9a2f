#include "shell/store_choice.h"

#include "model/app_state.h"

void InitStoreChoice(ui::Window dialog, int choice) {
  ui::CheckRadioButton(dialog, kChoiceInternetExplorer, kChoiceBookmarkFile, 200 + choice);
  if (firefoxBookmarkFile.empty()) ui::EnableWindow(ui::GetDlgItem(dialog, kChoiceFirefox), false);
}

int SelectedStoreChoice(ui::Window dialog) {
  for (int id = kChoiceInternetExplorer; id <= kChoiceBookmarkFile; ++id) {
    if (ui::IsDlgButtonChecked(dialog, id) == ui::BST_CHECKED) return id - 200;
  }
  return 0;
}
