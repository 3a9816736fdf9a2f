#include "platform/files.h"
#include "shell/choice_dialogs.h"
#include "updater/check_program_update.h"

namespace {

// The run's result when the new copy needs the program to close.
constexpr int kUpdateNeedsExit = 99;

}  // namespace

void CheckForUpdates(ui::Window dialog) {
  // The previous copy and a downloaded copy that an earlier update may have
  // left beside the executable; either may be missing.
  // Without the executable's own path these names would be taken relative to
  // the current folder, where they belong to someone else.
  const std::u16string executable = files::GetModuleFileName();
  if (!executable.empty()) {
    files::DeleteFile(executable + u".old");
    files::DeleteFile(executable + u".new");
  }

  if (CheckProgramUpdate(u"LNT", u"{7C2E19D4-5B8A-4F36-A1C0-93D5E7B24F18}") == kUpdateNeedsExit) {
    // Closing the source dialog cancels it, which ends the wizard.
    ui::SendMessage(dialog, ui::WM_CLOSE, 0, 0);
  }
}
