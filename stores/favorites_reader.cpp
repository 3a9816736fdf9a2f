#include <algorithm>
#include <memory>

#include "platform/profile.h"
#include "stores/favorites.h"

namespace {

// Folder names on disk are the characters themselves: the folders a link's
// path runs through are marked as plain text, for a bookmark file to escape.
void MarkPlain(BookmarkFolder& root, std::u16string_view path) {
  static const std::shared_ptr<const StoredItem> plain = [] {
    auto item = std::make_shared<StoredItem>();
    item->form = TextForm::Plain;
    return std::shared_ptr<const StoredItem>(std::move(item));
  }();
  BookmarkFolder* folder = &root;
  while (!path.empty()) {
    std::size_t end = path.find(u'\\');
    std::u16string_view name = path.substr(0, end);
    path.remove_prefix(end == std::u16string_view::npos ? path.size() : end + 1);
    if (name.empty()) continue;
    folder = &FindOrCreateSubfolder(*folder, name);
    if (!folder->stored) folder->stored = plain;
  }
}

}  // namespace

void ReadUrlFile(std::u16string_view directory, const files::DirEntry& entry, BookmarkFolder& root,
                 std::size_t rootPathLength) {
  std::u16string fullPath = files::JoinPath(directory, entry.name);

  // The title ends at the last dot of the path, even when that dot is in a
  // folder name (a file without extension in folder "a.b" is titled "a"). A
  // dot in the favorites path itself (a home folder such as "john.smith" or
  // ".wine") is not part of any link, so the cut never reaches back into it.
  std::u16string relative = fullPath;
  std::size_t dot = relative.rfind(u'.');
  if (dot != std::u16string::npos && dot >= std::min(rootPathLength, relative.size())) relative.resize(dot);
  std::size_t lastSeparator = relative.rfind(files::kSeparator);
  std::u16string title = lastSeparator == std::u16string::npos ? relative : relative.substr(lastSeparator + 1);

  std::u16string url = profile::GetPrivateProfileString(u"InternetShortcut", u"URL", u"", fullPath);
  if (url.empty()) return;

  BookmarkLink link;
  link.url = std::move(url);
  link.title = std::move(title);
  link.status = Unchecked;
  // The whole file goes along with the link, so that writing it back keeps
  // its icon, dates and whatever else it holds.
  auto stored = std::make_shared<StoredItem>();
  stored->form = TextForm::Plain;
  std::string bytes;
  if (files::ReadWholeFile(fullPath, bytes)) stored->Details().shortcut = std::move(bytes);
  link.stored = std::move(stored);

  relative.erase(0, std::min(rootPathLength, relative.size()));
  std::size_t start = relative.find_first_not_of(files::kSeparator);
  relative.erase(0, start == std::u16string::npos ? relative.size() : start);
  lastSeparator = relative.rfind(files::kSeparator);
  if (lastSeparator == std::u16string::npos) {
    root.links.push_back(std::move(link));
    return;
  }
  // The tree's folder paths always join names with a backslash, whatever the
  // file system's separator.
  relative.resize(lastSeparator + 1);
  std::replace(relative.begin(), relative.end(), files::kSeparator, u'\\');
  link.folderPath = relative;
  BookmarkFolder& folder = FindOrCreateFolder(root, link);
  folder.links.push_back(std::move(link));
  MarkPlain(root, relative);
}
