#include "model/bookmark_tree.h"

std::uint32_t CollectLinks(BookmarkFolder& folder, CheckQueue& queue) {
  std::uint32_t count = 0;
  for (BookmarkFolder& sub : folder.folders) count += CollectLinks(sub, queue);
  for (BookmarkLink& link : folder.links) queue.links.push_back(&link);
  return count + static_cast<std::uint32_t>(folder.links.size());
}
