// The program's entry point. It takes no arguments: every choice is made in
// the wizard's dialogs.
#include "platform/ui.h"
#include "shell/start_up.h"
#include "shell/wizard.h"

int main() {
  if (!ui::StartFrontEnd()) return 1;
  StartUp();
  const int code = RunWizard();
  // Through the front end, so the screen is restored and the transcript
  // records how the run ended, as on every other way out.
  ui::ExitProcess(code);
}
