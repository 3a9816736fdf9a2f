#include "model/app_state.h"
#include "platform/files.h"
#include "platform/text.h"
#include "shell/backup_name.h"
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
  // A file the person agreed to replace is kept first, under a name that no
  // earlier backup has, and without that copy it is not replaced. (A folder
  // of that name is never replaced: the write reports it.)
  std::u16string backup;
  const std::uint32_t attributes = files::GetFileAttributes(path);
  if (attributes != files::kInvalidAttributes && !(attributes & files::kAttributeDirectory)) {
    backup = FindFreeBackupName(path);
    if (!files::CopyFile(path, backup, &reason)) {
      ShowSaveFailure(wizard_texts::kBackupFailed, backup, reason);
      return;
    }
  }
  if (!WriteBookmarkFile(path, bookmarkTree, &reason)) {
    ShowSaveFailure(wizard_texts::kSaveFailed, path, reason);
    return;
  }
  if (backup.empty()) {
    ShowWizardMessage(wizard_texts::kSaveCompleted, ui::MB_OK | ui::MB_ICONINFORMATION);
  } else {
    ShowWizardMessage(text::Format(wizard_texts::kSaveCompletedWithBackup, backup),
                      ui::MB_OK | ui::MB_ICONINFORMATION);
  }
}
