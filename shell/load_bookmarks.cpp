#include "shell/load_bookmarks.h"

#include "platform/files.h"
#include "stores/bookmark_file.h"
#include "stores/favorites.h"

void LoadBookmarks(BookmarkTree& tree, std::u16string_view path) {
  // No store was found: walking "" must not end up reading whatever folder
  // the process happens to be in.
  if (path.empty()) return;
  if (files::CanOpenForReading(path)) {
    ReadBookmarkFile(path, tree);
    return;
  }
  // Each shortcut's folder path is what follows this prefix.
  WalkFolder(path, nullptr, tree, path.size(), ReadUrlFile);
}
