#include "stores/locate_stores.h"

#include <vector>

#include "model/app_state.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/known_folders.h"

void LocateFavorites() {
  std::u16string value;
  registry::QueryCurrentUserValue(u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                  u"Favorites", value);
  // No key or no value leaves the folder unknown (empty): there is no other source.
  favoritesFolder = registry::ExpandEnvironmentStrings(value);
}

void LocateFirefoxBookmarks() {
  for (const std::u16string& profiles : special_folders::FirefoxProfileFolders()) {
    std::vector<files::DirEntry> entries;
    if (!files::ListDirectory(profiles, entries)) continue;
    // Only the first profile whose name holds "default" counts, file or folder
    // alike, matched as the system's "*default*" pattern matches it.
    const files::DirEntry* profile = nullptr;
    for (const files::DirEntry& entry : entries) {
      if (files::UpperCaseName(entry.name).find(u"DEFAULT") != std::u16string::npos) {
        profile = &entry;
        break;
      }
    }
    if (!profile) continue;
    const std::u16string folder = files::JoinPath(profiles, profile->name);
    std::u16string candidate = files::MatchExistingCase(files::JoinPath(folder, u"BOOKMARKS.HTML"));
    if (files::CanOpenForReading(candidate)) {
      firefoxBookmarkFile = candidate;
      return;
    }
    // A profile of today has no bookmark file (Firefox writes one only when
    // asked to): its bookmarks are in its places database.
    candidate = files::JoinPath(folder, u"places.sqlite");
    if (files::CanOpenForReading(candidate)) {
      firefoxBookmarkFile = candidate;
      return;
    }
  }
}
