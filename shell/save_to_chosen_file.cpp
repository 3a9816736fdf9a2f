#include "model/app_state.h"
#include "shell/file_dialogs.h"
#include "shell/save_branches.h"
#include "shell/save_to_browser_store.h"
#include "shell/wizard_message.h"
#include "shell/wizard_texts.h"
#include "stores/bookmark_file.h"

void SaveToChosenFile() {
  std::u16string path;
  if (!AskBookmarkFileToSave(path)) return;
  // Over the Chromium file it came from, the tree goes back in that file's
  // own format; any other name gets a bookmark file.
  if (SavesOverLoadedChromiumFile(path)) {
    SaveOverChromiumFile(path);
    return;
  }
  // The name is used as typed: no extension is added.
  std::u16string reason;
  if (!WriteBookmarkFile(path, bookmarkTree, &reason)) {
    ShowSaveFailure(wizard_texts::kSaveFailed, path, reason);
    return;
  }
  ShowWizardMessage(wizard_texts::kSaveCompleted, ui::MB_OK | ui::MB_ICONINFORMATION);
}
