#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

#include "favorites_fixture.h"
#include "stores/favorites_names.h"

namespace fs = std::filesystem;

namespace {

// Every file and folder below `root`, as paths relative to it.
std::set<std::string> Listing(const std::string& root) {
  std::set<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    out.insert(fs::relative(e.path(), root).generic_string() + (e.is_directory() ? "/" : ""));
  return out;
}

BookmarkFolder Folder(std::u16string name) {
  BookmarkFolder f;
  f.name = std::move(name);
  return f;
}

}  // namespace

TEST(FavoritesWriter, ReadsBackTheTreeItWrote) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  fs::create_directories(fav);
  BookmarkTree tree;
  BookmarkFolder news = Folder(u"News");
  BookmarkFolder tech = Folder(u"Tech.Daily");
  tech.links.push_back(Link(u"Site v1.2", u"http://tech.test/?a=b", Keep));
  news.folders.push_back(tech);
  news.links.push_back(Link(u"Headlines", u"http://news.test/"));
  BookmarkFolder scripts = Folder(u"Ελληνικά 中文 😀");
  scripts.links.push_back(Link(u"Καλημέρα 书签 🦜", u"http://\u4E2D.test/\u03B1"));
  BookmarkFolder deleted = Folder(u"Deleted Bookmarks");
  deleted.links.push_back(Link(u"Gone", u"http://gone.test/", Delete));
  tree.folders = {news, scripts, deleted};
  tree.links.push_back(Link(u"Fixed", u"http://fixed.test", Fix));
  std::u16string longUrl = u"http://long.test/" + std::u16string(1500, u'l');
  tree.links.push_back(Link(u"Long", longUrl));

  std::u16string reason;
  ASSERT_TRUE(WriteFavorites(dir.file16("fav"), tree, &reason)) << U8(reason);
  EXPECT_TRUE(FileExists(fav + "/News/Tech.Daily/Site v1.2.URL"));
  EXPECT_EQ(ReadFileBytes(fav + "/Fixed.URL"), "[InternetShortcut]\r\nURL=http://fixed.test\r\n");

  EXPECT_EQ(Dump(ReadFavorites(dir.file16("fav"))),
            "+/Deleted Bookmarks\n/Deleted Bookmarks|Gone|http://gone.test/\n"
            "+/News\n+/News/Tech.Daily\n/News/Tech.Daily|Site v1.2|http://tech.test/?a=b\n"
            "/News|Headlines|http://news.test/\n"
            "+/Ελληνικά 中文 😀\n/Ελληνικά 中文 😀|Καλημέρα 书签 🦜|http://中.test/α\n"
            "|Fixed|http://fixed.test\n"
            "|Long|" + U8(longUrl) + "\n");

  // Writing the same tree again replaces, rather than adds to, the shortcuts.
  ASSERT_TRUE(WriteFavorites(dir.file16("fav/"), tree, &reason)) << U8(reason);
  EXPECT_EQ(ReadFavorites(dir.file16("fav")).links.size(), 2u);
}

TEST(FavoritesWriter, DeletesEveryShortcutFirstAndKeepsEverythingElse) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  for (const char* name : {"upper.URL", "lower.url", "Mixed.uRl", "Deep/er/x.Url", "Deep/.url"})
    PutFile(fav, name, Shortcut("http://old.test/"));
  for (const char* name : {"notes.txt", "desktop.ini", "x.url.bak", "Deep/er/keep.lnk", "url"})
    PutFile(fav, name, "kept");
  fs::create_directories(fav + "/Empty/Inner");

  BookmarkTree tree;
  tree.folders.push_back(Folder(u"Fresh folder"));
  tree.links.push_back(Link(u"New", u"http://new.test/"));
  ASSERT_TRUE(WriteFavorites(dir.file16("fav"), tree));
  EXPECT_EQ(Listing(fav), (std::set<std::string>{"notes.txt", "desktop.ini", "x.url.bak", "url", "Deep/", "Deep/er/",
                                                 "Deep/er/keep.lnk", "Empty/", "Empty/Inner/", "Fresh folder/",
                                                 "New.URL"}));
}

