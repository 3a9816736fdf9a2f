// A browser's export read and written back holds what it held: the same
// items in the same order, with their attributes, descriptions, separators
// and empty folders, apart from the repairs.
#include <gtest/gtest.h>

#include <random>

#include "model/apply_results.h"
#include "model/item_text.h"
#include "read_helpers.h"
#include "support/bookmark_outline.h"
#include "support/expected_bookmark_file.h"

namespace {

// Firefox's layout: the menu's own items around the toolbar and other
// folders, dates, icons, keywords, tags, descriptions, separators,
// bookmarklets and queries, an empty folder, entities and non-ASCII text.
const std::string kFirefoxExport =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
    "<!-- This is an automatically generated file.\n     It will be read and overwritten.\n     DO NOT EDIT! -->\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\"\n"
    "      content=\"default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'\"></meta>\n"
    "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n\n<DL><p>\n"
    "    <DT><A HREF=\"https://start.example/\" ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000100\" "
    "ICON_URI=\"https://start.example/favicon.ico\" ICON=\"data:image/png;base64,iVBORw0KGgo=\">Start &amp; more</A>\n"
    "    <DD>The page &lt;everyone&gt; opens first\n"
    "    <HR>\n"
    "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000200\" PERSONAL_TOOLBAR_FOLDER=\"true\">Bookmarks Toolbar</H3>\n"
    "    <DD>Shown under the address bar\n"
    "    <DL><p>\n"
    "        <DT><A HREF=\"https://search.example/find/?q=%s&amp;lang=en\" ADD_DATE=\"1700000300\" "
    "LAST_MODIFIED=\"1700000300\" SHORTCUTURL=\"s\" TAGS=\"search,daily\">Search</A>\n"
    "        <DT><A HREF=\"javascript:void(location.href='https://x.example/?u='+encodeURIComponent(location.href))\" "
    "ADD_DATE=\"1700000400\">Bookmarklet</A>\n"
    "        <DT><A HREF=\"place:sort=8&amp;maxResults=10\" ADD_DATE=\"1700000500\">Most Visited</A>\n"
    "        <DT><H3 ADD_DATE=\"1700000600\" LAST_MODIFIED=\"1700000600\">Empty folder</H3>\n"
    "        <DL><p>\n        </DL><p>\n"
    "        <DT><A HREF=\"https://\xce\xb5\xce\xbb.example/\xcf\x83\" ADD_DATE=\"1700000700\">"
    "\xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1 \xe2\x80\x94 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x90\xa6</A>\n"
    "    </DL><p>\n"
    "    <DT><A HREF=\"https://after.example/page\" ADD_DATE=\"1700000800\">After the toolbar</A>\n"
    "    <HR>\n"
    "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000900\" UNFILED_BOOKMARKS_FOLDER=\"true\">Other Bookmarks</H3>\n"
    "    <DL><p>\n"
    "        <DT><A HREF=\"https://other.example/\" ADD_DATE=\"1700001000\">Other</A>\n"
    "    </DL><p>\n"
    "</DL>\n";

// The Chromium browsers' layout: everything in folders with their own
// dates and flags, icons on links, quotes as entities.
const std::string kChromiumExport =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
    "<!-- This is an automatically generated file.\n     It will be read and overwritten.\n     DO NOT EDIT! -->\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
    "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n"
    "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000001\" PERSONAL_TOOLBAR_FOLDER=\"true\">Bookmarks bar</H3>\n"
    "    <DL><p>\n"
    "        <DT><A HREF=\"https://a.example/\" ADD_DATE=\"1700000002\" ICON=\"data:image/png;base64,AAAA\">A</A>\n"
    "        <DT><H3 ADD_DATE=\"1700000003\" LAST_MODIFIED=\"0\">Nested</H3>\n"
    "        <DL><p>\n"
    "            <DT><A HREF=\"https://b.example/?x=1&amp;y=2\" ADD_DATE=\"1700000004\">B &quot;quoted&quot;</A>\n"
    "        </DL><p>\n"
    "        <DT><A HREF=\"https://c.example/\" ADD_DATE=\"1700000005\">C</A>\n"
    "    </DL><p>\n"
    "    <DT><A HREF=\"https://loose.example/\" ADD_DATE=\"1700000006\">Loose</A>\n"
    "</DL><p>\n";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

BookmarkLink* FindLink(CheckQueue& queue, std::u16string_view title) {
  for (BookmarkLink* link : queue.links)
    if (link->title == title) return link;
  ADD_FAILURE() << "no link titled " << text::Utf16ToUtf8(title);
  return nullptr;
}

std::string ReadAndWrite(const std::string& content) {
  BookmarkFolder root;
  ScanBookmarkContent(content, root);
  return BookmarkFileBytes(root);
}

TEST(BookmarkFileRoundTrip, ExportsComeBackWithEverythingTheyHeld) {
  for (const std::string* exported : {&kFirefoxExport, &kChromiumExport}) {
    const std::string written = ReadAndWrite(*exported);
    EXPECT_EQ(outline::Of(written), outline::Of(*exported));
    EXPECT_EQ(written.substr(0, kExpectedBookmarkHeader.size()), kExpectedBookmarkHeader);
    // Read, write, read, write: the same bytes twice.
    EXPECT_EQ(ReadAndWrite(written), written);
  }
  // The date attributes stand where the format puts them, the others after them.
  EXPECT_NE(ReadAndWrite(kFirefoxExport)
                .find("<DT><A HREF=\"https://search.example/find/?q=%s&amp;lang=en\" ADD_DATE=\"1700000300\" "
                      "LAST_VISIT=\"\" LAST_MODIFIED=\"1700000300\" SHORTCUTURL=\"s\" TAGS=\"search,daily\">Search</A>\r\n"),
            std::string::npos);
  EXPECT_NE(ReadAndWrite(kChromiumExport)
                .find("<DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000001\" PERSONAL_TOOLBAR_FOLDER=\"true\">"
                      "Bookmarks bar</H3>\r\n<DL><p>\r\n"),
            std::string::npos);
}

TEST(BookmarkFileRoundTrip, WhatTheCheckSeesIsUnchanged) {
  BookmarkFolder root;
  ScanBookmarkContent(kFirefoxExport, root);
  CheckQueue queue;
  EXPECT_EQ(CollectLinks(root, queue), 7u);
  std::vector<std::u16string> titles;
  for (BookmarkLink* link : queue.links) titles.push_back(link->title);
  // Sub-folders' links before each folder's own: the order of checking is
  // the one it has always been, whatever order the file shows them in.
  EXPECT_EQ(titles, (std::vector<std::u16string>{
                        u"Search", u"Bookmarklet", u"Most Visited",
                        u"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1 \u2014 \u65e5\u672c \U0001F426", u"Other",
                        u"Start &amp; more", u"After the toolbar"}));
  EXPECT_EQ(LinkAddress(*FindLink(queue, u"Search")), u"https://search.example/find/?q=%s&lang=en");
}

TEST(BookmarkFileRoundTrip, RepairsAreTheOnlyDifference) {
  BookmarkFolder root;
  ScanBookmarkContent(kFirefoxExport, root);
  CheckQueue queue;
  CollectLinks(root, queue);
  FindLink(queue, u"Search")->status = Fix;
  FindLink(queue, u"After the toolbar")->status = Delete;
  FindLink(queue, u"Start &amp; more")->status = Delete;
  FindLink(queue, u"Other")->status = Keep;
  ApplyResults(root);

  // The deleted links leave their places and come last, in the order they
  // were checked, in the folder made for them after the last folder; each
  // keeps its attributes and description; the fixed link keeps its own.
  const std::string start =
      "    <DT><A HREF=\"https://start.example/\" ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000100\" "
      "ICON_URI=\"https://start.example/favicon.ico\" ICON=\"data:image/png;base64,iVBORw0KGgo=\">Start &amp; more</A>\n"
      "    <DD>The page &lt;everyone&gt; opens first\n";
  const std::string after = "    <DT><A HREF=\"https://after.example/page\" ADD_DATE=\"1700000800\">After the toolbar</A>\n";
  std::string expected = Replace(kFirefoxExport, start, "");
  expected = Replace(expected, after, "");
  expected = Replace(expected, "https://search.example/find/?q=%s&amp;lang=en", "https://search.example");
  expected = Replace(expected, "    </DL><p>\n</DL>\n",
                     "    </DL><p>\n<DT><H3>Deleted Bookmarks</H3>\n<DL><p>\n" + start + after + "</DL><p>\n</DL>\n");
  const std::string written = BookmarkFileBytes(root);
  EXPECT_EQ(outline::Of(written), Replace(outline::Of(expected), "folder \"Deleted Bookmarks\"",
                                          "folder \"Deleted Bookmarks\" FOLDED"));
}

TEST(BookmarkFileRoundTrip, PlainTextFromOtherStoresReadsBackWhole) {
  auto plain = std::make_shared<StoredItem>();
  plain->form = TextForm::Plain;
  BookmarkFolder root;
  BookmarkFolder& folder = root.folders.emplace_back();
  folder.name = u"R&D <2024>";
  folder.stored = plain;
  BookmarkLink& link = folder.links.emplace_back();
  link.url = u"https://x.example/?a=\"1\"&b=<2>";
  link.title = u"a < b & \"c\" &amp;";
  link.stored = plain;

  BookmarkFolder back;
  ScanBookmarkContent(BookmarkFileBytes(root), back);
  ASSERT_EQ(back.folders.size(), 1u);
  ASSERT_EQ(back.folders[0].links.size(), 1u);
  EXPECT_EQ(PlainName(back.folders[0]), folder.name);
  EXPECT_EQ(PlainTitle(back.folders[0].links[0]), link.title);
  EXPECT_EQ(LinkAddress(back.folders[0].links[0]), link.url);
}

// Files in the form the program writes, made at random with every kind of
// item in every order: read and written back, the bytes are the same.
TEST(BookmarkFileRoundTrip, RandomFilesInTheWrittenFormComeBackByteForByte) {
  std::mt19937 rng(11);
  auto pick = [&](std::initializer_list<const char*> options) {
    return std::string(options.begin()[rng() % options.size()]);
  };
  auto words = [&]() {
    return pick({"", "Plain", "caf\xc3\xa9", "&amp; &lt;x&gt;", "\xff\xfe raw", "a\\b", "tab\there", "\xf0\x9f\x90\xa6"});
  };
  auto attributes = [&]() { return pick({"", " ICON=\"data:x\"", " SHORTCUTURL=\"k\" TAGS=\"a,b\"", " PERSONAL_TOOLBAR_FOLDER=\"true\""}); };
  for (int round = 0; round < 300; ++round) {
    std::string body;
    int depth = 0;
    for (int item = 0, items = static_cast<int>(rng() % 40); item < items; ++item) {
      switch (rng() % 6) {
        case 0:
        case 1:
          body += "<DT><A HREF=\"http://" + words() + "/\" ADD_DATE=\"" + pick({"", "1700000000"}) +
                  "\" LAST_VISIT=\"\" LAST_MODIFIED=\"" + pick({"", "17"}) + "\"" + attributes() + ">" + words() +
                  "</A>\r\n";
          if (rng() % 3 == 0) body += "<DD>" + words() + "x\r\n";
          break;
        case 2:
          // Headings of one name in one folder would become one folder.
          body += "<DT><H3" + pick({" FOLDED", ""}) + " ADD_DATE=\"" + pick({"", "9"}) + "\"" + attributes() + ">" +
                  words() + std::to_string(item) + "</H3>\r\n";
          if (rng() % 3 == 0) body += "<DD>about " + words() + ".\r\n";
          body += "<DL><p>\r\n";
          ++depth;
          break;
        case 3:
          if (depth > 0) {
            body += "</DL><p>\r\n";
            --depth;
          }
          break;
        case 4: body += "<HR>\r\n"; break;
        default: break;
      }
    }
    for (; depth > 0; --depth) body += "</DL><p>\r\n";
    const std::string file = kExpectedBookmarkHeader + body + "</DL><p>\r\n</DL>";
    EXPECT_EQ(ReadAndWrite(file), file);
  }
}

}  // namespace
