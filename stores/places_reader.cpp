#include <chrono>
#include <memory>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/files.h"
#include "platform/snapshot_files.h"
#include "platform/sqlite.h"
#include "platform/text.h"
#include "stores/places.h"
#include "stores/places_database.h"

namespace {

// Deeper nesting than this is taken for damage: no person files bookmarks a
// thousand folders down, and the reader must not run out of stack.
constexpr int kDeepestFolder = 1000;

// The companions SQLite keeps beside a database while it is open: the
// write-ahead log holds changes not yet copied into the file itself, a
// rollback journal a transaction that was cut short.
constexpr std::u16string_view kCompanions[] = {u"", u"-wal", u"-journal"};

struct Row {
  std::int64_t id = 0;
  int type = 0;
  std::string title;
  std::string guid;
  std::string url;
  bool hasUrl = false;
};

// Copies the database and its companions into `folder` until a copy is made
// during which none of them changed, so the copy is one moment of the
// database even while Firefox writes to it. Firefox keeps its database
// locked for itself while it runs, so it is never opened in place: reading
// the files is all that is done to them.
bool CopySnapshot(std::u16string_view path, const files::TempFolder& folder, std::u16string& copy,
                  std::u16string* problem) {
  copy = files::JoinPath(folder.Path(), u"places.sqlite");
  constexpr int kAttempts = 5;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200 * attempt));
    bool copied = true;
    std::vector<files::FileStamp> before;
    for (std::u16string_view suffix : kCompanions) {
      const std::u16string source = std::u16string(path) + std::u16string(suffix);
      const std::u16string target = copy + std::u16string(suffix);
      before.push_back(files::GetFileStamp(source));
      files::DeleteFile(target);
      if (!before.back().exists) continue;
      std::u16string reason;
      if (!files::CopyFile(source, target, &reason)) {
        if (suffix.empty() || files::GetFileStamp(source).exists) {
          *problem = reason;
          copied = false;
        }
      }
    }
    if (!copied) return false;
    bool unchanged = true;
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (files::GetFileStamp(std::u16string(path) + std::u16string(kCompanions[i])) != before[i]) unchanged = false;
    }
    if (unchanged) return true;
  }
  *problem = u"Firefox kept changing the database while it was being read. Try again in a moment.";
  return false;
}

// The name a person sees for each root; other folders keep their titles.
std::u16string RootName(const Row& row) {
  if (row.guid == "menu________") return u"Bookmarks Menu";
  if (row.guid == "toolbar_____") return u"Bookmarks Toolbar";
  if (row.guid == "unfiled_____") return u"Other Bookmarks";
  if (row.guid == "mobile______") return u"Mobile Bookmarks";
  return text::Utf8ToUtf16(row.title);
}

std::shared_ptr<const StoredItem> Stored(std::int64_t id) {
  auto stored = std::make_shared<StoredItem>();
  stored->form = TextForm::Plain;
  stored->Details().storeId = std::to_string(id);
  return stored;
}

struct TreeBuilder {
  std::unordered_map<std::int64_t, std::vector<Row>> children;  // in position order
  std::unordered_map<std::int64_t, bool> visited;
  bool tooDeep = false;

  void Fill(BookmarkFolder& folder, std::int64_t id, int depth) {
    if (depth > kDeepestFolder) {
      tooDeep = true;
      return;
    }
    auto found = children.find(id);
    if (found == children.end()) return;
    ItemOrder order = 0;
    for (const Row& row : found->second) {
      ++order;
      if (visited[row.id]) continue;  // a damaged parent chain: never twice
      visited[row.id] = true;
      if (row.type == kPlacesFolder) {
        BookmarkFolder sub;
        sub.name = text::Utf8ToUtf16(row.title);
        sub.order = order;
        sub.stored = Stored(row.id);
        Fill(sub, row.id, depth + 1);
        folder.folders.push_back(std::move(sub));
      } else if (row.type == kPlacesBookmark && row.hasUrl) {
        BookmarkLink link;
        link.url = text::Utf8ToUtf16(row.url);
        link.title = text::Utf8ToUtf16(row.title);
        link.order = order;
        link.stored = Stored(row.id);
        folder.links.push_back(std::move(link));
      } else if (row.type == kPlacesSeparator) {
        BookmarkSeparator separator;
        separator.order = order;
        separator.storeId = std::to_string(row.id);
        folder.separators.push_back(std::move(separator));
      }
      // Anything else (a bookmark without its place, a kind this program
      // does not know) stays in the database untouched and is not shown.
    }
  }
};

}  // namespace

