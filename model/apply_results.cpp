#include "model/apply_results.h"

#include <algorithm>

static void ApplyStep(BookmarkFolder& folder, BookmarkFolder& deleted) {
  for (BookmarkFolder& sub : folder.folders) ApplyStep(sub, deleted);
  if (&folder == &deleted) return;  // everything in it is Unchecked by now
  // Move the deleted links in one pass, keeping the order of those that stay.
  auto keep = folder.links.begin();
  for (auto it = folder.links.begin(); it != folder.links.end(); ++it) {
    if (it->status == Delete) {
      it->status = Unchecked;
      // Among the deleted links it has no place from its store: they keep
      // the order in which they were met.
      it->order = 0;
      deleted.links.push_back(std::move(*it));
      continue;
    }
    if (it->status == Fix) FixUrl(it->url);
    if (keep != it) *keep = std::move(*it);
    ++keep;
  }
  folder.links.erase(keep, folder.links.end());
}

void ApplyResults(BookmarkFolder& root) {
  root.folders.emplace_back();
  root.folders.back().name = u"Deleted Bookmarks";
  // The root's sub-folders do not change from here on, so this stays valid.
  BookmarkFolder& deleted = root.folders.back();
  ApplyStep(root, deleted);
}

void FixUrl(std::u16string& url) {
  std::size_t start = url.find(u"://");
  start = start == std::u16string::npos ? 0 : start + 3;
  std::size_t slash = url.find(u'/', start);
  if (slash != std::u16string::npos) url.resize(slash);
}
