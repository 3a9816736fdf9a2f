#include "platform/digest.h"
#include "platform/files.h"
#include "platform/snapshot_files.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "shell/browser_store_texts.h"
#include "shell/load_bookmarks.h"
#include "shell/loaded_store.h"
#include "shell/wizard_message.h"
#include "stores/chromium_bookmarks.h"
#include "stores/places.h"

LoadedStore loadedStore;

namespace {

bool ReadFailed(std::u16string_view path, const std::u16string& problem) {
  ShowWizardMessage(text::Format(browser_store_texts::kReadFailed, path, problem), ui::MB_OK | ui::MB_ICONERROR);
  return false;
}

}  // namespace

bool LoadSource(BookmarkTree& tree, std::u16string_view path) {
  loadedStore = LoadedStore{};
  if (path.empty() || !files::CanOpenForReading(path)) {
    LoadBookmarks(tree, path);
    return true;
  }
  std::u16string problem;
  if (IsPlacesStore(path)) {
    if (!ReadPlaces(path, tree, &problem)) return ReadFailed(path, problem);
    loadedStore = LoadedStore{LoadedStoreKind::FirefoxPlaces, std::u16string(path), {}};
    return true;
  }
  std::string start;
  if (files::ReadFileStart(path, 4096, start) && LooksLikeJsonDocument(start)) {
    std::string bytes;
    if (!files::ReadWholeFile(path, bytes)) return ReadFailed(path, files::LastErrorText());
    if (!ReadChromiumBookmarks(bytes, tree, &problem)) return ReadFailed(path, problem);
    loadedStore = LoadedStore{LoadedStoreKind::ChromiumFile, std::u16string(path), digest::Md5Hex(bytes)};
    return true;
  }
  LoadBookmarks(tree, path);
  return true;
}