TEST(FavoritesWriter, NeverLosesALinkToANameClash) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  fs::create_directories(fav);
  PutFile(fav, "In the way", "a file where a folder should go");
  fs::create_directories(fav + "/Taken.URL");  // a folder where a shortcut should go

  BookmarkTree tree;
  BookmarkFolder same = Folder(u"Same.URL");  // sub-folders are written before links
  same.links.push_back(Link(u"Inside", u"http://inside.test/"));
  BookmarkFolder first = Folder(u"Dup"), second = Folder(u"dup");
  first.links.push_back(Link(u"One", u"http://d1.test/"));
  second.links.push_back(Link(u"One", u"http://d2.test/"));
  BookmarkFolder blocked = Folder(u"In the way");
  blocked.links.push_back(Link(u"Blocked", u"http://blocked.test/"));
  tree.folders = {same, first, second, blocked};
  tree.links = {Link(u"Same", u"http://s1.test/"), Link(u"Same", u"http://s2.test/"), Link(u"SAME", u"http://s3.test/"),
                Link(u"a/b", u"http://slash1.test/"), Link(u"a_b", u"http://slash2.test/"),
                Link(u"Taken", u"http://taken.test/")};
  ASSERT_TRUE(WriteFavorites(dir.file16("fav"), tree));
  EXPECT_EQ(Dump(ReadFavorites(dir.file16("fav"))),
            "+/Dup\n/Dup|One|http://d1.test/\n"
            "+/dup (2)\n/dup (2)|One|http://d2.test/\n"
            "+/In the way (2)\n/In the way (2)|Blocked|http://blocked.test/\n"
            "+/Same.URL\n/Same.URL|Inside|http://inside.test/\n"
            "|a_b (2)|http://slash2.test/\n"  // listed as Windows lists: " " before "."
            "|a_b|http://slash1.test/\n"
            "|Same (2)|http://s1.test/\n"
            "|Same (3)|http://s2.test/\n"
            "|SAME (4)|http://s3.test/\n"
            "|Taken (2)|http://taken.test/\n");
}

TEST(FavoritesWriter, KeepsEveryNameInsideTheFavoritesFolder) {
  TempDir dir;
  const std::string fav = dir.file("a/b/fav");
  fs::create_directories(fav);
  BookmarkTree tree;
  BookmarkFolder up = Folder(u"..");
  up.links.push_back(Link(u"../../escape", u"http://escape1.test/"));
  BookmarkFolder here = Folder(u".");
  here.links.push_back(Link(u"..", u"http://dotdot.test/"));
  BookmarkFolder nameless = Folder(u"");
  nameless.links.push_back(Link(u".", u"http://dot.test/"));
  BookmarkFolder trailing = Folder(u"Misc.");
  trailing.links.push_back(Link(u"", u"http://empty.test/"));
  BookmarkFolder backslash = Folder(u"..\\..\\x");
  backslash.links.push_back(Link(u"..\\..\\escape", u"http://escape2.test/"));
  tree.folders = {up, here, nameless, trailing, backslash};
  tree.links.push_back(Link(u"/etc/passwd", u"http://abs.test/"));
  tree.links.push_back(Link(std::u16string(u"nul\0byte", 8), u"http://nul.test/"));
  ASSERT_TRUE(WriteFavorites(text::Utf8ToUtf16(fav), tree));

  // Nothing outside the favorites folder, and every link read back.
  EXPECT_EQ(Listing(dir.path()).size(), Listing(fav).size() + 3);  // a/, a/b/, a/b/fav/
  EXPECT_EQ(Dump(ReadFavorites(text::Utf8ToUtf16(fav))),
            "+/.._.._x\n/.._.._x|.._.._escape|http://escape2.test/\n"
            "+/Misc_\n/Misc_|_|http://empty.test/\n"
            "+/_\n/_|__|http://dotdot.test/\n"
            "+/_ (2)\n/_ (2)|_|http://dot.test/\n"
            "+/__\n/__|.._.._escape|http://escape1.test/\n"
            "|nul_byte|http://nul.test/\n"
            "|_etc_passwd|http://abs.test/\n");
}

TEST(FavoritesWriter, ShortensNamesTheFileSystemRefuses) {
  TempDir dir;
  BookmarkTree tree;
  tree.folders.push_back(Folder(std::u16string(300, u'F')));
  tree.folders[0].links.push_back(Link(std::u16string(200, u'\u4E2D'), u"http://zh.test/"));  // 600 bytes
  tree.links = {Link(std::u16string(300, u'T'), u"http://t1.test/"), Link(std::u16string(300, u'T'), u"http://t2.test/"),
                Link(std::u16string(80, u'\u00E9'), u"http://short-enough.test/")};
  ASSERT_TRUE(WriteFavorites(dir.path16(), tree));
  EXPECT_EQ(Dump(ReadFavorites(dir.path16())),
            "+/" + std::string(60, 'F') + "\n/" + std::string(60, 'F') + "|" + U8(std::u16string(60, u'\u4E2D')) +
                "|http://zh.test/\n"
                "|" + std::string(60, 'T') + " (2)|http://t2.test/\n"
                "|" + std::string(60, 'T') + "|http://t1.test/\n"
                "|" + U8(std::u16string(80, u'\u00E9')) + "|http://short-enough.test/\n");
}

