// Firefox's places database: what is read, what a save changes and what it
// keeps, and what is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/apply_results.h"
#include "platform/sqlite.h"
#include "platform/text.h"
#include "read_helpers.h"
#include "stores/places.h"
#include "support/browser_stores.h"
#include "support/temp_dir.h"

namespace {

const PlacesEntries kSample = {
    {"in:menu", ""},
    {"folder:Work", ""},
    {"Fine", "https://ok.example/page"},
    {"---", ""},
    {"Gone <for good> & \"quoted\"", "https://gone.example/a/b?x=1&y=\"2\""},
    {"visit", ""},
    {"end", ""},
    {"Recent", "place:sort=8&maxResults=10"},
    {"folder:Empty", ""},
    {"end", ""},
    {"in:toolbar", ""},
    {"Nobody", "http://nobody.example:8080/x"},
    {"tag:news", ""},
    {"keyword:nb", ""},
    {"Caf\xC3\xA9", "https://www.example.com/caf%C3%A9"},
    {"in:unfiled", ""},
    {"Other", "https://other.example/"},
};

std::u16string U16(const std::string& s) { return text::Utf8ToUtf16(s); }

BookmarkLink* FindLink(BookmarkFolder& folder, const std::u16string& title) {
  for (BookmarkLink& link : folder.links) {
    if (link.title == title) return &link;
  }
  for (BookmarkFolder& sub : folder.folders) {
    if (BookmarkLink* found = FindLink(sub, title)) return found;
  }
  return nullptr;
}

BookmarkFolder Read(const std::string& path) {
  BookmarkFolder root;
  std::u16string problem;
  EXPECT_TRUE(ReadPlaces(U16(path), root, &problem)) << text::Utf16ToUtf8(problem);
  return root;
}

std::string Save(const std::string& path, const BookmarkFolder& root, const std::string& backup,
                 PlacesSaveResult expected = PlacesSaveResult::Saved) {
  std::u16string problem;
  EXPECT_EQ(SavePlaces(U16(path), root, U16(backup), &problem), expected) << text::Utf16ToUtf8(problem);
  return text::Utf16ToUtf8(problem);
}

TEST(PlacesReader, LoadsTheRootsAPersonSeesWithTheirItemsInOrder) {
  TempDir dir;
  MakePlacesDatabase(dir.file("places.sqlite"), kSample);
  BookmarkFolder root = Read(dir.file("places.sqlite"));
  EXPECT_EQ(Describe(root),
            "[Bookmarks Menu]\n"
            "  [Work]\n"
            "    Fine <https://ok.example/page>\n"
            "    Gone <for good> & \"quoted\" <https://gone.example/a/b?x=1&y=\"2\">\n"
            "  [Empty]\n"
            "  Recent <place:sort=8&maxResults=10>\n"
            "[Bookmarks Toolbar]\n"
            "  Nobody <http://nobody.example:8080/x>\n"
            "  Caf\xC3\xA9 <https://www.example.com/caf%C3%A9>\n"
            "[Other Bookmarks]\n"
            "  Other <https://other.example/>\n"
            "[Mobile Bookmarks]\n");
  // The text is the characters themselves, the order the database's, and
  // the separator keeps its place between the two links.
  const BookmarkFolder& work = root.folders[0].folders[0];
  EXPECT_EQ(work.links[1].stored->form, TextForm::Plain);
  EXPECT_EQ(work.links[0].order, 1u);
  ASSERT_EQ(work.separators.size(), 1u);
  EXPECT_EQ(work.separators[0].order, 2u);
  EXPECT_EQ(work.links[1].order, 3u);
  EXPECT_LT(root.folders[0].folders[0].order, root.folders[0].links[0].order);
  EXPECT_LT(root.folders[0].links[0].order, root.folders[0].folders[1].order);
  CheckQueue queue;
  EXPECT_EQ(CollectLinks(root, queue), 6u) << "tag entries are not bookmarks";
}

TEST(PlacesReader, ReadsASnapshotWhileFirefoxHoldsTheDatabase) {
  TempDir dir;
  const std::string path = dir.file("places.sqlite");
  MakePlacesDatabase(path, kSample);
  // Firefox keeps the database locked for itself, with recent changes still
  // in the write-ahead log.
  sqlite::Database firefox;
  ASSERT_TRUE(firefox.Open(U16(path), sqlite::OpenMode::ReadWrite));
  ASSERT_TRUE(firefox.Execute("PRAGMA locking_mode = EXCLUSIVE; PRAGMA wal_autocheckpoint = 0;"
                              "UPDATE moz_bookmarks SET title = 'Fine, renamed' WHERE title = 'Fine'"));
  ASSERT_TRUE(FileExists(path + "-wal"));
  const std::string mainBytes = ReadFileBytes(path), logBytes = ReadFileBytes(path + "-wal");

  BookmarkFolder root = Read(path);
  EXPECT_NE(FindLink(root, u"Fine, renamed"), nullptr) << Describe(root);
  EXPECT_EQ(ReadFileBytes(path), mainBytes);
  EXPECT_EQ(ReadFileBytes(path + "-wal"), logBytes);
  EXPECT_TRUE(firefox.Execute("UPDATE moz_bookmarks SET title = 'Fine' WHERE title = 'Fine, renamed'"))
      << "the running Firefox goes on writing";
}

TEST(PlacesWriter, ASaveWithNothingToRepairChangesNoRowAndTheBackupIsTheDatabase) {
  TempDir dir;
  const std::string path = dir.file("places.sqlite");
  MakePlacesDatabase(path, kSample);
  const std::vector<std::string> before = PlacesRows(path);
  BookmarkFolder root = Read(path);
  ApplyResults(root);  // nothing marked: only an empty "Deleted Bookmarks"
  Save(path, root, dir.file("places.sqlite.old"));
  EXPECT_EQ(PlacesRows(path), before);
  EXPECT_EQ(PlacesRows(dir.file("places.sqlite.old")), before);
  EXPECT_EQ(PlacesQuery(dir.file("places.sqlite.old"), "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

TEST(PlacesWriter, ARepairMovesAndFixesLinksAndKeepsTheDatabaseConsistent) {
  TempDir dir;
  const std::string path = dir.file("places.sqlite");
  MakePlacesDatabase(path, kSample);
  const std::vector<std::string> before = PlacesRows(path);
  BookmarkFolder root = Read(path);
  FindLink(root, u"Nobody")->status = Delete;
  FindLink(root, u"Gone <for good> & \"quoted\"")->status = Fix;
  FindLink(root, u"Caf\u00E9")->status = Fix;  // to a page the database has not seen
  FindLink(root, u"Fine")->status = Keep;
  ApplyResults(root);
  Save(path, root, dir.file("backup.sqlite"));

  EXPECT_EQ(PlacesQuery(path, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(PlacesRows(dir.file("backup.sqlite")), before);
  // The moved link sits in a new folder at the end of "Other Bookmarks",
  // and its old folder closes the gap.
  EXPECT_EQ(PlacesQuery(path,
                        "SELECT b.position, b.title, b.type, length(b.guid), b.syncStatus, b.syncChangeCounter "
                        "FROM moz_bookmarks b WHERE parent = 5 ORDER BY position"),
            (std::vector<std::string>{"0|Other|1|12|2|0", "1|Deleted Bookmarks|2|12|1|2"}));
  EXPECT_EQ(PlacesQuery(path,
                        "SELECT b.position, b.title, b.syncChangeCounter FROM moz_bookmarks b JOIN moz_bookmarks f "
                        "ON f.id = b.parent WHERE f.title = 'Deleted Bookmarks'"),
            std::vector<std::string>{"0|Nobody|1"});
  EXPECT_EQ(PlacesQuery(path, "SELECT position, title FROM moz_bookmarks WHERE parent = 3"),
            std::vector<std::string>{"0|Caf\xC3\xA9"});
  EXPECT_EQ(PlacesQuery(path, "SELECT syncChangeCounter FROM moz_bookmarks WHERE id IN (3, 5) ORDER BY id"),
            (std::vector<std::string>{"3", "3"}));
  // The fixed links point at their site roots; the new page rows carry what
  // Firefox computes for them, and its origin.
  EXPECT_EQ(PlacesQuery(path,
                        "SELECT b.title, h.url, h.rev_host, h.foreign_count, h.frecency, h.recalc_frecency, "
                        "o.prefix, o.host FROM moz_bookmarks b JOIN moz_places h ON h.id = b.fk "
                        "JOIN moz_origins o ON o.id = h.origin_id WHERE b.syncChangeCounter = 1 AND b.type = 1 "
                        "AND b.title != 'Nobody' ORDER BY b.id"),
            (std::vector<std::string>{"Gone <for good> & \"quoted\"|https://gone.example|elpmaxe.enog.|1|1|1|https://|gone.example",
                                      "Caf\xC3\xA9|https://www.example.com|moc.elpmaxe.www.|1|1|1|https://|www.example.com"}));
  // Every page's hash is Firefox's, and every page's count of references is
  // what refers to it: bookmarks, tag entries and keywords.
  EXPECT_EQ(PlacesQuery(path,
                        "SELECT url FROM moz_places h WHERE foreign_count != "
                        "(SELECT COUNT(*) FROM moz_bookmarks WHERE fk = h.id) + "
                        "(SELECT COUNT(*) FROM moz_keywords WHERE place_id = h.id)"),
            std::vector<std::string>{});
  for (const std::string& row : PlacesQuery(path, "SELECT url, url_hash FROM moz_places")) {
    const std::size_t bar = row.rfind('|');
    EXPECT_EQ(std::to_string(places_values::UrlHash(row.substr(0, bar))), row.substr(bar + 1)) << row;
  }
  EXPECT_EQ(PlacesQuery(path, "SELECT COUNT(*) FROM moz_bookmarks WHERE position IS NULL OR position != "
                              "(SELECT COUNT(*) FROM moz_bookmarks s WHERE s.parent = moz_bookmarks.parent AND "
                              "s.position < moz_bookmarks.position)"),
            std::vector<std::string>{"0"});
  // Nothing else changed: tags, keywords, annotations, history, sync data.
  for (const char* table : {"moz_historyvisits", "moz_keywords", "moz_items_annos", "moz_meta",
                            "moz_bookmarks_deleted", "moz_anno_attributes"}) {
    EXPECT_EQ(PlacesQuery(path, std::string("SELECT * FROM ") + table),
              PlacesQuery(dir.file("backup.sqlite"), std::string("SELECT * FROM ") + table))
        << table;
  }
  // The places root and the two roots whose children changed are touched
  // too; every other item is as it was.
  const std::string untouched =
      "SELECT * FROM moz_bookmarks WHERE id NOT IN (1, 3, 5) AND IFNULL(title, '-') NOT IN ('Nobody', "
      "'Caf\xC3\xA9', 'Gone <for good> & \"quoted\"', 'Deleted Bookmarks') ORDER BY id";
  EXPECT_EQ(PlacesQuery(path, untouched), PlacesQuery(dir.file("backup.sqlite"), untouched));
  EXPECT_EQ(PlacesQuery(path, untouched).size(), 11u);

  // Read again, the repairs are what Firefox will show.
  BookmarkFolder again = Read(path);
  EXPECT_EQ(Describe(again.folders[2]), "[Deleted Bookmarks]\n  Nobody <http://nobody.example:8080/x>\nOther <https://other.example/>\n");
}

TEST(PlacesWriter, RefusesWhatItCannotWriteSafelyAndChangesNothing) {
  TempDir dir;
  const std::string path = dir.file("places.sqlite");
  MakePlacesDatabase(path, kSample);
  BookmarkFolder root = Read(path);
  FindLink(root, u"Nobody")->status = Delete;
  ApplyResults(root);
  const std::vector<std::string> before = PlacesRows(path);

  // Changed in Firefox since it was read: the check no longer stands.
  {
    sqlite::Database firefox;
    ASSERT_TRUE(firefox.Open(U16(path), sqlite::OpenMode::ReadWrite));
    ASSERT_TRUE(firefox.Execute("UPDATE moz_places SET url = 'http://nobody.example/new' WHERE url LIKE '%nobody%'"));
  }
  const std::vector<std::string> edited = PlacesRows(path);
  EXPECT_NE(Save(path, root, dir.file("b1"), PlacesSaveResult::Failed).find("was changed in Firefox"), std::string::npos);
  EXPECT_EQ(PlacesRows(path), edited);
  MakePlacesDatabase(path, kSample);

  // Bookmarks that came from elsewhere.
  BookmarkFolder other;
  ScanBookmarkContent("<DT><H3>Menu</H3><DL><p><DT><A HREF=\"http://a/\">A</A></DL>", other);
  EXPECT_NE(Save(path, other, dir.file("b2"), PlacesSaveResult::Failed).find("not loaded from this Firefox"),
            std::string::npos);
  EXPECT_FALSE(FileExists(dir.file("b2"))) << "no backup is made for a save that cannot happen";
  EXPECT_EQ(PlacesRows(path), before);

  // A backup that cannot be made stops the save.
  Save(path, root, dir.file("no/such/folder/b3"), PlacesSaveResult::BackupFailed);
  EXPECT_EQ(PlacesRows(path), before);

  // A database locked by another program.
  {
    sqlite::Database firefox;
    ASSERT_TRUE(firefox.Open(U16(path), sqlite::OpenMode::ReadWrite));
    ASSERT_TRUE(firefox.Execute("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE"));
    Save(path, root, dir.file("b4"), PlacesSaveResult::Busy);
  }
  EXPECT_EQ(PlacesRows(path), before);
}

TEST(PlacesReader, TellsWhatIsWrongWithADatabaseItCannotRead) {
  TempDir dir;
  struct Case {
    const char* what;
    std::string bytes;
    const char* says;
  };
  MakePlacesDatabase(dir.file("newer.sqlite"), kSample, 87);
  MakePlacesDatabase(dir.file("whole.sqlite"), kSample);
  {
    sqlite::Database db;
    ASSERT_TRUE(db.Open(dir.file16("whole.sqlite"), sqlite::OpenMode::ReadWrite));
    ASSERT_TRUE(db.Execute("PRAGMA wal_checkpoint(TRUNCATE); PRAGMA journal_mode = DELETE"));
  }
  const std::string whole = ReadFileBytes(dir.file("whole.sqlite"));
  sqlite::Database other;
  ASSERT_TRUE(other.Open(dir.file16("other.sqlite"), sqlite::OpenMode::Create));
  ASSERT_TRUE(other.Execute("CREATE TABLE notes (id INTEGER PRIMARY KEY, text TEXT)"));
  other.Close();
  std::string scrambled = whole;
  for (std::size_t i = 32768; i < scrambled.size(); i += 7) scrambled[i] = static_cast<char>(i);
  const Case cases[] = {
      {"newer", ReadFileBytes(dir.file("newer.sqlite")), "newer version of Firefox"},
      {"cut short", whole.substr(0, whole.size() / 3), "damaged"},
      {"scrambled", scrambled, "damaged"},
      {"another program's", ReadFileBytes(dir.file("other.sqlite")), "does not hold Firefox's bookmarks"},
      {"not a database", "SQLite format 3" + std::string(1, '\0') + std::string(200, 'x'), "damaged"},
  };
  for (const Case& c : cases) {
    WriteFileBytes(dir.file("places.sqlite"), c.bytes);
    BookmarkFolder root;
    std::u16string problem;
    EXPECT_FALSE(ReadPlaces(dir.file16("places.sqlite"), root, &problem)) << c.what;
    EXPECT_NE(text::Utf16ToUtf8(problem).find(c.says), std::string::npos) << c.what << ": " << text::Utf16ToUtf8(problem);
    EXPECT_TRUE(root.folders.empty()) << c.what;
    EXPECT_EQ(ReadFileBytes(dir.file("places.sqlite")), c.bytes) << c.what;
  }
}

TEST(PlacesValues, AreWhatFirefoxComputes) {
  // Taken from a database that Firefox 153 wrote.
  EXPECT_EQ(places_values::UrlHash("https://www.example.com/a/b.html"), 47358939457858);
  EXPECT_EQ(places_values::UrlHash("http://example.org:8080/x"), 125511464355927);
  EXPECT_EQ(places_values::UrlHash("place:sort=8&maxResults=10"), 268505095842199);
  EXPECT_EQ(places_values::UrlHash("https://example.com/caf%C3%A9/%C3%A9"), 47357966057669);
  EXPECT_EQ(places_values::UrlHash(std::string(3000, 'a')), places_values::UrlHash(std::string(1500, 'a')))
      << "only the first 1500 bytes count";
  EXPECT_EQ(places_values::ReversedHost("http://example.org:8080/x"), "0808:gro.elpmaxe.");
  EXPECT_EQ(places_values::ReversedHost("https://user:pw@EXAMPLE.net/Path?q=1#f"), "ten.elpmaxe.");
  EXPECT_EQ(places_values::ReversedHost("place:sort=8"), ".");
  std::string prefix, host;
  places_values::Origin("https://user:pw@www.Example.net:8443?q", prefix, host);
  EXPECT_EQ(prefix + " " + host, "https:// www.example.net:8443");
  places_values::Origin("place:sort=8&maxResults=10", prefix, host);
  EXPECT_EQ(prefix + " " + host, "place: sort=8&maxResults=10");
}

}  // namespace
