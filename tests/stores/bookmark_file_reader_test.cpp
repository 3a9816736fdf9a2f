#include <gtest/gtest.h>

#include "read_helpers.h"
#include "support/temp_dir.h"

namespace {

// A file as browsers write it: header, nested folders, description and
// separator lines, attributes the reader ignores.
TEST(ReadBookmarkFile, ReadsFoldersAndLinksOfABrowserFile) {
  TempDir dir;
  WriteFileBytes(dir.file("b.html"),
                 "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                 "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n\n<DL><p>\n"
                 "    <DT><A HREF=\"http://top.example/\" ADD_DATE=\"1\" ICON=\"data:x\">Top</A>\n"
                 "    <DT><H3 ADD_DATE=\"2\">Work</H3>\n"
                 "    <DD>Things for work\n"
                 "    <DL><p>\n"
                 "        <DT><A HREF=\"http://w1.example/a?b=c&amp;d\" LAST_MODIFIED=\"3\">W &amp; 1</A>\n"
                 "        <HR>\n"
                 "        <DT><H3>Tools</H3>\n"
                 "        <DL><p>\n"
                 "            <DT><A HREF=\"http://t.example/\">T\xc3\xa9l\xc3\xa9 \xe2\x82\xac \xf0\x9f\x90\xa6</A>\n"
                 "        </DL><p>\n"
                 "        <DT><A HREF=\"http://w2.example/\">W2</A>\n"
                 "    </DL><p>\n"
                 "    <DT><H3>Empty</H3>\n    <DL><p>\n    </DL><p>\n"
                 "    <DT><A HREF=\"\"></A>\n"
                 "</DL><p>\n");
  BookmarkFolder root;
  ReadBookmarkFile(dir.file16("b.html"), root);
  EXPECT_EQ(Describe(root),
            "[Work]\n"
            "  [Tools]\n"
            "    T\xc3\xa9l\xc3\xa9 \xe2\x82\xac \xf0\x9f\x90\xa6 <http://t.example/>\n"
            "  W &amp; 1 <http://w1.example/a?b=c&amp;d>\n"
            "  W2 <http://w2.example/>\n"
            "[Empty]\n"
            "Top <http://top.example/>\n"
            " <>\n");
  EXPECT_EQ(root.links[0].status, Unchecked);
  EXPECT_EQ(root.folders[0].links[0].title, u"W &amp; 1");
  EXPECT_EQ(root.folders[0].folders[0].links[0].title, u"T\u00e9l\u00e9 \u20ac \U0001F426");
}

TEST(ReadBookmarkFile, AFileThatCannotBeOpenedAddsNothing) {
  TempDir dir;
  BookmarkFolder root;
  root.links.push_back({u"u", u"t"});
  ReadBookmarkFile(dir.file16("missing.html"), root);
  ReadBookmarkFile(dir.path16(), root);  // a folder
  EXPECT_EQ(Describe(root), "t <u>\n");
}

TEST(ReadBookmarkFile, MarkersAreMatchedAsTheyAreWritten) {
  // Lower-case DT items and lower-case closing tags are not markers.
  EXPECT_EQ(ScanAndDescribe("<dt><a HREF=\"u1\">t1</a>\n<DT><H3>F</H3>\n<DL><p>\n</dl><p>\n<DT><A HREF=\"u2\">t2</A>\n"),
            "[F]\n  t2 <u2>\n");
  // The A tag counts in either case; a lower-case href does not, and the
  // search runs on to the next upper-case one, wherever it is, passing over
  // the heading and the link in between.
  EXPECT_EQ(ScanAndDescribe("<DT><a HREF=\"u1\">t1</a>\n"
                            "<DT><A href=\"lower\">t2</A>\n"
                            "<DT><H3>F</H3>\n<DL><p>\n"
                            "<DT><A HREF=\"u3\">t3</A>\n"
                            "</DL><p>\n"),
            "t1 <u1>\n"
            "t3 <u3>\n");
  // Without an empty DT tag there is no item at all.
  EXPECT_EQ(ScanAndDescribe("<DT ><A HREF=\"u\">t</A><DT\n>"), "");
}

TEST(ReadBookmarkFile, AnAnchorWithoutHrefTakesTheNextLinkButKeepsItsOwnFolder) {
  EXPECT_EQ(ScanAndDescribe("<DT><A NAME=\"x\">first</A>\n"
                            "<DT><H3>F</H3>\n<DL><p>\n"
                            "<DT><A HREF=\"next\">second</A>\n"
                            "</DL><p>\n"),
            "second <next>\n");
  EXPECT_EQ(ScanAndDescribe("<DT><H3>F</H3>\n<DL><p>\n<DT><A>first</A>\n</DL><p>\n"
                            "<DT><A HREF=\"next\">second</A>\n<DT><A HREF=\"last\">third</A>\n"),
            "[F]\n  second <next>\n  third <last>\n");  // the closing tag was passed over
}

TEST(ReadBookmarkFile, AnythingBetweenDtAndTheAnchorMakesAHeading) {
  EXPECT_EQ(ScanAndDescribe("<DT> <A HREF=\"a\">Sub</A>\n"
                            "<DT><A HREF=\"b\">inside</A>\n"
                            "</DL><p>\n"
                            "<DT><A HREF=\"c\">outside</A>\n"),
            "[Sub]\n  inside <b>\n"
            "outside <c>\n");
}

TEST(ReadBookmarkFile, TextIsCutAtTheCharactersTheScanLooksFor) {
  // A less-than sign ends a title, a double quote ends a URL, and a URL in
  // single quotes or without quotes loses its first byte and runs on to the
  // next double quote.
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"u\">a<b</A>\n"), "a <u>\n");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"x\"y\">t</A>\n"), "t <x>\n");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF='single' X=\"z\">t</A>\n"), "t <single' X=>\n");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=bare>t</A>\n<DT><A HREF=\"n\">u</A>\n"),
            "u <are>t</A>\n<DT><A HREF=>\n");
  // Entities stay as they are written.
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"a&amp;b\">&lt;&#39;</A>"), "&lt;&#39; <a&amp;b>\n");
}

