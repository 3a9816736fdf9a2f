#include <gtest/gtest.h>

#include "model/apply_results.h"
#include "model/bookmark_tree.h"

namespace {

BookmarkLink Link(const char16_t* title, LinkStatus status, const char16_t* url = u"http://h/p") {
  BookmarkLink l;
  l.url = url;
  l.title = title;
  l.status = status;
  return l;
}

std::u16string Titles(const std::vector<BookmarkLink>& links) {
  std::u16string out;
  for (const BookmarkLink& l : links) out += l.title + u" ";
  return out;
}

TEST(FixUrl, CutsAtTheFirstSlashAfterTheSchemeSeparator) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"scheme://host/dir/page.htm", u"scheme://host"},
      {u"scheme://host/", u"scheme://host"},
      {u"scheme://host", u"scheme://host"},
      {u"scheme://host:8080/a", u"scheme://host:8080"},
      {u"scheme://host?x=/y", u"scheme://host?x="},
      {u"file:///C:/dir/page.htm", u"file://"},
      {u"host/dir/page.htm", u"host"},
      {u"about:blank", u"about:blank"},
      {u"", u""},
      {u"/", u""},
      {u"://", u"://"},
      {u":///x", u"://"},
      {u"http://user:pw@h\u00e9st/\u00e9", u"http://user:pw@h\u00e9st"},
      {u"a/b://c/d", u"a/b://c"},  // "://" is searched first, wherever it stands
  };
  for (const auto& [in, out] : cases) {
    std::u16string url = in;
    FixUrl(url);
    EXPECT_EQ(url, out) << std::string(in.begin(), in.end());
  }
}

TEST(ApplyResults, AddsANewDeletedBookmarksFolderLastOnEveryRun) {
  BookmarkFolder root;
  ApplyResults(root);
  ASSERT_EQ(root.folders.size(), 1u);
  EXPECT_EQ(root.folders[0].name, u"Deleted Bookmarks");
  EXPECT_TRUE(root.folders[0].links.empty());

  // An existing folder of that name is an ordinary folder: a second one is added.
  root.folders[0].links.push_back(Link(u"old", Keep));
  root.links.push_back(Link(u"gone", Delete));
  ApplyResults(root);
  ASSERT_EQ(root.folders.size(), 2u);
  EXPECT_EQ(Titles(root.folders[0].links), u"old ");
  EXPECT_EQ(root.folders[1].name, u"Deleted Bookmarks");
  EXPECT_EQ(Titles(root.folders[1].links), u"gone ");
}

TEST(ApplyResults, MovesDeletedLinksInCollectionOrderAndFixesInPlace) {
  BookmarkFolder root;
  root.links = {Link(u"R1", Delete), Link(u"R2", Keep), Link(u"R3", Delete)};
  root.folders.resize(2);
  root.folders[0].name = u"A";
  root.folders[0].links = {Link(u"A1", Delete), Link(u"A2", Delete), Link(u"A3", Delete), Link(u"A4", Unchecked),
                           Link(u"A5", Fix, u"http://a.example/x/y"), Link(u"A6", Delete)};
  root.folders[1].name = u"B";
  root.folders[1].folders.resize(1);
  root.folders[1].folders[0].links = {Link(u"D1", Delete)};
  root.folders[1].links = {Link(u"B1", Keep, u"http://b/keep"), Link(u"B2", Delete)};

  ApplyResults(root);

  ASSERT_EQ(root.folders.size(), 3u);
  const BookmarkFolder& deleted = root.folders[2];
  EXPECT_EQ(deleted.name, u"Deleted Bookmarks");
  EXPECT_EQ(Titles(deleted.links), u"A1 A2 A3 A6 D1 B2 R1 R3 ");
  for (const BookmarkLink& l : deleted.links) EXPECT_EQ(l.status, Unchecked);
  EXPECT_TRUE(deleted.folders.empty());

  EXPECT_EQ(Titles(root.folders[0].links), u"A4 A5 ");
  EXPECT_EQ(root.folders[0].links[1].url, u"http://a.example");
  EXPECT_EQ(root.folders[0].links[1].status, Fix);
  EXPECT_EQ(root.folders[0].links[0].url, u"http://h/p");
  EXPECT_EQ(Titles(root.folders[1].links), u"B1 ");
  EXPECT_EQ(root.folders[1].links[0].url, u"http://b/keep");
  EXPECT_EQ(root.folders[1].links[0].status, Keep);
  // Emptied folders stay.
  ASSERT_EQ(root.folders[1].folders.size(), 1u);
  EXPECT_TRUE(root.folders[1].folders[0].links.empty());
  EXPECT_EQ(Titles(root.links), u"R2 ");
}

}  // namespace
