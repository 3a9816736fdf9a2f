#include "model/item_text.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "stores/favorites.h"
#include "stores/favorites_names.h"

namespace {

// One shortcut file. A shortcut that was read from a favorites folder is
// written back as it was read, its other keys and sections included, with
// only its URL changed where the link was fixed. A file already there (one
// the deletion could not remove) keeps its content and gets the link's URL.
bool WriteShortcut(std::u16string_view path, const BookmarkLink& link, std::u16string* reason) {
  const std::u16string url = LinkAddress(link);
  const StoredDetails* details = link.stored ? link.stored->details.get() : nullptr;
  if (details && details->shortcut) {
    if (files::WriteNewFile(path, *details->shortcut, reason)) {
      return link.status != Fix || profile::WritePrivateProfileString(u"InternetShortcut", u"URL", url, path, reason);
    }
    if (files::GetFileAttributes(path) == files::kInvalidAttributes) return false;
  }
  return profile::WritePrivateProfileString(u"InternetShortcut", u"URL", url, path, reason);
}

// Tries the names "title.URL", "title (2).URL", ... until a file is written;
// a folder of that name in the way means the next name. When the file system
// refuses the name itself, the same again with the strict form of the title.
bool WriteLinkIn(std::u16string_view directory, const BookmarkLink& link, UsedNames& used, std::u16string* reason) {
  std::u16string lastReason;
  const std::u16string title = PlainTitle(link);
  for (bool strict : {false, true}) {
    std::u16string base = SafeFileName(title, false, strict);
    for (;;) {
      std::u16string path = files::JoinPath(directory, UniqueName(base, u".URL", used) + u".URL");
      if (WriteShortcut(path, link, &lastReason)) return true;
      std::uint32_t attributes = files::GetFileAttributes(path);
      if (attributes != files::kInvalidAttributes && (attributes & files::kAttributeDirectory)) continue;
      break;
    }
  }
  if (reason) *reason = text::Format(u"%s\r\n%s", files::JoinPath(directory, title + u".URL"), lastReason);
  return false;
}

// Makes (or reuses) the folder's directory under `directory`, with the same
// choice of names as for links. Empty when no name could be made.
std::u16string MakeFolderIn(std::u16string_view directory, const BookmarkFolder& folder, UsedNames& used,
                            std::u16string* reason) {
  for (bool strict : {false, true}) {
    std::u16string base = SafeFileName(PlainName(folder), true, strict);
    for (;;) {
      std::u16string path = files::JoinPath(directory, UniqueName(base, u"", used));
      // An existing directory (the favorites' own, left by the deletion) is reused.
      bool created = files::CreateDirectory(path);
      std::u16string why = created ? std::u16string() : files::LastErrorText();
      std::uint32_t attributes = files::GetFileAttributes(path);
      if (attributes != files::kInvalidAttributes && (attributes & files::kAttributeDirectory)) return path;
      if (attributes != files::kInvalidAttributes) continue;  // a file of that name: the next name
      if (reason) *reason = text::Format(u"%s\r\n%s", files::JoinPath(directory, PlainName(folder)), why);
      break;
    }
  }
  return {};
}

bool WriteFolderContents(std::u16string_view directory, const BookmarkFolder& folder, std::u16string* reason) {
  bool ok = true;
  // Keep the first failure: it is the one worth telling.
  auto fail = [&](const std::u16string& why) {
    if (ok && reason) *reason = why;
    ok = false;
  };
  UsedNames used;
  std::u16string why;
  for (const BookmarkFolder& sub : folder.folders) {
    std::u16string path = MakeFolderIn(directory, sub, used, &why);
    if (path.empty()) {
      fail(why);
      continue;
    }
    if (!WriteFolderContents(path, sub, &why)) fail(why);
  }
  for (const BookmarkLink& link : folder.links) {
    if (!WriteLinkIn(directory, link, used, &why)) fail(why);
  }
  return ok;
}

}  // namespace

bool WriteFavorites(std::u16string_view folder, const BookmarkFolder& root, std::u16string* reason) {
  // Without a folder there is nowhere to write: a relative path would land in
  // whatever the current directory happens to be.
  if (folder.empty()) {
    if (reason) *reason = u"The favorites folder is not known.";
    return false;
  }
  std::uint32_t attributes = files::GetFileAttributes(folder);
  if (attributes == files::kInvalidAttributes || !(attributes & files::kAttributeDirectory)) {
    if (reason)
      *reason = attributes == files::kInvalidAttributes ? files::LastErrorText()
                                                        : std::u16string(u"It is not a folder.");
    return false;
  }
  BookmarkFolder unused;
  WalkFolder(folder, nullptr, unused, folder.size(), DeleteUrlFile);
  return WriteFavoritesFolder(folder, root, true, reason);
}

void DeleteUrlFile(std::u16string_view directory, const files::DirEntry& entry, BookmarkFolder&, std::size_t) {
  std::u16string fullPath = files::JoinPath(directory, entry.name);
  // A shortcut that cannot be deleted stays; writing over it later keeps its link.
  if (text::EndsWithAsciiNoCase(fullPath, u".url")) files::DeleteFile(fullPath);
}

bool WriteFavoritesFolder(std::u16string_view directory, const BookmarkFolder& folder, bool topLevel,
                          std::u16string* reason) {
  if (topLevel) return WriteFolderContents(directory, folder, reason);
  UsedNames used;
  std::u16string path = MakeFolderIn(directory, folder, used, reason);
  return !path.empty() && WriteFolderContents(path, folder, reason);
}

bool WriteUrlFile(std::u16string_view directory, const BookmarkLink& link, std::u16string* reason) {
  UsedNames used;
  return WriteLinkIn(directory, link, used, reason);
}