TEST(ReadBookmarkFile, FolderLevelsFollowHeadingsAndClosingTagsOnly) {
  // A link before any heading goes to the root; surplus closing tags leave
  // the path empty; opening DL tags are not counted.
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"r\">root</A>\n</DL></DL></DL>\n"
                            "<DT><H3>A</H3><DL><DL><DL>\n<DT><A HREF=\"a\">in A</A>\n</DL>\n"
                            "<DT><A HREF=\"r2\">root again</A>\n"),
            "[A]\n  in A <a>\n"
            "root <r>\n"
            "root again <r2>\n");
  // A heading with an empty name is a level of its own, and its closing tag
  // closes only that level.
  EXPECT_EQ(ScanAndDescribe("<DT><H3>Outer</H3>\n<DL><p>\n"
                            "<DT><H3></H3>\n<DL><p>\n<DT><A HREF=\"e\">in empty</A>\n</DL><p>\n"
                            "<DT><A HREF=\"o\">after</A>\n"
                            "</DL><p>\n"),
            "[Outer]\n  []\n    in empty <e>\n  after <o>\n");
  // A heading's name is one name, whatever it holds: a backslash in it makes
  // no level of its own.
  EXPECT_EQ(ScanAndDescribe("<DT><H3>a\\b</H3>\n<DT><A HREF=\"1\">one</A>\n</DL>\n<DT><A HREF=\"2\">two</A>\n"
                            "<DT><H3>x\\\\y\\</H3>\n<DT><A HREF=\"3\">three</A>\n</DL>\n<DT><A HREF=\"4\">four</A>\n"),
            "[a\\b]\n  one <1>\n[x\\\\y\\]\n  three <3>\ntwo <2>\nfour <4>\n");
  // Headings match existing folders A to Z without case; other letters exactly.
  EXPECT_EQ(ScanAndDescribe("<DT><H3>Work</H3>\n<DT><A HREF=\"1\">one</A>\n</DL>\n"
                            "<DT><H3>WORK</H3>\n<DT><A HREF=\"2\">two</A>\n</DL>\n"
                            "<DT><H3>\xc3\x84rger</H3>\n<DT><A HREF=\"3\">three</A>\n</DL>\n"
                            "<DT><H3>\xc3\xa4rger</H3>\n<DT><A HREF=\"4\">four</A>\n</DL>\n"),
            "[Work]\n  one <1>\n  two <2>\n[\xc3\x84rger]\n  three <3>\n[\xc3\xa4rger]\n  four <4>\n");
  // A heading without links below it is kept as an empty folder where it
  // stood, made only once every link has its folder, so that it changes
  // neither where later links of the same name go nor the order of checking.
  EXPECT_EQ(ScanAndDescribe("<DT><H3>Empty</H3>\n<DL><p>\n</DL><p>\n<DT><H3>Deep</H3>\n<DL><p>\n"
                            "<DT><H3>Deeper</H3>\n<DL><p>\n<DT><A HREF=\"d\">d</A>\n</DL><p>\n</DL><p>\n"),
            "[Deep]\n  [Deeper]\n    d <d>\n[Empty]\n");
}

