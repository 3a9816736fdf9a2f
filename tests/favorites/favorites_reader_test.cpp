#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "favorites_fixture.h"

TEST(FavoritesReader, TakesTitlesFromTheNameUpToTheLastDotOfThePath) {
  TempDir dir;
  const std::string fav = dir.file("Favorites");
  PutFile(fav, "Example.url", Shortcut("http://example.test/"));
  PutFile(fav, "a.b.url", Shortcut("http://ab.test/"));
  PutFile(fav, "Work/Tools/Tool.URL", Shortcut("http://tool.test/"));
  // Without an extension the cut falls in the folder name: titled "a", in the root.
  PutFile(fav, "c.d/Example", Shortcut("http://cd.test/"));
  PutFile(fav, "NoExtension", Shortcut("http://noext.test/"));
  PutFile(fav, ".url", Shortcut("http://empty-title.test/"));
  // Sub-folders where the listing meets them, in the order Windows lists a
  // folder (without regard to case), whatever the file system's order.
  EXPECT_EQ(Dump(ReadFavorites(dir.file16("Favorites"))),
            "+/Work\n"
            "+/Work/Tools\n"
            "/Work/Tools|Tool|http://tool.test/\n"
            "||http://empty-title.test/\n"
            "|a.b|http://ab.test/\n"
            "|c|http://cd.test/\n"
            "|Example|http://example.test/\n"
            "|NoExtension|http://noext.test/\n");
}

TEST(FavoritesReader, NeverCutsTitlesInsideTheFavoritesPathItself) {
  // Dots in the favorites path (".wine", "john.smith") belong to no link.
  TempDir dir;
  const std::string fav = dir.file(".wine/users/john.smith/Favorites");
  PutFile(fav, "NoExtension", Shortcut("http://a.test/"));
  PutFile(fav, "Sub/Other", Shortcut("http://b.test/"));
  PutFile(fav, "x.y/Third", Shortcut("http://c.test/"));
  EXPECT_EQ(Dump(ReadFavorites(text::Utf8ToUtf16(fav))),
            "+/Sub\n"
            "/Sub|Other|http://b.test/\n"
            "|NoExtension|http://a.test/\n"
            "|x|http://c.test/\n");
}

TEST(FavoritesReader, ReadsOnlyFilesWithTheShortcutValue) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  PutFile(fav, "desktop.ini", "[.ShellClassInfo]\r\nLocalizedResourceName=@shell32.dll,-12693\r\n");
  PutFile(fav, "NoUrl.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  PutFile(fav, "EmptyUrl.url", "[InternetShortcut]\r\nURL=\r\n");
  PutFile(fav, "WrongSection.url", "[Other]\r\nURL=http://no.test/\r\n");
  PutFile(fav, "Binary.url", std::string("\0\x01\x02\xff", 4));
  PutFile(fav, "notes.txt", Shortcut("http://text.test/"));
  PutFile(fav, "Only folders/Deeper/empty.txt", "nothing");
  EXPECT_EQ(Dump(ReadFavorites(dir.file16("fav"))), "|notes|http://text.test/\n");

  // No links at all, and no folder: both give an empty tree.
  TempDir empty;
  PutFile(empty.path(), "a/b/c.txt", "x");
  EXPECT_EQ(Dump(ReadFavorites(empty.path16())), "");
  EXPECT_EQ(Dump(ReadFavorites(empty.file16("missing"))), "");
  EXPECT_EQ(Dump(ReadFavorites(u"")), "");
}

TEST(FavoritesReader, KeepsLongUrlsAndEveryScriptWhole) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  std::string longUrl = "http://long.test/" + std::string(1200 - 17, 'q');
  ASSERT_EQ(longUrl.size(), 1200u);
  PutFile(fav, "Long.url", Shortcut(longUrl));
  PutFile(fav, "Ελληνικά/Καλημέρα.url", Shortcut("http://gr.test/"));
  PutFile(fav, "中文/书签.url", Shortcut("http://zh.test/\xE4\xB8\xAD"));
  PutFile(fav, "😀 emoji/🦜.url", Shortcut("http://emoji.test/"));
  BookmarkTree tree = ReadFavorites(dir.file16("fav"));
  ASSERT_EQ(tree.links.size(), 1u);
  EXPECT_EQ(U8(tree.links[0].url), longUrl);
  tree.links.clear();
  // Listed by UTF-16 units: Greek, then Chinese, then the emoji's surrogates.
  EXPECT_EQ(Dump(tree),
            "+/Ελληνικά\n/Ελληνικά|Καλημέρα|http://gr.test/\n"
            "+/中文\n/中文|书签|http://zh.test/中\n"
            "+/😀 emoji\n/😀 emoji|🦜|http://emoji.test/\n");
}

TEST(FavoritesReader, GivesTheSameTreeWithATrailingSeparator) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  PutFile(fav, "Root.url", Shortcut("http://r.test/"));
  PutFile(fav, "News/Tech/Site.url", Shortcut("http://s.test/"));
  std::string plain = Dump(ReadFavorites(dir.file16("fav")));
  EXPECT_EQ(Dump(ReadFavorites(dir.file16("fav/"))), plain);
  EXPECT_EQ(Dump(ReadFavorites(dir.file16("fav//"))), plain);
  EXPECT_EQ(plain, "+/News\n+/News/Tech\n/News/Tech|Site|http://s.test/\n|Root|http://r.test/\n");
}

TEST(FavoritesReader, WalksLinkedFoldersButNeverInCircles) {
  TempDir dir;
  const std::string fav = dir.file("fav");
  PutFile(fav, "Sub/Inner.url", Shortcut("http://inner.test/"));
  ASSERT_EQ(::symlink("..", (fav + "/Sub/Loop").c_str()), 0);
  ASSERT_EQ(::symlink(".", (fav + "/Self").c_str()), 0);
  std::filesystem::create_directories(dir.file("elsewhere"));
  PutFile(dir.path(), "elsewhere/Outside.url", Shortcut("http://outside.test/"));
  ASSERT_EQ(::symlink("../elsewhere", (fav + "/Linked").c_str()), 0);
  EXPECT_EQ(Dump(ReadFavorites(dir.file16("fav"))),
            "+/Linked\n/Linked|Outside|http://outside.test/\n"
            "+/Sub\n/Sub|Inner|http://inner.test/\n");
}
