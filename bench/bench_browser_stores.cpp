// The browsers' own stores benchmark: loading and saving 100,000 bookmarks
// (100 folders of 1,000) from Firefox's places database and from a Chromium
// Bookmarks file, next to reading the same bookmarks from a bookmark file.
// A save repairs 1% of the links and moves another 1% into "Deleted
// Bookmarks", as a check of a large collection would.
//
//   bench_browser_stores [links]      default 100000
//
// Figures are milliseconds of processor time of this process (the machine
// is shared, and others' work is not what is measured), the best of three
// runs, and in brackets the wall-clock time of that run: reading the places
// database copies it first, and its save writes a backup and the database
// to disk, which a person waits for too.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <string>

#include "model/apply_results.h"
#include "model/bookmark_tree.h"
#include "platform/files.h"
#include "platform/snapshot_files.h"
#include "platform/sqlite.h"
#include "platform/text.h"
#include "stores/bookmark_file.h"
#include "stores/chromium_bookmarks.h"
#include "stores/places.h"

namespace {

constexpr long kPerFolder = 1000;

std::string Url(long i) {
  return "https://host" + std::to_string(i % 997) + ".example.com/section/" + std::to_string(i % 101) + "/page-" +
         std::to_string(i) + ".html";
}
std::string Title(long i) { return "Page " + std::to_string(i) + (i % 10 == 0 ? " \xc3\xa9t\xc3\xa9" : " of the site"); }

struct Time {
  double cpu = 1e300, wall = 0;
  void Keep(const Time& other) {
    if (other.cpu < cpu) *this = other;
  }
};

Time BestMs(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  Time best;
  for (int r = 0; r < runs; ++r) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    work();
    Time time;
    time.cpu = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    time.wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    best.Keep(time);
  }
  return best;
}

void PrintRow(const char* store, const Time& load, const Time& save, unsigned long long bytes) {
  std::printf("%-36s %8.1f (%7.1f) %8.1f (%7.1f)   %llu bytes\n", store, load.cpu, load.wall, save.cpu, save.wall,
              bytes);
}

// The tables of Firefox's layout that the stores read and keep consistent.
bool MakePlaces(const std::u16string& path, long links) {
  files::DeleteFile(path);
  files::DeleteFile(path + u"-wal");
  sqlite::Database db;
  if (!db.Open(path, sqlite::OpenMode::Create)) return false;
  db.Execute("PRAGMA page_size = 32768; PRAGMA journal_mode = WAL; BEGIN;"
             "CREATE TABLE moz_origins (id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL, frecency "
             "INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency "
             "INTEGER NOT NULL DEFAULT 0, UNIQUE (prefix, host));"
             "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, "
             "visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, "
             "frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 "
             "NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL, origin_id INTEGER, recalc_frecency INTEGER NOT NULL "
             "DEFAULT 0, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);"
             "CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);"
             "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent "
             "INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, "
             "lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT "
             "NULL DEFAULT 1);"
             "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);"
             "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);"
             "CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);"
             "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES (1, 2, 0, 0, '', "
             "'root________'), (2, 2, 1, 0, 'menu', 'menu________'), (3, 2, 1, 1, 'toolbar', 'toolbar_____'), "
             "(4, 2, 1, 2, 'tags', 'tags________'), (5, 2, 1, 3, 'unfiled', 'unfiled_____'), "
             "(6, 2, 1, 4, 'mobile', 'mobile______');"
             "PRAGMA user_version = 86;");
  sqlite::Statement folder, place, item;
  folder.Prepare(db, "INSERT INTO moz_bookmarks (type, parent, position, title, guid) VALUES (2, 2, ?, ?, ?)");
  place.Prepare(db, "INSERT INTO moz_places (id, url, url_hash, guid, foreign_count) VALUES (?, ?, ?, ?, 1)");
  item.Prepare(db, "INSERT INTO moz_bookmarks (type, fk, parent, position, title, guid) VALUES (1, ?, ?, ?, ?, ?)");
  std::int64_t folderId = 0;
  for (long i = 0; i < links; ++i) {
    if (i % kPerFolder == 0) {
      folder.Bind(1, static_cast<std::int64_t>(i / kPerFolder));
      folder.Bind(2, "Folder " + std::to_string(i / kPerFolder));
      folder.Bind(3, "f" + std::to_string(i));
      folder.Run();
      folderId = db.LastInsertRowId();
    }
    place.Bind(1, static_cast<std::int64_t>(i + 1));
    place.Bind(2, Url(i));
    place.Bind(3, places_values::UrlHash(Url(i)));
    place.Bind(4, "p" + std::to_string(i));
    place.Run();
    item.Bind(1, static_cast<std::int64_t>(i + 1));
    item.Bind(2, folderId);
    item.Bind(3, static_cast<std::int64_t>(i % kPerFolder));
    item.Bind(4, Title(i));
    item.Bind(5, "b" + std::to_string(i));
    item.Run();
  }
  return db.Execute("COMMIT; PRAGMA wal_checkpoint(TRUNCATE);");
}

