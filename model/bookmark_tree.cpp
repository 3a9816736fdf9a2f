#include "model/bookmark_tree.h"

#include "platform/text.h"

BookmarkFolder& FindOrCreateFolder(BookmarkFolder& start, BookmarkLink& link) {
  std::u16string& path = link.folderPath;
  if (path.empty() || path == u"\\" || path == u".") return start;
  BookmarkFolder* folder = &start;
  std::size_t pos = path.find_first_not_of(u'\\');
  while (pos != std::u16string::npos) {
    std::size_t end = path.find(u'\\', pos);
    std::u16string_view component(path.data() + pos, (end == std::u16string::npos ? path.size() : end) - pos);
    BookmarkFolder* next = nullptr;
    for (BookmarkFolder& sub : folder->folders) {
      if (text::EqualsAsciiNoCase(sub.name, component)) {
        next = &sub;
        break;
      }
    }
    if (!next) {
      folder->folders.emplace_back();
      next = &folder->folders.back();
      next->name.assign(component);
    }
    folder = next;
    pos = end == std::u16string::npos ? end : path.find_first_not_of(u'\\', end);
  }
  path.clear();
  return *folder;
}

std::uint32_t CollectLinks(BookmarkFolder& folder, CheckQueue& queue) {
  std::uint32_t count = 0;
  for (BookmarkFolder& sub : folder.folders) count += CollectLinks(sub, queue);
  for (BookmarkLink& link : folder.links) queue.links.push_back(&link);
  return count + static_cast<std::uint32_t>(folder.links.size());
}
