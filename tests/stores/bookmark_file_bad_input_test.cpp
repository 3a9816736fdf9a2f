// Whatever a file holds, reading it ends, stays inside the buffer, and leaves
// a tree the rest of the program can collect, apply results to and write.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "model/apply_results.h"
#include "read_helpers.h"
#include "support/temp_dir.h"

namespace {

// Runs the whole road of a loaded tree, so that a broken tree shows up here.
std::size_t ReadAndRoundTrip(std::string_view content) {
  BookmarkFolder root;
  ScanBookmarkContent(content, root);
  CheckQueue queue;
  std::size_t count = CollectLinks(root, queue);
  for (std::size_t i = 0; i < queue.links.size(); ++i) queue.links[i]->status = static_cast<LinkStatus>(i % 4);
  ApplyResults(root);
  std::string bytes = BookmarkFileBytes(root);
  BookmarkFolder back;
  ScanBookmarkContent(bytes, back);
  CheckQueue again;
  CollectLinks(back, again);
  EXPECT_LE(again.links.size(), count);  // items the scan cuts may lose links, never gain them
  return count;
}

TEST(ReadBookmarkFile, SurvivesEmptyBrokenAndForeignFiles) {
  using namespace std::string_literals;
  TempDir dir;
  WriteFileBytes(dir.file("empty.html"), "");
  BookmarkFolder root;
  ReadBookmarkFile(dir.file16("empty.html"), root);
  EXPECT_EQ(Describe(root), "");

  EXPECT_EQ(ReadAndRoundTrip(std::string(4096, '\0')), 0u);
  EXPECT_EQ(ReadAndRoundTrip("<DT>"), 0u);
  EXPECT_EQ(ReadAndRoundTrip("<DT><A HREF=\"http://x/\">x</A>\n<DT>"), 1u);
  const std::string good = "<DT><H3>F</H3>\n<DL><p>\n<DT><A HREF=\"http://x/\" ADD_DATE=\"1\">x</A>\n</DL><p>\n";
  for (std::size_t cut = 0; cut <= good.size(); ++cut) ReadAndRoundTrip(good.substr(0, cut));

  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    std::string garbage(static_cast<std::size_t>(rng() % 4000), '\0');
    for (char& c : garbage) c = static_cast<char>(rng());
    ReadAndRoundTrip(garbage);
    // Garbage made of the markers themselves reaches the odd paths.
    static const char* const kPieces[] = {"<DT>", "</DL>", "<A", "<a", "HREF=", "\"", ">", "<", "\\", ".", "x", "\xc3", "\xff"};
    std::string pieces;
    for (int i = 0; i < 300; ++i) pieces += kPieces[rng() % std::size(kPieces)];
    ReadAndRoundTrip(pieces);
  }
}

TEST(ReadBookmarkFile, InvalidUtf8InEveryFieldIsKept) {
  std::string bad = "\x80\xbf\xc0\xaf\xe0\x80\xaf\xed\xbf\xbf\xf8\x88\x80\x80\x80\xfe\xff\xf0\x9f\x90";
  BookmarkFolder root;
  ScanBookmarkContent("<DT><H3>" + bad + "</H3>\n<DT><A HREF=\"" + bad + "\">" + bad + "</A>", root);
  ASSERT_EQ(root.folders.size(), 1u);
  ASSERT_EQ(root.folders[0].links.size(), 1u);
  const BookmarkLink& link = root.folders[0].links[0];
  EXPECT_EQ(link.url, root.folders[0].name);
  EXPECT_EQ(link.title, link.url);
  EXPECT_FALSE(link.url.empty());
  for (char16_t c : link.url) EXPECT_EQ(c, 0xFFFD);
}

