// Feeds arbitrary bytes to the Chromium bookmark file reader; whatever it
// accepts is repaired and written back, which must succeed and read back
// with every link still there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/apply_results.h"
#include "model/bookmark_tree.h"
#include "stores/chromium_bookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  BookmarkFolder root;
  if (!ReadChromiumBookmarks(bytes, root, nullptr)) {
    if (!root.folders.empty() || !root.links.empty()) std::abort();
    return 0;
  }
  CheckQueue queue;
  const std::uint32_t count = CollectLinks(root, queue);
  for (std::size_t i = 0; i < queue.links.size(); ++i) queue.links[i]->status = static_cast<LinkStatus>(i % 4);
  ApplyResults(root);

  std::string written;
  if (!ChromiumBookmarksBytes(bytes, root, written, nullptr)) {
    // Only a tree that did not come from this document is refused.
    std::abort();
  }
  BookmarkFolder again;
  if (!ReadChromiumBookmarks(written, again, nullptr)) std::abort();
  CheckQueue queueAgain;
  if (CollectLinks(again, queueAgain) < count) std::abort();
  return 0;
}
