#include <algorithm>

#include "platform/profile.h"
#include "stores/favorites.h"

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
  link.folderPath = std::move(relative);
  BookmarkFolder& folder = FindOrCreateFolder(root, link);
  folder.links.push_back(std::move(link));
}