TEST(FavoritesWriter, MakesNamesSafeForStricterFileSystems) {
  // name, is a folder, plain form, strict form
  const std::tuple<std::u16string, bool, std::u16string, std::u16string> cases[] = {
      {u"What? <b>:\"x\"|*\t", false, u"What? <b>:\"x\"|*\t", u"What_ _b___x____"},
      {u"lpt1.txt", false, u"lpt1.txt", u"_lpt1.txt"},
      {u"COM10", false, u"COM10", u"COM10"},
      {u"Folder. ", true, u"Folder. ", u"Folder__"},
      {u"Folder..", true, u"Folder__", u"Folder__"},
      {u"Title.", false, u"Title.", u"Title."},
      {std::u16string(59, u'a') + u"\U0001F600", false, std::u16string(59, u'a') + u"\U0001F600",
       std::u16string(59, u'a')},  // a surrogate pair is never split
  };
  for (const auto& [name, folder, plain, strict] : cases) {
    EXPECT_EQ(SafeFileName(name, folder, false), plain) << U8(name);
    EXPECT_EQ(SafeFileName(name, folder, true), strict) << U8(name);
  }
}

TEST(FavoritesWriter, RefusesToWriteWithoutAFavoritesFolder) {
  TempDir dir;
  BookmarkTree tree;
  tree.links.push_back(Link(u"X", u"http://x.test/"));
  // An empty path must not mean the current directory.
  const fs::path previous = fs::current_path();
  fs::create_directories(dir.file("cwd"));
  fs::current_path(dir.file("cwd"));
  std::u16string reason;
  EXPECT_FALSE(WriteFavorites(u"", tree, &reason));
  fs::current_path(previous);
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(Listing(dir.file("cwd")).empty());
  PutFile(dir.path(), "plain-file", "x");
  for (const char* path : {"missing", "plain-file"}) {
    reason.clear();
    EXPECT_FALSE(WriteFavorites(dir.file16(path), tree, &reason)) << path;
    EXPECT_FALSE(reason.empty()) << path;
  }
  EXPECT_EQ(Listing(dir.path()), (std::set<std::string>{"cwd/", "plain-file"}));
}

// A shortcut read from the folder goes back as it was read (icon, dates,
// other sections), with only its URL changed where the link was fixed; text
// from a bookmark file is written as the characters it stands for.
TEST(FavoritesWriter, RewritesShortcutsWithTheirOtherKeysAndOnlyTheFixedUrlChanged) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  const std::string kept =
      "[DEFAULT]\r\nBASEURL=http://kept.test/page\r\n[InternetShortcut]\r\nURL=http://kept.test/page\r\n"
      "IconFile=http://kept.test/favicon.ico\r\nIconIndex=1\r\n"
      "[{000214A0-0000-0000-C000-000000000046}]\r\nProp3=19,11\r\n";
  PutFile(fav, "Work/Kept.url", kept);
  PutFile(fav, "Work/Fixed.url", "[InternetShortcut]\r\nURL=http://fixed.test/deep/page\r\nHotKey=0\r\n");
  BookmarkTree tree = ReadFavorites(dir.file16("fav"));
  ASSERT_EQ(tree.folders.size(), 1u);
  ASSERT_EQ(tree.folders[0].links.size(), 2u);
  BookmarkLink& fixed = tree.folders[0].links[0].title == u"Fixed" ? tree.folders[0].links[0] : tree.folders[0].links[1];
  fixed.status = Fix;
  fixed.url = u"http://fixed.test";
  tree.links.push_back(Link(u"AT&amp;T &lt;home&gt;", u"http://att.test/?a=1&amp;b=2"));

  std::u16string reason;
  ASSERT_TRUE(WriteFavorites(dir.file16("fav"), tree, &reason)) << U8(reason);
  EXPECT_EQ(ReadFileBytes(fav + "/Work/Kept.URL"), kept);
  EXPECT_EQ(ReadFileBytes(fav + "/Work/Fixed.URL"), "[InternetShortcut]\r\nURL=http://fixed.test\r\nHotKey=0\r\n");
#ifdef _WIN32
  const std::string decoded = "AT&T _home_.URL";  // Windows takes no < or > in a name
#else
  const std::string decoded = "AT&T <home>.URL";
#endif
  EXPECT_EQ(ReadFileBytes(fav + "/" + decoded), "[InternetShortcut]\r\nURL=http://att.test/?a=1&b=2\r\n");
}
