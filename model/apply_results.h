// Carrying out the check verdicts on the tree before it is saved.
#pragma once

#include <string>

#include "model/bookmark_tree.h"

// Appends a new "Deleted Bookmarks" folder to the root (on every run), moves
// every link marked Delete into it (status reset to Unchecked), and cuts every
// link marked Fix back to its site root.
void ApplyResults(BookmarkFolder& root);

// Cuts a URL at the first '/' after "://" (or after its start when it has no
// "://"); a URL without such a '/' is left unchanged.
void FixUrl(std::u16string& url);
