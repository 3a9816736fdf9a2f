// Netscape bookmark files: the reader and the writer.
#pragma once

#include <string>
#include <string_view>

#include "model/bookmark_tree.h"

// Adds the links of the bookmark file at `path` to the tree under `root`.
// A file that cannot be opened adds nothing.
void ReadBookmarkFile(std::u16string_view path, BookmarkFolder& root);

// The reader's work on a file already in memory: adds the links found in
// `content` (UTF-8 bytes; scanning stops at the first zero byte).
void ScanBookmarkContent(std::string_view content, BookmarkFolder& root);

// Writes the whole tree as a bookmark file, replacing `path` only once the
// new content is safely on disk. False on failure, with `reason`, and the
// file at `path` untouched.
bool WriteBookmarkFile(std::u16string_view path, const BookmarkFolder& root, std::u16string* reason = nullptr);

// The exact bytes WriteBookmarkFile puts on disk for the tree.
std::string BookmarkFileBytes(const BookmarkFolder& root);

// The body text of a folder (its heading unless top level, sub-folders,
// links, closing line) and the line of one link.
std::u16string FormatFolder(const BookmarkFolder& folder, bool topLevel);
std::u16string FormatLink(const BookmarkLink& link);