std::string ChromiumText(long links) {
  std::string out = "{\n   \"checksum\": \"\",\n   \"roots\": {\n      \"bookmark_bar\": {\n         \"children\": [ ";
  long id = 4;
  for (long f = 0; f * kPerFolder < links; ++f) {
    if (f) out += ", ";
    out += "{\n            \"children\": [ ";
    for (long i = f * kPerFolder; i < std::min(links, (f + 1) * kPerFolder); ++i) {
      if (i != f * kPerFolder) out += ", ";
      out += "{\n               \"date_added\": \"13340000000000000\",\n               \"guid\": \"g" + std::to_string(i) +
             "\",\n               \"id\": \"" + std::to_string(id++) + "\",\n               \"name\": \"" + Title(i) +
             "\",\n               \"type\": \"url\",\n               \"url\": \"" + Url(i) + "\"\n            }";
    }
    out += " ],\n            \"id\": \"" + std::to_string(id++) + "\",\n            \"name\": \"Folder " +
           std::to_string(f) + "\",\n            \"type\": \"folder\"\n         }";
  }
  out += " ],\n         \"id\": \"1\",\n         \"name\": \"Bookmarks bar\",\n         \"type\": \"folder\"\n      },\n"
         "      \"other\": {\n         \"children\": [  ],\n         \"id\": \"2\",\n         \"name\": \"Other "
         "bookmarks\",\n         \"type\": \"folder\"\n      }\n   },\n   \"version\": 1\n}\n";
  return out;
}

std::string NetscapeText(long links) {
  std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  for (long f = 0; f * kPerFolder < links; ++f) {
    out += "<DT><H3>Folder " + std::to_string(f) + "</H3>\n<DL><p>\n";
    for (long i = f * kPerFolder; i < std::min(links, (f + 1) * kPerFolder); ++i) {
      out += "<DT><A HREF=\"" + Url(i) + "\" ADD_DATE=\"1600000000\">" + Title(i) + "</A>\n";
    }
    out += "</DL><p>\n";
  }
  return out + "</DL><p>\n";
}

// What a check of the collection leaves behind: 1% to fix, 1% to delete.
void Repair(BookmarkFolder& root) {
  CheckQueue queue;
  CollectLinks(root, queue);
  for (std::size_t i = 0; i < queue.links.size(); ++i) {
    if (i % 100 == 1) queue.links[i]->status = Fix;
    if (i % 100 == 2) queue.links[i]->status = Delete;
  }
  ApplyResults(root);
}

}  // namespace

int main(int argc, char** argv) {
  const long links = argc > 1 ? std::atol(argv[1]) : 100000;
  files::TempFolder folder;
  if (!folder.Create()) return 1;
  const std::u16string places = files::JoinPath(folder.Path(), u"places.sqlite");
  const std::u16string backup = files::JoinPath(folder.Path(), u"places.sqlite.old");
  std::printf("%ld bookmarks in %ld folders; best of 3, processor ms (wall-clock ms)\n\n", links,
              (links + kPerFolder - 1) / kPerFolder);
  std::printf("%-36s %18s %18s\n", "store", "load", "save");

  const std::string netscape = NetscapeText(links);
  BookmarkFolder tree;
  const Time netscapeLoad = BestMs(3, [&] { tree = BookmarkFolder(); }, [&] { ScanBookmarkContent(netscape, tree); });
  Repair(tree);
  const Time netscapeSave = BestMs(3, [] {}, [&] { (void)BookmarkFileBytes(tree); });
  PrintRow("Netscape bookmark file (in memory)", netscapeLoad, netscapeSave, netscape.size());

  if (!MakePlaces(places, links)) return 1;
  Time placesSave;
  for (int r = 0; r < 3; ++r) {
    if (!MakePlaces(places, links)) return 1;
    files::DeleteFile(backup);
    BookmarkFolder read;
    ReadPlaces(places, read, nullptr);
    Repair(read);
    placesSave.Keep(BestMs(1, [] {}, [&] { SavePlaces(places, read, backup, nullptr); }));
  }
  MakePlaces(places, links);
  const Time placesLoad = BestMs(3, [&] { tree = BookmarkFolder(); }, [&] { ReadPlaces(places, tree, nullptr); });
  PrintRow("Firefox places database", placesLoad, placesSave, files::GetFileStamp(places).size);

  const std::string chromium = ChromiumText(links);
  const Time chromiumLoad =
      BestMs(3, [&] { tree = BookmarkFolder(); }, [&] { ReadChromiumBookmarks(chromium, tree, nullptr); });
  Repair(tree);
  std::string written;
  const Time chromiumSave = BestMs(3, [] {}, [&] { ChromiumBookmarksBytes(chromium, tree, written, nullptr); });
  PrintRow("Chromium Bookmarks file (in memory)", chromiumLoad, chromiumSave, chromium.size());
  return 0;
}
