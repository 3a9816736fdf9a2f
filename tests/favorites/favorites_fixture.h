// Helpers shared by the favorites tests: shortcut files on disk and trees as text.
#pragma once

#include <string>

#include "model/bookmark_tree.h"
#include "platform/text.h"
#include "stores/favorites.h"
#include "support/temp_dir.h"

// A shortcut file's usual content.
inline std::string Shortcut(const std::string& url) { return "[InternetShortcut]\r\nURL=" + url + "\r\n"; }

// Creates every folder of `relative` below `root` and writes the file.
void PutFile(const std::string& root, const std::string& relative, const std::string& bytes);

// The tree as one line per folder ("+path") and link ("path|title|url"),
// depth first, each folder's sub-folders before its links.
std::string Dump(const BookmarkFolder& folder, const std::string& path = "");

// Reads the favorites folder as the wizard does.
BookmarkTree ReadFavorites(std::u16string_view path);

inline BookmarkLink Link(std::u16string title, std::u16string url, LinkStatus status = Unchecked) {
  BookmarkLink link;
  link.title = std::move(title);
  link.url = std::move(url);
  link.status = status;
  return link;
}

inline std::string U8(std::u16string_view s) { return text::Utf16ToUtf8(s); }