// These inputs used to cost time in proportion to the square of their size;
// the bounds are generous and catch only a return of that.
TEST(ReadBookmarkFile, LargeAndDegenerateFilesAreReadInReasonableTime) {
  auto started = std::chrono::steady_clock::now();

  // 100 MB without a line break: one link and a long tail of anchors with no
  // HREF after them.
  std::string big = "<DT><A HREF=\"http://first/\">first</A>";
  const std::string anchor = "<DT><A NAME=\"n\">x</A>";
  big.reserve(100u << 20);
  while (big.size() < (100u << 20)) big += anchor;
  BookmarkFolder root;
  ScanBookmarkContent(big, root);
  EXPECT_EQ(Describe(root), "first <http://first/>\n");

  // A hundred thousand items that each search to the end of the content for
  // an "HREF=" that is far away, or for a quote that never comes.
  std::string runOn;
  for (int i = 0; i < 100000; ++i) runOn += "<DT><A>x</A></DL>";
  EXPECT_EQ(ReadAndRoundTrip(runOn + "<DT><A HREF=\"far\">far</A>"), 1u);
  EXPECT_EQ(ReadAndRoundTrip(runOn + "HREF=\"" + std::string(1000000, 'q')), 0u);
  EXPECT_EQ(ReadAndRoundTrip(runOn + "HREF=\"\"" + std::string(1000000, 'q')), 0u);

  // Thousands of surplus closing tags.
  std::string closing;
  for (int i = 0; i < 200000; ++i) closing += "</DL>";
  EXPECT_EQ(ReadAndRoundTrip(closing + "<DT><A HREF=\"u\">t</A>" + closing), 1u);

  // Ten thousand sibling headings, one link in each.
  std::string wide;
  for (int i = 0; i < 10000; ++i)
    wide += "<DT><H3>Folder " + std::to_string(i) + "</H3><DL><p>\n<DT><A HREF=\"u\">t</A>\n</DL><p>\n";
  BookmarkFolder wideRoot;
  ScanBookmarkContent(wide, wideRoot);
  EXPECT_EQ(wideRoot.folders.size(), 10000u);
  EXPECT_EQ(wideRoot.folders[9999].name, u"Folder 9999");

  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
}

TEST(ReadBookmarkFile, TenThousandNestedHeadingsMakeADeepTreeThatStillWorks) {
  std::string deep;
  for (int i = 0; i < 10000; ++i) deep += "<DT><H3>L</H3>\n<DL><p>\n";
  deep += "<DT><A HREF=\"http://bottom/\">bottom</A>\n";
  for (int i = 0; i < 10000; ++i) deep += "</DL><p>\n";
  deep += "<DT><A HREF=\"http://top/\">top</A>\n";
  BookmarkFolder root;
  ScanBookmarkContent(deep, root);
  const BookmarkFolder* f = &root;
  int depth = 0;
  while (!f->folders.empty()) {
    ASSERT_EQ(f->folders.size(), 1u);
    f = &f->folders[0];
    ++depth;
  }
  EXPECT_EQ(depth, 10000);
  ASSERT_EQ(f->links.size(), 1u);
  EXPECT_EQ(f->links[0].title, u"bottom");
  ASSERT_EQ(root.links.size(), 1u);
  EXPECT_EQ(root.links[0].title, u"top");
  EXPECT_EQ(ReadAndRoundTrip(deep), 2u);
  // Written and read back, the nesting survives.
  BookmarkFolder back;
  ScanBookmarkContent(BookmarkFileBytes(root), back);
  EXPECT_EQ(BookmarkFileBytes(back), BookmarkFileBytes(root));
}

// Deeper than that, and a stack-sized walk over the tree would overflow: the
// levels below 10,000 fold into the 10,000th, and the levels above it stay
// as they were.
TEST(ReadBookmarkFile, NestingBeyondTenThousandLevelsFoldsIntoTheDeepestFolder) {
  std::string deep;
  for (int i = 0; i < 500000; ++i) deep += "<DT><H3>L<";
  deep += "<DT><A HREF=\"b\">bottom<";
  for (int i = 0; i < 500000 - 3; ++i) deep += "</DL>";
  deep += "<DT><A HREF=\"t\">third<";
  BookmarkFolder root;
  ScanBookmarkContent(deep, root);
  std::vector<const BookmarkFolder*> chain{&root};
  while (!chain.back()->folders.empty()) {
    ASSERT_EQ(chain.back()->folders.size(), 1u);
    chain.push_back(&chain.back()->folders[0]);
  }
  ASSERT_EQ(chain.size(), 10001u);
  ASSERT_EQ(chain.back()->links.size(), 1u);
  EXPECT_EQ(chain.back()->links[0].title, u"bottom");
  ASSERT_EQ(chain[3]->links.size(), 1u);
  EXPECT_EQ(chain[3]->links[0].title, u"third");
  EXPECT_EQ(ReadAndRoundTrip(deep), 2u);
}

}  // namespace
