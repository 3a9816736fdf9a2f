// Bookmarks read from a browser's own store and saved to a bookmark file
// come back whole when the file is read: their text is plain characters,
// which the bookmark file must escape.
#include <gtest/gtest.h>

#include "model/item_text.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"
#include "stores/chromium_bookmarks.h"
#include "stores/places.h"
#include "support/browser_stores.h"
#include "support/temp_dir.h"

namespace {

// "title <address>" of every link, in collection order, as a person reads it.
std::vector<std::string> PlainLinks(BookmarkFolder& root) {
  CheckQueue queue;
  CollectLinks(root, queue);
  std::vector<std::string> out;
  for (const BookmarkLink* link : queue.links) {
    out.push_back(text::Utf16ToUtf8(PlainTitle(*link)) + " <" + text::Utf16ToUtf8(LinkAddress(*link)) + ">");
  }
  return out;
}

TEST(BrowserStoreExport, SavedToABookmarkFileTheTextsReadBackWhole) {
  TempDir dir;
  MakePlacesDatabase(dir.file("places.sqlite"),
                     {{"in:menu", ""},
                      {"A <b> & \"c\" 'd'", "https://a.example/?x=1&y=\"2\"&z=<3>"},
                      {"---", ""},
                      {"Caf\xC3\xA9 &amp; co", "https://b.example/caf%C3%A9"}});
  BookmarkFolder places;
  ASSERT_TRUE(ReadPlaces(dir.file16("places.sqlite"), places, nullptr));
  BookmarkFolder chromium;
  ASSERT_TRUE(ReadChromiumBookmarks(
      ChromiumBookmarksText({{"A <b> & \"c\" 'd'", "https://a.example/?x=1&y=\"2\"&z=<3>"},
                             {"Caf\xC3\xA9 &amp; co", "https://b.example/caf%C3%A9"}}),
      chromium, nullptr));
  for (BookmarkFolder* tree : {&places, &chromium}) {
    const std::string file = BookmarkFileBytes(*tree);
    BookmarkFolder again;
    ScanBookmarkContent(file, again);
    EXPECT_EQ(PlainLinks(again), PlainLinks(*tree)) << file;
  }
  EXPECT_NE(BookmarkFileBytes(places).find("<HR>"), std::string::npos) << "the separator keeps its place";
}

}  // namespace
