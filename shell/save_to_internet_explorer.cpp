#include "model/app_state.h"
#include "platform/files.h"
#include "platform/text.h"
#include "shell/backup_name.h"
#include "shell/load_bookmarks.h"
#include "shell/save_branches.h"
#include "shell/wizard_message.h"
#include "shell/wizard_texts.h"
#include "stores/bookmark_file.h"
#include "stores/favorites.h"
#include "stores/shortcut_copy.h"

void SaveToInternetExplorer() {
  // With no favorites folder there is nowhere sound to write: an empty path
  // would put the shortcuts relative to wherever the program runs.
  if (favoritesFolder.empty()) {
    ShowWizardMessage(wizard_texts::kNoFavoritesFolder, ui::MB_OK | ui::MB_ICONERROR);
    return;
  }

  // The backup is the favorites as they stand on disk, read afresh into a
  // tree of its own; it lies in the start-up folder, not among the favorites.
  const std::u16string backup = FindFreeBackupName(files::JoinPath(startupDirectory, u"iebackup.htm"));
  std::u16string reason;
  {
    BookmarkTree current;
    LoadBookmarks(current, favoritesFolder);
    if (!WriteBookmarkFile(backup, current, &reason)) {
      ShowSaveFailure(wizard_texts::kBackupFailed, backup, reason);
      return;
    }
  }
  // The bookmark file cannot hold everything a shortcut file does, so the
  // files themselves are copied too, before any of them is deleted.
  const std::u16string copy = FindFreeBackupName(files::JoinPath(startupDirectory, u"iebackup-shortcuts"));
  if (!CopyUrlFiles(favoritesFolder, copy, &reason)) {
    files::DeleteFile(backup);  // written a moment ago under a free name: nothing of the person's
    ShowSaveFailure(wizard_texts::kBackupFailed, copy, reason);
    return;
  }
  ShowWizardMessage(text::Format(wizard_texts::kFavoritesBackupNote, backup, copy),
                    ui::MB_OK | ui::MB_ICONINFORMATION);

  if (!WriteFavorites(favoritesFolder, bookmarkTree, &reason)) {
    const std::u16string_view shownReason = reason.empty() ? wizard_texts::kUnknownReason : std::u16string_view(reason);
    ShowWizardMessage(text::Format(wizard_texts::kFavoritesSaveFailed, favoritesFolder, shownReason, backup, copy),
                      ui::MB_OK | ui::MB_ICONERROR);
    return;
  }
  ShowWizardMessage(wizard_texts::kSaveCompleted, ui::MB_OK | ui::MB_ICONINFORMATION);
}
