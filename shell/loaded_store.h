// Which browser store the tree was loaded from, so that saving can write it
// back in that store's own format.
#pragma once

#include <string>
#include <string_view>

#include "model/bookmark_tree.h"

enum class LoadedStoreKind {
  Other,          // favorites or a bookmark file: written as the Parts say
  FirefoxPlaces,  // Firefox's places database
  ChromiumFile,   // a Chromium browser's Bookmarks file
};

struct LoadedStore {
  LoadedStoreKind kind = LoadedStoreKind::Other;
  std::u16string path;
  std::string digest;  // a Bookmarks file: MD5 of the bytes read, to tell a later change
};

extern LoadedStore loadedStore;

// Loads the source at `path` into the tree, recognising each kind of file by
// its content: Firefox's places database, a Chromium Bookmarks file, or a
// bookmark file in the Netscape format; a folder is walked as favorites.
// False when a browser store could not be read: the person has been told,
// and the wizard ends.
bool LoadSource(BookmarkTree& tree, std::u16string_view path);