bool IsSqliteDatabase(std::u16string_view path) {
  static constexpr char kHeader[] = "SQLite format 3";  // and its terminating zero
  std::string bytes;
  if (!files::ReadFileStart(path, sizeof kHeader, bytes)) return false;
  return bytes.size() >= sizeof kHeader && bytes.compare(0, sizeof kHeader, kHeader, sizeof kHeader) == 0;
}

bool IsPlacesStore(std::u16string_view path) {
  return IsSqliteDatabase(path) || text::EndsWithAsciiNoCase(path, u"places.sqlite");
}

bool ReadPlaces(std::u16string_view path, BookmarkFolder& root, std::u16string* problem) {
  std::u16string ignored;
  if (!problem) problem = &ignored;
  files::TempFolder folder;
  std::u16string copy;
  if (!folder.Create(problem) || !CopySnapshot(path, folder, copy, problem)) return false;

  sqlite::Database database;
  std::u16string message;
  // The copy is opened for writing so that SQLite can take in the changes
  // that were still in the write-ahead log.
  if (!database.Open(copy, sqlite::OpenMode::ReadWrite, &message)) {
    *problem = DescribeDatabaseFailure(database, message);
    return false;
  }
  if (!CheckPlacesLayout(database, false, problem)) return false;

  sqlite::Statement query;
  if (!query.Prepare(database,
                     "SELECT b.id, b.type, b.parent, b.title, b.guid, h.url FROM moz_bookmarks b "
                     "LEFT JOIN moz_places h ON h.id = b.fk ORDER BY b.parent, b.position, b.id",
                     &message)) {
    *problem = DescribeDatabaseFailure(database, message);
    return false;
  }
  TreeBuilder builder;
  std::int64_t placesRoot = -1;
  sqlite::Statement::Step step;
  while ((step = query.Next()) == sqlite::Statement::Step::Row) {
    Row row;
    row.id = query.Int(0);
    row.type = static_cast<int>(query.Int(1));
    row.title = query.Text(3);
    row.guid = query.Text(4);
    row.hasUrl = !query.IsNull(5);
    row.url = query.Text(5);
    if (row.guid == kPlacesRootGuid) placesRoot = row.id;
    builder.children[query.Int(2)].push_back(std::move(row));
  }
  if (step == sqlite::Statement::Step::Failed) {
    *problem = DescribeDatabaseFailure(database, database.ErrorText());
    return false;
  }
  if (placesRoot < 0) {
    *problem = u"It does not hold Firefox's bookmarks (the root of the bookmarks is missing).";
    return false;
  }

  // The roots a person sees become the tree's top folders; the tags are not
  // bookmarks, and the places root itself is never shown.
  BookmarkFolder top;
  builder.visited[placesRoot] = true;
  for (const Row& row : builder.children[placesRoot]) builder.visited[row.id] = row.guid == kTagsRootGuid;
  builder.Fill(top, placesRoot, 0);
  if (builder.tooDeep) {
    *problem = u"Its folders are nested more deeply than this program can follow, which only a damaged database does.";
    return false;
  }
  const auto& rootRows = builder.children[placesRoot];
  for (BookmarkFolder& sub : top.folders) {
    for (const Row& row : rootRows) {
      if (sub.stored->StoreId() == std::to_string(row.id)) sub.name = RootName(row);
    }
    root.folders.push_back(std::move(sub));
  }
  return true;
}
