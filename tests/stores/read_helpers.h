// Reading bookmark file text in tests and describing the tree that results.
#pragma once

#include <string>
#include <string_view>

#include "model/bookmark_tree.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"

// One line per folder and link, indented by depth:
//   [name]            a folder
//   title <url>       a link
inline void DescribeInto(const BookmarkFolder& folder, int depth, std::string& out) {
  std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
  for (const BookmarkFolder& sub : folder.folders) {
    out += indent + "[" + text::Utf16ToUtf8(sub.name) + "]\n";
    DescribeInto(sub, depth + 1, out);
  }
  for (const BookmarkLink& link : folder.links)
    out += indent + text::Utf16ToUtf8(link.title) + " <" + text::Utf16ToUtf8(link.url) + ">\n";
}

inline std::string Describe(const BookmarkFolder& root) {
  std::string out;
  DescribeInto(root, 0, out);
  return out;
}

inline std::string ScanAndDescribe(std::string_view content) {
  BookmarkFolder root;
  ScanBookmarkContent(content, root);
  return Describe(root);
}