TEST(ReadBookmarkFile, ItemsThatDoNotFitAreSkippedOneByOne) {
  // No greater-than sign after an anchor's quote: the item is dropped and
  // the scan goes on from just after its DT tag.
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"u\""), "");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"u\">no end"), "");
  EXPECT_EQ(ScanAndDescribe("<DT><H3 no end"), "");
  EXPECT_EQ(ScanAndDescribe("<DT><H3>F<DT><A HREF=\"u\">t</A>"), "[F]\n  t <u>\n");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"<DT><A HREF=\"u\">t</A>"), "t <<DT><A HREF=>\n");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF="), "");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\""), "");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"\""), "");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"\">"), "");
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"\"><"), " <>\n");
  EXPECT_EQ(ScanAndDescribe("<DT><A"), "");
  EXPECT_EQ(ScanAndDescribe("<DT><"), "");
  EXPECT_EQ(ScanAndDescribe("<DT>"), "");
  EXPECT_EQ(ScanAndDescribe("x<DT>><"), "[]\n");  // a heading with an empty name and no link
}

// A zero byte is text like any other: nothing after it is lost, and it comes
// back when the file is written.
TEST(ReadBookmarkFile, AZeroByteLosesNothing) {
  using namespace std::string_literals;
  EXPECT_EQ(ScanAndDescribe("<DT><A HREF=\"a\">A</A>\0<DT><A HREF=\"b\">B</A>"s), "A <a>\nB <b>\n");
  BookmarkFolder root;
  ScanBookmarkContent("<DT><A HREF=\"a\">A\0z</A>\n<DT><A HREF=\"c\">C</A>"s, root);
  ASSERT_EQ(root.links.size(), 2u);
  EXPECT_EQ(root.links[0].title, u"A\0z"s);
  EXPECT_NE(BookmarkFileBytes(root).find("A\0z</A>"s), std::string::npos);
  // A UTF-16 file has a zero byte after its first character.
  std::string utf16;
  for (char c : std::string("<DT><A HREF=\"a\">A</A>")) utf16 += std::string(1, c) + '\0';
  EXPECT_EQ(ScanAndDescribe("\xff\xfe"s + utf16), "");
}

TEST(ReadBookmarkFile, MalformedUtf8IsReplacedNotDropped) {
  BookmarkFolder root;
  const std::string content = "<DT><H3>\xff\\\xc3</H3>\n<DT><A HREF=\"http://\xe2\x82/\">t\xed\xa0\x80!\xf4\x90\x80\x80</A>";
  ScanBookmarkContent(content, root);
  ASSERT_EQ(root.folders.size(), 1u);
  EXPECT_EQ(root.folders[0].name, u"\ufffd\\\ufffd");
  ASSERT_EQ(root.folders[0].links.size(), 1u);
  const BookmarkLink& link = root.folders[0].links[0];
  EXPECT_EQ(link.url, u"http://\ufffd/");
  EXPECT_EQ(link.title, u"t\ufffd\ufffd\ufffd!\ufffd\ufffd\ufffd\ufffd");
  // Written back, the bytes are the ones that were read; a fixed URL is new
  // text and is written as such.
  const std::string bytes = BookmarkFileBytes(root);
  EXPECT_NE(bytes.find(">\xff\\\xc3</H3>"), std::string::npos);
  EXPECT_NE(bytes.find("HREF=\"http://\xe2\x82/\""), std::string::npos);
  EXPECT_NE(bytes.find(">t\xed\xa0\x80!\xf4\x90\x80\x80</A>"), std::string::npos);
  root.folders[0].links[0].url = u"http://\ufffd";
  EXPECT_NE(BookmarkFileBytes(root).find("HREF=\"http://\xef\xbf\xbd\""), std::string::npos);
}

TEST(ReadBookmarkFile, LongItemsAreReadWhole) {
  std::string url = "http://long.example/" + std::string(5000, 'u');
  std::string title(20000, 't');
  std::string folder(3000, 'f');
  std::string content;
  for (int level = 0; level < 5; ++level) content += "<DT><H3>" + folder + "</H3>\n<DL><p>\n";
  content += "<DT><A HREF=\"" + url + "\">" + title + "</A>\n";
  BookmarkFolder root;
  ScanBookmarkContent(content, root);
  const BookmarkFolder* f = &root;
  for (int level = 0; level < 5; ++level) {
    ASSERT_EQ(f->folders.size(), 1u);
    f = &f->folders[0];
    EXPECT_EQ(f->name.size(), folder.size());
  }
  ASSERT_EQ(f->links.size(), 1u);
  EXPECT_EQ(f->links[0].url, text::AsciiWiden(url));
  EXPECT_EQ(f->links[0].title, text::AsciiWiden(title));
}

}  // namespace
