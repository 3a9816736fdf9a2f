// The Chromium browsers' bookmark file ("Bookmarks" in the profile folder of
// Chrome, Chromium, Brave, Edge, Vivaldi...): a JSON document.
#pragma once

#include <string>
#include <string_view>

#include "model/bookmark_tree.h"

// True when the bytes are a JSON document rather than a bookmark file in
// the Netscape format: the first byte that is not blank opens an object.
bool LooksLikeJsonDocument(std::string_view bytes);

// Reads the roots of the document (bookmark bar, other, synced) as folders
// under `root`, with their folders and links in order. False, with
// `problem`, when the bytes are not a bookmark file of this kind that this
// program can read; the tree is then left as it was.
bool ReadChromiumBookmarks(std::string_view bytes, BookmarkFolder& root, std::u16string* problem);

// The document `original` (the bytes the tree was read from) with the
// repairs in `root` made: fixed links get their new address, and links moved
// into a folder the program added go into a new folder at the end of "Other
// bookmarks". Every other member of every node stays as it was, and the
// checksum is worked out again. False, with `problem`, when the tree was not
// read from this document.
bool ChromiumBookmarksBytes(std::string_view original, const BookmarkFolder& root, std::string& bytes,
                            std::u16string* problem);
