// Filling the tree from one store, whichever kind the path names.
#pragma once

#include <string>
#include <string_view>

#include "model/bookmark_tree.h"

// A path that opens as a file is read as a bookmark file; anything else is
// walked as a favorites folder. A path that is neither leaves the tree as it was.
void LoadBookmarks(BookmarkTree& tree, std::u16string_view path);
