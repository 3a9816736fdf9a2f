#include <gtest/gtest.h>

#include <filesystem>

#include "read_helpers.h"
#include "support/expected_bookmark_file.h"
#include "support/temp_dir.h"

namespace {

const std::string kHeader = kExpectedBookmarkHeader;

BookmarkLink Link(std::u16string url, std::u16string title) {
  BookmarkLink l;
  l.url = std::move(url);
  l.title = std::move(title);
  return l;
}

TEST(WriteBookmarkFile, WritesTheExactBytesOfTheFormat) {
  ASSERT_EQ(kHeader.size(), 267u);
  TempDir dir;
  BookmarkFolder empty;
  empty.name = u"Bookmarks";  // the root's own name is never written
  ASSERT_TRUE(WriteBookmarkFile(dir.file16("empty.html"), empty));
  std::string bytes = ReadFileBytes(dir.file("empty.html"));
  EXPECT_EQ(bytes.size(), 282u);
  EXPECT_EQ(bytes, kHeader + "</DL><p>\r\n</DL>");

  BookmarkFolder root;
  root.links.push_back(Link(u"http://r.example/?a=\"b\"", u"R <1> & \u00e9\U0001F426"));
  root.folders.resize(2);
  root.folders[0].name = u"Work \u20ac";
  root.folders[0].folders.resize(1);
  root.folders[0].folders[0].name = u"Empty";
  root.folders[0].links.push_back(Link(u"http://w.example/", u"W"));
  root.folders[0].links.back().status = Delete;  // every link is written, whatever its status
  root.folders[1].name = u"";
  ASSERT_TRUE(WriteBookmarkFile(dir.file16("tree.html"), root));
  EXPECT_EQ(ReadFileBytes(dir.file("tree.html")),
            kHeader +
                "<DT><H3 FOLDED ADD_DATE=\"\">Work \xe2\x82\xac</H3>\r\n<DL><p>\r\n"
                "<DT><H3 FOLDED ADD_DATE=\"\">Empty</H3>\r\n<DL><p>\r\n"
                "</DL><p>\r\n"
                "<DT><A HREF=\"http://w.example/\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\">W</A>\r\n"
                "</DL><p>\r\n"
                "<DT><H3 FOLDED ADD_DATE=\"\"></H3>\r\n<DL><p>\r\n"
                "</DL><p>\r\n"
                "<DT><A HREF=\"http://r.example/?a=\"b\"\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\">"
                "R <1> & \xc3\xa9\xf0\x9f\x90\xa6</A>\r\n"
                "</DL><p>\r\n"
                "</DL>");
  EXPECT_EQ(BookmarkFileBytes(root), ReadFileBytes(dir.file("tree.html")));
}

TEST(WriteBookmarkFile, FormatsFoldersAndLinksAsText) {
  const std::u16string unpaired(1, char16_t{0xD800});
  BookmarkLink link = Link(u"u\U0001F426", u"t" + unpaired);
  EXPECT_EQ(FormatLink(link), u"<DT><A HREF=\"u\U0001F426\" ADD_DATE=\"\" LAST_VISIT=\"\" LAST_MODIFIED=\"\">t" +
                                  unpaired + u"</A>\r\n");
  BookmarkFolder folder;
  folder.name = u"N";
  folder.links.push_back(link);
  folder.folders.resize(1);
  EXPECT_EQ(FormatFolder(folder, false), u"<DT><H3 FOLDED ADD_DATE=\"\">N</H3>\r\n<DL><p>\r\n"
                                         u"<DT><H3 FOLDED ADD_DATE=\"\"></H3>\r\n<DL><p>\r\n</DL><p>\r\n" +
                                             FormatLink(link) + u"</DL><p>\r\n");
  EXPECT_EQ(FormatFolder(folder, true), FormatFolder(folder, false).substr(44));
  // On disk the body is the UTF-8 form of that text (an unpaired surrogate
  // becomes U+FFFD).
  BookmarkFolder root;
  root.folders.push_back(folder);
  EXPECT_EQ(BookmarkFileBytes(root), kHeader + text::Utf16ToUtf8(FormatFolder(root, true)) + "</DL>");
  EXPECT_NE(BookmarkFileBytes(root).find("t\xef\xbf\xbd</A>"), std::string::npos);
}

TEST(WriteBookmarkFile, WhatIsWrittenReadsBackTheSame) {
  BookmarkFolder root;
  root.links.push_back(Link(u"http://root.example/", u"Root link"));
  BookmarkFolder& a = root.folders.emplace_back();
  a.name = u"A \u00e9";
  a.links.push_back(Link(u"http://a1/", u"A1 &amp; \U0001F426"));
  a.links.push_back(Link(u"", u""));
  BookmarkFolder& b = a.folders.emplace_back();
  b.name = u"B";
  for (int i = 0; i < 50; ++i) b.links.push_back(Link(u"http://b/" + text::AsciiWiden(std::to_string(i)), u"b"));
  BookmarkFolder& c = root.folders.emplace_back();
  c.name = u"C";
  c.links.push_back(Link(u"http://c/", u"C1"));
  BookmarkFolder& longOne = root.folders.emplace_back();  // long items are written and read whole
  longOne.name = std::u16string(5000, u'n');
  longOne.links.push_back(Link(u"http://x/" + std::u16string(20000, u'u'), std::u16string(20000, u't')));
  root.folders.emplace_back().name = u"Empty";

  TempDir dir;
  ASSERT_TRUE(WriteBookmarkFile(dir.file16("b.html"), root));
  BookmarkFolder back;
  ReadBookmarkFile(dir.file16("b.html"), back);
  EXPECT_EQ(Describe(back), Describe(root));
}

TEST(WriteBookmarkFile, AFailedWriteLeavesTheTargetAsItWasAndSaysWhy) {
  TempDir dir;
  BookmarkFolder root;
  root.links.push_back(Link(u"http://x/", u"x"));
  auto entries = [&] {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };

  // A folder that does not exist.
  std::u16string reason;
  EXPECT_FALSE(WriteBookmarkFile(dir.file16("missing/b.html"), root, &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(FileExists(dir.file("missing")));

  // A target that is a folder.
  std::filesystem::create_directory(dir.file("folder.html"));
  WriteFileBytes(dir.file("folder.html/inside"), "keep");
  reason.clear();
  EXPECT_FALSE(WriteBookmarkFile(dir.file16("folder.html"), root, &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(ReadFileBytes(dir.file("folder.html/inside")), "keep");

  // A path through a file.
  WriteFileBytes(dir.file("plain"), "old");
  EXPECT_FALSE(WriteBookmarkFile(dir.file16("plain/b.html"), root, nullptr));
  EXPECT_EQ(ReadFileBytes(dir.file("plain")), "old");

  // No temporary file is left behind by any of them.
  EXPECT_EQ(entries(), (std::vector<std::string>{"folder.html", "plain"}));

  // A successful write replaces the old content whole.
  WriteFileBytes(dir.file("b.html"), std::string(100000, 'o'));
  ASSERT_TRUE(WriteBookmarkFile(dir.file16("b.html"), root, &reason));
  EXPECT_EQ(ReadFileBytes(dir.file("b.html")), BookmarkFileBytes(root));
  EXPECT_EQ(entries(), (std::vector<std::string>{"b.html", "folder.html", "plain"}));
}

}  // namespace
