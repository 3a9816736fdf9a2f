#include <algorithm>
#include <vector>

#include "stores/favorites.h"

namespace {

// `ancestors` holds the folders the walk is inside of: a folder reached again
// through a link to one of them would be walked for ever, so it is passed over.
void WalkInto(std::u16string_view name, const std::u16string* parent, BookmarkFolder& root,
              std::size_t rootPathLength, WalkCallback callback, std::vector<files::FileIdentity>& ancestors) {
  // Passes over "." and ".." (and any name ending in a dot).
  if (name.empty() || name.back() == u'.') return;
  std::u16string path = parent ? files::JoinPath(*parent, name) : std::u16string(name);
  if (files::GetFileAttributes(path) == files::kInvalidAttributes) return;
  std::vector<files::DirEntry> entries;
  if (!files::ListDirectory(path, entries)) return;

  files::FileIdentity identity;
  bool known = files::GetFileIdentity(path, identity);
  if (known) {
    if (std::find(ancestors.begin(), ancestors.end(), identity) != ancestors.end()) return;
    ancestors.push_back(identity);
  }
  for (const files::DirEntry& entry : entries) {
    if (entry.isDirectory)
      WalkInto(entry.name, &path, root, rootPathLength, callback, ancestors);
    else
      callback(path, entry, root, rootPathLength);
  }
  if (known) ancestors.pop_back();
}

}  // namespace

void WalkFolder(std::u16string_view name, const std::u16string* parent, BookmarkFolder& root,
                std::size_t rootPathLength, WalkCallback callback) {
  std::vector<files::FileIdentity> ancestors;
  WalkInto(name, parent, root, rootPathLength, callback, ancestors);
}
