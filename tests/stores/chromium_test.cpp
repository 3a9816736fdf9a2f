// The Chromium browsers' Bookmarks file: what is read, what a save changes
// and keeps, and what is refused.
#include <gtest/gtest.h>


#include "model/apply_results.h"
#include "platform/text.h"
#include "read_helpers.h"
#include "stores/chromium_bookmarks.h"
#include "support/browser_stores.h"
#include "support/temp_dir.h"

namespace {

const std::vector<std::pair<std::string, std::string>> kSample = {
    {"folder:Work", ""},
    {"Fine", "https://ok.example/page"},
    {"Gone <old> \"quoted\"", "https://gone.example/a/b?x=1&y=2"},
    {"end", ""},
    {"Nobody", "http://nobody.example:8080/x"},
    {"root:other", ""},
    {"Caf\xC3\xA9", "https://www.example.com/caf%C3%A9"},
};

BookmarkLink* FindLink(BookmarkFolder& folder, const std::u16string& title) {
  for (BookmarkLink& link : folder.links) {
    if (link.title == title) return &link;
  }
  for (BookmarkFolder& sub : folder.folders) {
    if (BookmarkLink* found = FindLink(sub, title)) return found;
  }
  return nullptr;
}

BookmarkFolder Read(const std::string& bytes) {
  BookmarkFolder root;
  std::u16string problem;
  EXPECT_TRUE(ReadChromiumBookmarks(bytes, root, &problem)) << text::Utf16ToUtf8(problem);
  return root;
}

std::string Repaired(const std::string& original, const BookmarkFolder& root) {
  std::string bytes;
  std::u16string problem;
  EXPECT_TRUE(ChromiumBookmarksBytes(original, root, bytes, &problem)) << text::Utf16ToUtf8(problem);
  return bytes;
}

TEST(ChromiumBookmarks, ReadsTheRootsAsFoldersWithTheirItemsInOrder) {
  const std::string file = ChromiumBookmarksText(kSample);
  EXPECT_TRUE(LooksLikeJsonDocument("\xEF\xBB\xBF \n" + file));
  EXPECT_FALSE(LooksLikeJsonDocument("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
  BookmarkFolder root = Read(file);
  EXPECT_EQ(Describe(root),
            "[Bookmarks bar]\n"
            "  [Work]\n"
            "    Fine <https://ok.example/page>\n"
            "    Gone <old> \"quoted\" <https://gone.example/a/b?x=1&y=2>\n"
            "  Nobody <http://nobody.example:8080/x>\n"
            "[Other bookmarks]\n"
            "  Caf\xC3\xA9 <https://www.example.com/caf%C3%A9>\n"
            "[Mobile bookmarks]\n");
  EXPECT_EQ(root.folders[0].folders[0].stored->StoreId(), "4");
  EXPECT_EQ(root.folders[0].folders[0].stored->form, TextForm::Plain);
  EXPECT_LT(root.folders[0].folders[0].order, root.folders[0].links[0].order);
}

TEST(ChromiumBookmarks, ASaveWithNothingToRepairGivesBackTheSameBytes) {
  const std::string file = ChromiumBookmarksText(kSample);
  BookmarkFolder root = Read(file);
  ApplyResults(root);
  EXPECT_EQ(Repaired(file, root), file);
}

TEST(ChromiumBookmarks, TheChecksumIsTheOneTheBrowserComputes) {
  // Worked out apart from this program: MD5 over id, UTF-16LE name, kind, URL.
  const std::string file = ChromiumBookmarksText({{"Caf\xC3\xA9", "https://example.com/"}});
  EXPECT_NE(file.find("\"checksum\": \"22a6cdd9a46623fcd561608d43b195f0\""), std::string::npos) << file;
  // The program's own checksum of the file it writes back is the same.
  BookmarkFolder root = Read(file);
  ApplyResults(root);
  EXPECT_EQ(Repaired(file, root), file);
}

TEST(ChromiumBookmarks, ARepairChangesOnlyTheRepairedNodes) {
  const std::string file = ChromiumBookmarksText(kSample);
  BookmarkFolder root = Read(file);
  FindLink(root, u"Nobody")->status = Delete;
  FindLink(root, u"Gone <old> \"quoted\"")->status = Fix;
  ApplyResults(root);
  const std::string repaired = Repaired(file, root);

  // The fixed URL, and the moved link inside a new folder at the end of
  // "Other bookmarks".
  BookmarkFolder again = Read(repaired);
  EXPECT_EQ(Describe(again),
            "[Bookmarks bar]\n"
            "  [Work]\n"
            "    Fine <https://ok.example/page>\n"
            "    Gone <old> \"quoted\" <https://gone.example>\n"
            "[Other bookmarks]\n"
            "  [Deleted Bookmarks]\n"
            "    Nobody <http://nobody.example:8080/x>\n"
            "  Caf\xC3\xA9 <https://www.example.com/caf%C3%A9>\n"
            "[Mobile bookmarks]\n");
  EXPECT_EQ(again.folders[1].folders[0].stored->StoreId(), "9") << "the next free id";
  // Every line of the moved node survives, dates, guid and meta info alike,
  // and nothing of the fixed node but its URL changed.
  const std::size_t moved = file.find("\"name\": \"Nobody\"");
  const std::size_t movedStart = file.rfind("{", file.rfind("\"date_added\"", moved));
  const std::size_t movedEnd = file.find("}", file.find("\"url\"", moved));
  std::string movedNode = file.substr(movedStart, movedEnd - movedStart + 1);
  std::string indented;
  for (char c : movedNode) indented += c == '\n' ? std::string("\n   ") : std::string(1, c);
  EXPECT_NE(repaired.find(indented), std::string::npos) << repaired;
  EXPECT_NE(repaired.find("\"guid\": \"00000000-0000-4000-8000-000000000006\",\n"), std::string::npos);
  // The checksum is worked out again, over the tree as it now stands.
  std::string checksum = repaired.substr(repaired.find("\"checksum\": \"") + 13, 32);
  std::string unmarked = repaired;
  unmarked.replace(unmarked.find(checksum), 32, std::string(32, '0'));
  BookmarkFolder reread = Read(unmarked);
  std::string recomputed;
  ASSERT_TRUE(ChromiumBookmarksBytes(unmarked, reread, recomputed, nullptr));
  EXPECT_NE(recomputed.find(checksum), std::string::npos) << "the checksum follows the content";
  EXPECT_NE(checksum, file.substr(file.find("\"checksum\": \"") + 13, 32));
}

TEST(ChromiumBookmarks, TellsWhatIsWrongWithAFileItCannotRead) {
  const std::string file = ChromiumBookmarksText(kSample);
  std::string deep = "{\"roots\": {\"bookmark_bar\": ";
  std::string closing;
  for (int i = 0; i < 100000; ++i) deep += "{\"type\": \"folder\", \"children\": [", closing += "]}";
  const struct {
    const char* what;
    std::string bytes;
    const char* says;
  } cases[] = {
      {"cut short", file.substr(0, file.size() / 2), "damaged or cut short"},
      {"not bookmarks", "{\"name\": \"settings\", \"values\": [1, 2]}", "not a bookmark file"},
      {"no roots of its own", "{\"roots\": {\"x\": 1}, \"version\": 1}", "not a bookmark file"},
      {"a newer format", "{\"roots\": {\"other\": {\"type\": \"folder\"}}, \"version\": 2}", "newer version"},
      {"nested without end", deep, "damaged or cut short"},
      {"nested too deep", deep + closing + "}}", "nested more deeply"},
      {"two nodes with one id", "{\"roots\": {\"other\": {\"id\": \"2\", \"type\": \"folder\", \"children\": "
                                "[{\"id\": \"2\", \"type\": \"url\", \"url\": \"http://a/\"}]}}}",
       "share one"},
  };
  for (const auto& c : cases) {
    BookmarkFolder root;
    std::u16string problem;
    EXPECT_FALSE(ReadChromiumBookmarks(c.bytes, root, &problem)) << c.what;
    EXPECT_NE(text::Utf16ToUtf8(problem).find(c.says), std::string::npos) << c.what << ": " << text::Utf16ToUtf8(problem);
    EXPECT_TRUE(root.folders.empty()) << c.what;
  }
  // A tree read from somewhere else is not written in this file's format.
  BookmarkFolder other;
  ScanBookmarkContent("<DT><A HREF=\"http://a/\">A</A>", other);
  std::string bytes;
  std::u16string problem;
  EXPECT_FALSE(ChromiumBookmarksBytes(file, other, bytes, &problem));
  EXPECT_NE(text::Utf16ToUtf8(problem).find("not loaded from this file"), std::string::npos);
}

}  // namespace
