// Feeds arbitrary bytes to the bookmark file reader, then writes the tree it
// made and reads that back: neither pass may crash, the second must find
// exactly the links the first one found, and writing what was read back
// gives the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/apply_results.h"
#include "model/bookmark_tree.h"
#include "stores/bookmark_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  BookmarkFolder root;
  ScanBookmarkContent(std::string_view(reinterpret_cast<const char*>(data), size), root);
  CheckQueue queue;
  std::uint32_t count = CollectLinks(root, queue);

  const std::string written = BookmarkFileBytes(root);
  BookmarkFolder again;
  ScanBookmarkContent(written, again);
  CheckQueue queueAgain;
  if (CollectLinks(again, queueAgain) != count) std::abort();
  if (BookmarkFileBytes(again) != written) std::abort();

  for (std::size_t i = 0; i < queue.links.size(); ++i) queue.links[i]->status = static_cast<LinkStatus>(i % 4);
  ApplyResults(root);
  (void)BookmarkFileBytes(root);
  return 0;
}
