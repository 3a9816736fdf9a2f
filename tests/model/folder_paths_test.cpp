#include <gtest/gtest.h>

#include "model/bookmark_tree.h"

namespace {

BookmarkLink LinkAt(const char16_t* path) {
  BookmarkLink l;
  l.folderPath = path;
  return l;
}

TEST(FindOrCreateFolder, PathsThatNameTheStartingFolder) {
  for (const char16_t* p : {u"", u"\\", u".", u"\\\\\\"}) {
    BookmarkFolder root;
    BookmarkLink l = LinkAt(p);
    EXPECT_EQ(&FindOrCreateFolder(root, l), &root);
    EXPECT_TRUE(root.folders.empty());
  }
}

TEST(FindOrCreateFolder, SeparatorsAtFrontAndDoubledAreIgnored) {
  BookmarkFolder root;
  BookmarkLink a = LinkAt(u"\\Work\\"), b = LinkAt(u"Work\\\\Old\\"), c = LinkAt(u"Work\\Old");
  BookmarkFolder& work = FindOrCreateFolder(root, a);
  BookmarkFolder& old1 = FindOrCreateFolder(root, b);
  BookmarkFolder& old2 = FindOrCreateFolder(root, c);
  ASSERT_EQ(root.folders.size(), 1u);
  EXPECT_EQ(&work, &root.folders[0]);
  EXPECT_EQ(work.name, u"Work");
  ASSERT_EQ(work.folders.size(), 1u);
  EXPECT_EQ(&old1, &work.folders[0]);
  EXPECT_EQ(&old2, &old1);
}

TEST(FindOrCreateFolder, DotIsAFolderNameInsideALongerPath) {
  BookmarkFolder root;
  BookmarkLink l = LinkAt(u".\\Work\\");
  BookmarkFolder& f = FindOrCreateFolder(root, l);
  ASSERT_EQ(root.folders.size(), 1u);
  EXPECT_EQ(root.folders[0].name, u".");
  EXPECT_EQ(&f, &root.folders[0].folders.at(0));
  EXPECT_TRUE(l.folderPath.empty());  // consumed

  // A lone "." left at the end names the folder reached so far; with a
  // separator after it, it is a folder of its own.
  BookmarkFolder other;
  BookmarkLink tail = LinkAt(u"Work\\."), named = LinkAt(u"Work\\.\\");
  BookmarkFolder& work = FindOrCreateFolder(other, tail);
  EXPECT_EQ(&work, &other.folders.at(0));
  EXPECT_TRUE(work.folders.empty());
  BookmarkFolder& dot = FindOrCreateFolder(other, named);
  EXPECT_EQ(other.folders.at(0).folders.at(0).name, u".");
  EXPECT_EQ(&dot, &other.folders[0].folders[0]);
}

TEST(FindOrCreateFolder, OnlyAsciiLettersMatchWithoutCase) {
  BookmarkFolder root;
  BookmarkLink a = LinkAt(u"Work\\"), b = LinkAt(u"WORK\\"), c = LinkAt(u"\u00c4rger\\"), d = LinkAt(u"\u00e4rger\\");
  FindOrCreateFolder(root, a);
  EXPECT_EQ(&FindOrCreateFolder(root, b), &root.folders[0]);
  FindOrCreateFolder(root, c);
  FindOrCreateFolder(root, d);
  ASSERT_EQ(root.folders.size(), 3u);
  EXPECT_EQ(root.folders[2].name, u"\u00e4rger");
}

TEST(FindOrCreateFolder, FirstMatchingSiblingWinsAndNewFoldersGoLast) {
  BookmarkFolder root;
  root.folders.resize(2);
  root.folders[0].name = u"dup";
  root.folders[1].name = u"DUP";
  BookmarkLink a = LinkAt(u"Dup\\"), b = LinkAt(u"Zeta\\"), c = LinkAt(u"Alpha\\");
  EXPECT_EQ(&FindOrCreateFolder(root, a), &root.folders[0]);
  FindOrCreateFolder(root, b);
  FindOrCreateFolder(root, c);
  ASSERT_EQ(root.folders.size(), 4u);
  EXPECT_EQ(root.folders[2].name, u"Zeta");
  EXPECT_EQ(root.folders[3].name, u"Alpha");
}

TEST(CollectLinks, SubFoldersBeforeOwnLinksDepthFirst) {
  BookmarkFolder root;
  root.links = {{u"r1", u"R1"}, {u"r2", u"R2"}};
  root.folders.resize(2);
  root.folders[0].links = {{u"a1", u"A1"}};
  root.folders[1].folders.resize(1);
  root.folders[1].folders[0].links = {{u"d1", u"D1"}};
  root.folders[1].links = {{u"b1", u"B1"}};
  CheckQueue q;
  EXPECT_EQ(CollectLinks(root, q), 5u);
  std::u16string order;
  for (BookmarkLink* l : q.links) order += l->title + u" ";
  EXPECT_EQ(order, u"A1 D1 B1 R1 R2 ");
  EXPECT_EQ(q.links[0], &root.folders[0].links[0]);
}

TEST(CollectLinks, EmptyTreesCountZero) {
  BookmarkFolder root;
  CheckQueue q;
  EXPECT_EQ(CollectLinks(root, q), 0u);
  root.folders.resize(3);
  root.folders[1].folders.resize(2);
  EXPECT_EQ(CollectLinks(root, q), 0u);
  EXPECT_TRUE(q.links.empty());
}

}  // namespace
