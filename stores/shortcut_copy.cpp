#include "stores/shortcut_copy.h"

#include <algorithm>
#include <set>
#include <vector>

#include "platform/files.h"
#include "platform/text.h"
#include "stores/favorites.h"

namespace {

struct FoundShortcut {
  std::u16string path;
  std::u16string relativeFolder;  // below the favorites folder; empty at its top
  std::u16string name;
};

// WalkFolder's callback has no argument of its own: the list that one walk
// fills is held here while it runs.
thread_local std::vector<FoundShortcut>* found = nullptr;

// Picks the same files as the deletion pass of WriteFavorites.
void NoteUrlFile(std::u16string_view directory, const files::DirEntry& entry, BookmarkFolder&,
                 std::size_t rootPathLength) {
  std::u16string path = files::JoinPath(directory, entry.name);
  if (!text::EndsWithAsciiNoCase(path, u".url")) return;
  std::u16string relative(directory.substr(std::min(rootPathLength, directory.size())));
  relative.erase(0, std::min(relative.find_first_not_of(files::kSeparator), relative.size()));
  found->push_back({std::move(path), std::move(relative), entry.name});
}

// True when `path` lies at or below `folder` (by identity, whatever the spelling).
bool LiesInside(std::u16string_view path, std::u16string_view folder) {
  files::FileIdentity target, here;
  if (!files::GetFileIdentity(folder, target)) return false;
  std::u16string parent(path);
  for (;;) {
    const std::size_t separator = parent.rfind(files::kSeparator);
    if (separator == std::u16string::npos) return false;
    const bool top = parent.find(files::kSeparator) == separator;
    parent.resize(top ? separator + 1 : separator);  // the top keeps its separator ("/", "C:\")
    if (files::GetFileIdentity(parent, here) && here == target) return true;
    if (top) return false;
  }
}

// What the copy has made so far, so that a failed copy leaves nothing behind.
struct Made {
  std::vector<std::u16string> files;
  std::vector<std::u16string> folders;
  std::set<std::u16string> folderSet;

  void Undo() const {
    for (auto it = files.rbegin(); it != files.rend(); ++it) files::DeleteFile(*it);
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) files::RemoveDirectory(*it);
  }
};

// Makes copyFolder/relative level by level. False with `reason` on failure.
bool MakeFolders(std::u16string_view copyFolder, std::u16string_view relative, Made& made, std::u16string* reason) {
  std::u16string path(copyFolder);
  std::size_t start = 0;
  while (start < relative.size()) {
    std::size_t end = relative.find(files::kSeparator, start);
    if (end == std::u16string_view::npos) end = relative.size();
    if (end > start) {
      path = files::JoinPath(path, relative.substr(start, end - start));
      if (!made.folderSet.count(path)) {
        if (!files::CreateDirectory(path)) {
          if (reason) *reason = text::Format(u"%s\r\n%s", path, files::LastErrorText());
          return false;
        }
        made.folders.push_back(path);
        made.folderSet.insert(path);
      }
    }
    start = end + 1;
  }
  return true;
}

}  // namespace

bool CopyUrlFiles(std::u16string_view folder, std::u16string_view copyFolder, std::u16string* reason) {
  const std::u16string copyPath(copyFolder);
  if (LiesInside(copyPath, folder)) {
    if (reason) *reason = u"It lies inside the favorites folder, which is about to be rewritten.";
    return false;
  }
  std::vector<FoundShortcut> shortcuts;
  found = &shortcuts;
  BookmarkFolder unused;
  WalkFolder(folder, nullptr, unused, folder.size(), NoteUrlFile);
  found = nullptr;

  Made made;
  if (!files::CreateDirectory(copyPath)) {
    if (reason) *reason = files::LastErrorText();
    return false;
  }
  made.folders.push_back(copyPath);
  made.folderSet.insert(copyPath);
  for (const FoundShortcut& shortcut : shortcuts) {
    std::string bytes;
    std::u16string why;
    if (!files::ReadWholeFile(shortcut.path, bytes)) {
      why = text::Format(u"%s\r\n%s", shortcut.path, files::LastErrorText());
    } else if (MakeFolders(copyPath, shortcut.relativeFolder, made, &why)) {
      const std::u16string into =
          shortcut.relativeFolder.empty() ? copyPath : files::JoinPath(copyPath, shortcut.relativeFolder);
      std::u16string target = files::JoinPath(into, shortcut.name);
      if (files::WriteNewFile(target, bytes, &why)) {
        made.files.push_back(std::move(target));
        continue;
      }
      why = text::Format(u"%s\r\n%s", target, why);
    }
    made.Undo();
    if (reason) *reason = why;
    return false;
  }
  return true;
}
