#include "model/app_state.h"
#include "platform/files.h"
#include "platform/text.h"
#include "shell/backup_name.h"
#include "shell/save_branches.h"
#include "shell/save_to_browser_store.h"
#include "shell/wizard_message.h"
#include "shell/wizard_texts.h"
#include "stores/bookmark_file.h"
#include "stores/places.h"

void SaveToFirefox() {
  // The choice is greyed out without a Firefox file; this only keeps an
  // empty path from ever being written.
  if (firefoxBookmarkFile.empty()) {
    ShowWizardMessage(wizard_texts::kNoFirefoxFile, ui::MB_OK | ui::MB_ICONERROR);
    return;
  }
  // A profile without a bookmark file keeps its bookmarks in its database.
  if (IsPlacesStore(firefoxBookmarkFile)) {
    SaveToFirefoxPlaces();
    return;
  }
  // Earlier backups are never overwritten, and without a backup the
  // person's bookmarks are not replaced.
  const std::u16string backup = FindFreeBackupName(firefoxBookmarkFile);
  std::u16string reason;
  if (!files::CopyFile(firefoxBookmarkFile, backup, &reason)) {
    ShowSaveFailure(wizard_texts::kBackupFailed, backup, reason);
    return;
  }
  if (!WriteBookmarkFile(firefoxBookmarkFile, bookmarkTree, &reason)) {
    ShowSaveFailure(wizard_texts::kSaveFailed, firefoxBookmarkFile, reason);
    return;
  }
  ShowWizardMessage(text::Format(wizard_texts::kFirefoxSaved, backup), ui::MB_OK | ui::MB_ICONINFORMATION);
}
