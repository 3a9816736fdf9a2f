#include "model/bookmark_tree.h"

#include "platform/text.h"

namespace {

// Below this many sub-folders a plain scan is cheaper than keeping an index.
constexpr std::size_t kIndexFrom = 12;

std::u16string FoldedName(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key) c = text::AsciiLower(c);
  return key;
}

BookmarkFolder* FirstMatchByScan(BookmarkFolder& parent, std::u16string_view name) {
  for (BookmarkFolder& sub : parent.folders)
    if (text::EqualsAsciiNoCase(sub.name, name)) return &sub;
  return nullptr;
}

// Brings the index up to date with folders appended since it was last used.
// A sequence that has shrunk since (something removed folders) starts afresh.
void CatchUp(BookmarkFolder& parent) {
  SubfolderIndex& index = parent.subfolderIndex;
  if (index.covered > parent.folders.size()) {
    index.firstByName.clear();
    index.covered = 0;
  }
  for (; index.covered < parent.folders.size(); ++index.covered)
    index.firstByName.try_emplace(FoldedName(parent.folders[index.covered].name), index.covered);
}

BookmarkFolder* FirstMatchByIndex(BookmarkFolder& parent, std::u16string_view name, const std::u16string& key) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    CatchUp(parent);
    auto found = parent.subfolderIndex.firstByName.find(key);
    if (found == parent.subfolderIndex.firstByName.end()) return nullptr;
    std::size_t at = found->second;
    if (at < parent.folders.size() && text::EqualsAsciiNoCase(parent.folders[at].name, name))
      return &parent.folders[at];
    // A folder was renamed or replaced behind the index's back: rebuild it.
    parent.subfolderIndex.firstByName.clear();
    parent.subfolderIndex.covered = 0;
  }
  return FirstMatchByScan(parent, name);
}

}  // namespace

BookmarkFolder& FindOrCreateSubfolder(BookmarkFolder& parent, std::u16string_view name) {
  if (parent.folders.size() < kIndexFrom) {
    if (BookmarkFolder* match = FirstMatchByScan(parent, name)) return *match;
  } else {
    std::u16string key = FoldedName(name);
    if (BookmarkFolder* match = FirstMatchByIndex(parent, name, key)) return *match;
  }
  parent.folders.emplace_back();
  parent.folders.back().name.assign(name);
  return parent.folders.back();
}

BookmarkFolder& FindOrCreateFolder(BookmarkFolder& start, BookmarkLink& link) {
  std::u16string_view rest = link.folderPath;
  BookmarkFolder* folder = &start;
  // A lone "\" or "." names the folder reached so far; "." inside a longer
  // path is an ordinary folder name.
  while (!rest.empty() && rest != u"\\" && rest != u".") {
    std::size_t begin = rest.find_first_not_of(u'\\');
    if (begin == std::u16string_view::npos) break;
    rest.remove_prefix(begin);
    std::size_t end = rest.find(u'\\');
    if (end == std::u16string_view::npos) end = rest.size();
    folder = &FindOrCreateSubfolder(*folder, rest.substr(0, end));
    rest.remove_prefix(end);
    std::size_t next = rest.find_first_not_of(u'\\');
    rest.remove_prefix(next == std::u16string_view::npos ? rest.size() : next);
  }
  std::u16string().swap(link.folderPath);  // consumed
  return *folder;
}
