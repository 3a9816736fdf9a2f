#include "shell/wizard.h"

#include "checker/checking_dialog.h"
#include "checker/review_dialog.h"
#include "model/app_state.h"
#include "model/apply_results.h"
#include "platform/http.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "shell/choice_dialogs.h"
#include "shell/file_dialogs.h"
#include "shell/load_bookmarks.h"
#include "shell/loaded_store.h"
#include "shell/save_branches.h"
#include "shell/wizard_message.h"
#include "shell/wizard_texts.h"

namespace {

// Asks for the source and loads it. False when the person cancelled.
bool ChooseAndLoadSource(BookmarkSource& source) {
  const std::intptr_t chosen = ui::DialogBoxParam("DIALOG_1", nullptr, SourceDialog, 0);
  switch (chosen) {
    case kSourceInternetExplorer:
      LoadBookmarks(bookmarkTree, favoritesFolder);
      break;
    case kSourceFirefox:
      if (!LoadSource(bookmarkTree, firefoxBookmarkFile)) return false;
      break;
    case kSourceBookmarkFile: {
      // The open dialog starts where the program was started.
      std::u16string path;
      if (!AskBookmarkFileToOpen(startupDirectory, path)) return false;
      if (!LoadSource(bookmarkTree, path)) return false;
      break;
    }
    default:
      return false;  // cancelled (or the dialog could not be shown)
  }
  source = static_cast<BookmarkSource>(chosen);
  return true;
}

// Asks for the policy into actionFlags. False when cancelled.
bool ChooseActions() {
  const std::intptr_t chosen = ui::DialogBoxParam("DIALOG_2", nullptr, ActionsDialog, 0);
  if (chosen <= 0) return false;
  actionFlags = static_cast<ActionFlags>(chosen);
  return true;
}

bool ConfirmCheck(std::uint32_t linkCount) {
  const std::u16string text = text::Format(wizard_texts::kConfirmCheck, static_cast<unsigned>(linkCount));
  return ShowWizardMessage(text, ui::MB_OKCANCEL) == ui::IDOK;
}

// Runs the check. False when it was cancelled and the person does not want
// to go on with what has been found so far.
bool RunCheck() {
  // checkQueueLock is ready from its construction and lives until the
  // process ends, so it needs no explicit set-up or tear-down here.
  const std::intptr_t completed = ui::DialogBoxParam("DIALOG_3", nullptr, CheckingDialog, 0);
  if (completed == 1) return true;
  return ShowWizardMessage(wizard_texts::kProceedAfterCancel, ui::MB_YESNO) == ui::IDYES;
}

void Save(SaveTarget target) {
  switch (target) {
    case kSourceBookmarkFile:
      SaveToChosenFile();
      break;
    case kSourceFirefox:
      SaveToFirefox();
      break;
    case kSourceInternetExplorer:
      SaveToInternetExplorer();
      break;
  }
}

// The wizard's steps in their order; each return ends the run.
void RunSequence() {
  BookmarkSource source = kSourceCancelled;
  if (!ChooseAndLoadSource(source)) return;
  if (!ChooseActions()) return;

  const std::uint32_t linkCount = CollectLinks(bookmarkTree, checkQueue);
  if (!ConfirmCheck(linkCount)) return;

  if (!http::InternetAttemptConnect()) {
    NoteRunFailed();
    ShowWizardMessage(wizard_texts::kNotConnected, ui::MB_OK);
    return;
  }

  if (!RunCheck()) return;

  // The review dialog ends the process itself when no problem link is left.
  ui::DialogBoxParam("DIALOG_4", nullptr, ReviewDialog, 0);
  ApplyResults(bookmarkTree);

  const std::intptr_t target = ui::DialogBoxParam("DIALOG_5", nullptr, SaveTargetDialog, source);
  Save(static_cast<SaveTarget>(target));
}

}  // namespace

int RunWizard() {
  RunSequence();
  return RunFailed() ? kExitRunFailed : kExitRunEnded;
}
