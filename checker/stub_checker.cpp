// Placeholder until the checker lands: delete this file then.
#include "checker/check_worker.h"
#include "checker/checking_dialog.h"
#include "checker/review_dialog.h"

void CheckWorker(void*) {}
std::intptr_t CheckingDialog(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) ui::EndDialog(dialog, 0);
  return 0;
}
std::intptr_t ReviewDialog(ui::Window dialog, unsigned message, ui::WParam, ui::LParam) {
  if (message == ui::WM_INITDIALOG) ui::EndDialog(dialog, 0);
  return 0;
}
