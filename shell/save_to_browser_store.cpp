#include "shell/save_to_browser_store.h"

#include "model/app_state.h"
#include "platform/browser_profiles.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "shell/backup_name.h"
#include "shell/browser_store_texts.h"
#include "shell/loaded_store.h"
#include "shell/wizard_message.h"
#include "shell/wizard_texts.h"
#include "stores/chromium_bookmarks.h"
#include "stores/places.h"

namespace {

std::u16string FolderOf(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(files::kSeparator);
  return std::u16string(slash == std::u16string_view::npos ? std::u16string_view(u".") : path.substr(0, slash));
}

bool SameFile(std::u16string_view a, std::u16string_view b) {
  files::FileIdentity first, second;
  return files::GetFileIdentity(a, first) && files::GetFileIdentity(b, second) && first == second;
}

// Asks the person to close the browser. True when they say they have.
bool AskToCloseBrowser(std::u16string_view format, std::u16string_view where) {
  if (ShowWizardMessage(text::Format(format, where), ui::MB_OKCANCEL | ui::MB_ICONERROR) == ui::IDOK) return true;
  ShowWizardMessage(browser_store_texts::kLeftAsTheyWere, ui::MB_OK | ui::MB_ICONINFORMATION);
  return false;
}

}  // namespace

void SaveToFirefoxPlaces() {
  const std::u16string& path = firefoxBookmarkFile;
  const std::u16string profile = FolderOf(path);
  // Every places database numbers its roots alike, so only the tree read
  // from this very file may be written into it.
  if (loadedStore.kind != LoadedStoreKind::FirefoxPlaces || !SameFile(loadedStore.path, path)) {
    ShowSaveFailure(browser_store_texts::kSaveFailed, path, std::u16string(browser_store_texts::kNotFromFirefox));
    return;
  }
  for (;;) {
    if (browser_profiles::FirefoxProfileInUse(profile)) {
      if (!AskToCloseBrowser(browser_store_texts::kFirefoxRunning, profile)) return;
      continue;
    }
    // Earlier backups are never overwritten, and without a backup nothing
    // is written.
    const std::u16string backup = FindFreeBackupName(path);
    std::u16string problem;
    switch (SavePlaces(path, bookmarkTree, backup, &problem)) {
      case PlacesSaveResult::Saved:
        ShowWizardMessage(text::Format(wizard_texts::kFirefoxSaved, backup), ui::MB_OK | ui::MB_ICONINFORMATION);
        return;
      case PlacesSaveResult::BackupFailed:
        ShowSaveFailure(wizard_texts::kBackupFailed, backup, problem);
        return;
      case PlacesSaveResult::Busy:
        // Firefox may have been started after the lock was looked at.
        if (!AskToCloseBrowser(browser_store_texts::kFirefoxRunning, profile)) return;
        continue;
      case PlacesSaveResult::Failed:
        ShowSaveFailure(browser_store_texts::kSaveFailed, path, problem);
        return;
    }
  }
}

bool SavesOverLoadedChromiumFile(std::u16string_view path) {
  if (loadedStore.kind != LoadedStoreKind::ChromiumFile) return false;
  return SameFile(path, loadedStore.path);
}

void SaveOverChromiumFile(std::u16string_view path) {
  while (browser_profiles::ChromiumProfileInUse(path)) {
    if (!AskToCloseBrowser(browser_store_texts::kChromiumRunning, path)) return;
  }
  std::string original;
  if (!files::ReadWholeFile(path, original)) {
    ShowSaveFailure(browser_store_texts::kSaveFailed, path, files::LastErrorText());
    return;
  }
  // The browser rewrites its file whenever its bookmarks change; what it
  // wrote since the load is not overwritten.
  if (digest::Md5Hex(original) != loadedStore.digest) {
    ShowWizardMessage(text::Format(browser_store_texts::kChromiumChanged, path), ui::MB_OK | ui::MB_ICONERROR);
    return;
  }
  std::string repaired;
  std::u16string problem;
  if (!ChromiumBookmarksBytes(original, bookmarkTree, repaired, &problem)) {
    ShowSaveFailure(browser_store_texts::kSaveFailed, path, problem);
    return;
  }
  const std::u16string backup = FindFreeBackupName(path);
  if (!files::WriteFileReplacing(backup, original, &problem)) {
    ShowSaveFailure(wizard_texts::kBackupFailed, backup, problem);
    return;
  }
  if (!files::WriteFileReplacing(path, repaired, &problem)) {
    ShowSaveFailure(wizard_texts::kSaveFailed, path, problem);
    return;
  }
  ShowWizardMessage(text::Format(browser_store_texts::kChromiumSaved, backup), ui::MB_OK | ui::MB_ICONINFORMATION);
}
