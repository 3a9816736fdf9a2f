#include "favorites_fixture.h"

#include <filesystem>

void PutFile(const std::string& root, const std::string& relative, const std::string& bytes) {
  std::filesystem::path path = std::filesystem::path(root) / relative;
  std::filesystem::create_directories(path.parent_path());
  WriteFileBytes(path.string(), bytes);
}

std::string Dump(const BookmarkFolder& folder, const std::string& path) {
  std::string out;
  for (const BookmarkFolder& sub : folder.folders) {
    std::string subPath = path + "/" + U8(sub.name);
    out += "+" + subPath + "\n" + Dump(sub, subPath);
  }
  for (const BookmarkLink& link : folder.links) out += path + "|" + U8(link.title) + "|" + U8(link.url) + "\n";
  return out;
}

BookmarkTree ReadFavorites(std::u16string_view path) {
  BookmarkTree tree;
  tree.name = u"Bookmarks";
  WalkFolder(path, nullptr, tree, path.size(), ReadUrlFile);
  return tree;
}
