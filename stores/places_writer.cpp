#include <chrono>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "model/apply_results.h"
#include "platform/files.h"
#include "platform/sqlite.h"
#include "platform/text.h"
#include "stores/places.h"
#include "stores/places_database.h"

namespace {

// A folder the program added (the "Deleted Bookmarks" folder): made in the
// database under its parent, or at the end of "Other Bookmarks" when it
// stands at the top of the tree, where no place of the database's own is
// open to a person.
struct NewFolder {
  std::u16string name;
  std::int64_t parentId = 0;      // 0: at the top
  int parentNew = -1;             // >= 0: inside that earlier new folder
  std::int64_t id = 0;            // once made
  std::vector<const BookmarkLink*> links;  // moved into it, in this order
};

struct Plan {
  std::vector<std::int64_t> tops;  // the roots the tree was read from
  std::vector<NewFolder> folders;
  std::vector<const BookmarkLink*> fixes;
  bool foreign = false;  // items that did not come from a places database
};

bool IdOf(const std::shared_ptr<const StoredItem>& stored, std::int64_t& id) {
  if (!stored || stored->form != TextForm::Plain || stored->StoreId().empty()) return false;
  char* end = nullptr;
  id = std::strtoll(stored->StoreId().c_str(), &end, 10);
  return end && *end == '\0' && id > 0;
}

void PlanFolder(const BookmarkFolder& folder, std::int64_t id, int newIndex, Plan& plan) {
  for (const BookmarkFolder& sub : folder.folders) {
    std::int64_t subId = 0;
    if (IdOf(sub.stored, subId)) {
      if (newIndex >= 0) plan.foreign = true;  // nothing is ever moved into a new folder but links
      if (id == 0) plan.tops.push_back(subId);
      PlanFolder(sub, subId, -1, plan);
      continue;
    }
    NewFolder added;
    added.name = sub.name;
    added.parentId = id;
    added.parentNew = newIndex;
    plan.folders.push_back(added);
    PlanFolder(sub, 0, static_cast<int>(plan.folders.size() - 1), plan);
  }
  for (const BookmarkLink& link : folder.links) {
    std::int64_t linkId = 0;
    if (!IdOf(link.stored, linkId) || (id == 0 && newIndex < 0)) {
      plan.foreign = true;
      continue;
    }
    if (newIndex >= 0) plan.folders[static_cast<std::size_t>(newIndex)].links.push_back(&link);
    if (link.status == Fix) plan.fixes.push_back(&link);
  }
}

// An empty folder the program added holds nothing worth a row.
bool HoldsLinks(const Plan& plan, std::size_t index) {
  if (!plan.folders[index].links.empty()) return true;
  for (std::size_t i = index + 1; i < plan.folders.size(); ++i) {
    if (plan.folders[i].parentNew == static_cast<int>(index) && HoldsLinks(plan, i)) return true;
  }
  return false;
}

std::int64_t NowMicroseconds() {
  using namespace std::chrono;
  return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

class Writer {
 public:
  Writer(sqlite::Database& database, std::u16string& problem) : db_(database), problem_(problem) {}

  bool Apply(Plan& plan) {
    now_ = NowMicroseconds();
    hasOrigins_ = HasColumn(db_, "moz_places", "origin_id");
    placesRecalc_ = HasColumn(db_, "moz_places", "recalc_frecency");
    placesAltRecalc_ = HasColumn(db_, "moz_places", "recalc_alt_frecency");
    originsRecalc_ = hasOrigins_ && HasColumn(db_, "moz_origins", "recalc_frecency");
    originsAltRecalc_ = hasOrigins_ && HasColumn(db_, "moz_origins", "recalc_alt_frecency");
    return CheckTops(plan) && MakeFolders(plan) && MoveLinks(plan) && FixLinks(plan);
  }

 private:
  // The tree was read from this database only if its top folders are this
  // database's roots.
  bool CheckTops(const Plan& plan) {
    std::int64_t placesRoot = 0;
    if (!IdByGuid(kPlacesRootGuid, placesRoot) || !IdByGuid(kUnfiledRootGuid, unfiled_)) return NotFromHere();
    for (std::int64_t top : plan.tops) {
      sqlite::Statement parent;
      if (!Prepare(parent, "SELECT parent FROM moz_bookmarks WHERE id = ? AND type = 2")) return false;
      parent.Bind(1, top);
      if (parent.Next() != sqlite::Statement::Step::Row || parent.Int(0) != placesRoot) return NotFromHere();
    }
    return true;
  }

  bool MakeFolders(Plan& plan) {
    for (std::size_t i = 0; i < plan.folders.size(); ++i) {
      NewFolder& folder = plan.folders[i];
      if (!HoldsLinks(plan, i)) continue;
      const std::int64_t parent = folder.parentNew >= 0 ? plan.folders[static_cast<std::size_t>(folder.parentNew)].id
                                  : folder.parentId != 0 ? folder.parentId
                                                         : unfiled_;
      sqlite::Statement insert;
      // A new item starts as Firefox starts one: not yet known to Sync
      // (status 1, "new"), with one change to upload.
      if (!Prepare(insert,
                   "INSERT INTO moz_bookmarks (type, fk, parent, position, title, dateAdded, lastModified, guid, "
                   "syncStatus, syncChangeCounter) VALUES (2, NULL, ?1, "
                   "(SELECT COUNT(*) FROM moz_bookmarks WHERE parent = ?1), ?2, ?3, ?3, ?4, 1, 1)")) {
        return false;
      }
      insert.Bind(1, parent);
      insert.Bind(2, text::Utf16ToUtf8(folder.name));
      insert.Bind(3, now_);
      insert.Bind(4, places_values::NewGuid());
      if (!Run(insert)) return false;
      folder.id = db_.LastInsertRowId();
      if (!TouchFolder(parent, 1)) return false;
    }
    return true;
  }

  bool MoveLinks(const Plan& plan) {
    std::map<std::int64_t, std::int64_t> leftFolders;  // folder -> links moved out of it
    for (const NewFolder& folder : plan.folders) {
      std::int64_t position = 0;
      for (const BookmarkLink* link : folder.links) {
        Current current;
        if (!Read(*link, current)) return false;
        if (!current.exists) continue;  // removed in Firefox since: nothing left to move
        if (current.url != link->url) return Changed(*link);
        sqlite::Statement move;
        if (!Prepare(move,
                     "UPDATE moz_bookmarks SET parent = ?, position = ?, lastModified = ?, "
                     "syncChangeCounter = syncChangeCounter + 1 WHERE id = ?")) {
          return false;
        }
        move.Bind(1, folder.id);
        move.Bind(2, position++);
        move.Bind(3, now_);
        move.Bind(4, current.id);
        if (!Run(move)) return false;
        ++leftFolders[current.parent];
      }
      if (position > 0 && !TouchFolder(folder.id, position)) return false;
    }
    for (const auto& [folder, moved] : leftFolders) {
      if (!Renumber(folder) || !TouchFolder(folder, moved)) return false;
    }
    return true;
  }

  bool FixLinks(const Plan& plan) {
    for (const BookmarkLink* link : plan.fixes) {
      Current current;
      if (!Read(*link, current)) return false;
      if (!current.exists || current.url == link->url) continue;
      std::u16string cut = current.url;
      FixUrl(cut);
      if (cut != link->url) return Changed(*link);
      std::int64_t place = 0;
      if (!FindOrAddPlace(text::Utf16ToUtf8(link->url), place)) return false;
      sqlite::Statement update;
      if (!Prepare(update,
                   "UPDATE moz_bookmarks SET fk = ?, lastModified = ?, syncChangeCounter = syncChangeCounter + 1 "
                   "WHERE id = ?")) {
        return false;
      }
      update.Bind(1, place);
      update.Bind(2, now_);
      update.Bind(3, current.id);
      if (!Run(update) || !CountReference(place, +1) || !CountReference(current.place, -1)) return false;
    }
    return true;
  }

  struct Current {
    bool exists = false;
    std::int64_t id = 0, parent = 0, place = 0;
    std::u16string url;
  };

  bool Read(const BookmarkLink& link, Current& current) {
    if (!IdOf(link.stored, current.id)) return NotFromHere();
    sqlite::Statement query;
    if (!Prepare(query,
                 "SELECT b.parent, b.fk, h.url FROM moz_bookmarks b JOIN moz_places h ON h.id = b.fk "
                 "WHERE b.id = ? AND b.type = 1")) {
      return false;
    }
    query.Bind(1, current.id);
    const sqlite::Statement::Step step = query.Next();
    if (step == sqlite::Statement::Step::Failed) return Failed();
    current.exists = step == sqlite::Statement::Step::Row;
    if (current.exists) {
      current.parent = query.Int(0);
      current.place = query.Int(1);
      current.url = text::Utf8ToUtf16(query.Text(2));
    }
    return true;
  }

  // The page row of a URL, as Firefox adds one for a new bookmark: its hash,
  // its reversed host, a new identity, its frecency left for Firefox to work
  // out, and its origin.
  bool FindOrAddPlace(const std::string& url, std::int64_t& place) {
    const std::int64_t hash = places_values::UrlHash(url);
    sqlite::Statement find;
    if (!Prepare(find, "SELECT id FROM moz_places WHERE url_hash = ? AND url = ?")) return false;
    find.Bind(1, hash);
    find.Bind(2, url);
    const sqlite::Statement::Step step = find.Next();
    if (step == sqlite::Statement::Step::Failed) return Failed();
    if (step == sqlite::Statement::Step::Row) {
      place = find.Int(0);
      return true;
    }
    std::int64_t origin = 0;
    if (hasOrigins_ && !FindOrAddOrigin(url, origin)) return false;
    std::string columns = "url, url_hash, rev_host, hidden, frecency, guid";
    std::string values = "?1, ?2, ?3, 0, ?4, ?5";
    if (hasOrigins_) columns += ", origin_id", values += ", ?6";
    if (placesRecalc_) columns += ", recalc_frecency", values += ", 1";
    if (placesAltRecalc_) columns += ", recalc_alt_frecency", values += ", 1";
    sqlite::Statement insert;
    if (!Prepare(insert, "INSERT INTO moz_places (" + columns + ") VALUES (" + values + ")")) return false;
    insert.Bind(1, url);
    insert.Bind(2, hash);
    insert.Bind(3, places_values::ReversedHost(url));
    // Firefox gives a bookmarked page a frecency of 1 until it works out the
    // real one; -1 asks an older Firefox to work it out.
    insert.Bind(4, static_cast<std::int64_t>(placesRecalc_ ? 1 : -1));
    insert.Bind(5, places_values::NewGuid());
    if (hasOrigins_) insert.Bind(6, origin);
    if (!Run(insert)) return false;
    place = db_.LastInsertRowId();
    return true;
  }

  bool FindOrAddOrigin(const std::string& url, std::int64_t& origin) {
    std::string prefix, host;
    places_values::Origin(url, prefix, host);
    sqlite::Statement find;
    if (!Prepare(find, "SELECT id FROM moz_origins WHERE prefix = ? AND host = ?")) return false;
    find.Bind(1, prefix);
    find.Bind(2, host);
    const sqlite::Statement::Step step = find.Next();
    if (step == sqlite::Statement::Step::Failed) return Failed();
    if (step == sqlite::Statement::Step::Row) {
      origin = find.Int(0);
      return true;
    }
    std::string columns = "prefix, host, frecency", values = "?, ?, -1";
    if (originsRecalc_) columns += ", recalc_frecency", values += ", 1";
    if (originsAltRecalc_) columns += ", recalc_alt_frecency", values += ", 1";
    sqlite::Statement insert;
    if (!Prepare(insert, "INSERT INTO moz_origins (" + columns + ") VALUES (" + values + ")")) return false;
    insert.Bind(1, prefix);
    insert.Bind(2, host);
    if (!Run(insert)) return false;
    origin = db_.LastInsertRowId();
    return true;
  }

  // foreign_count counts the bookmarks (and keywords) that refer to a page;
  // a change in it changes the page's frecency, which Firefox then works out
  // again.
  bool CountReference(std::int64_t place, std::int64_t delta) {
    std::string sql = "UPDATE moz_places SET foreign_count = MAX(foreign_count + ?, 0)";
    if (placesRecalc_) sql += ", recalc_frecency = 1";
    if (placesAltRecalc_) sql += ", recalc_alt_frecency = 1";
    sqlite::Statement update;
    if (!Prepare(update, sql + " WHERE id = ?")) return false;
    update.Bind(1, delta);
    update.Bind(2, place);
    return Run(update);
  }

  // A folder whose children changed: its own change counter for Sync, and
  // the time of the change on it and on every folder above it.
  bool TouchFolder(std::int64_t folder, std::int64_t changes) {
    sqlite::Statement counter;
    if (!Prepare(counter, "UPDATE moz_bookmarks SET syncChangeCounter = syncChangeCounter + ? WHERE id = ?")) {
      return false;
    }
    counter.Bind(1, changes);
    counter.Bind(2, folder);
    if (!Run(counter)) return false;
    sqlite::Statement times;
    if (!Prepare(times,
                 "WITH RECURSIVE ancestors(aid) AS (SELECT ? UNION SELECT parent FROM moz_bookmarks "
                 "JOIN ancestors ON id = aid WHERE type = 2) "
                 "UPDATE moz_bookmarks SET lastModified = MAX(COALESCE(lastModified, 0), ?) WHERE id IN ancestors")) {
      return false;
    }
    times.Bind(1, folder);
    times.Bind(2, now_);
    return Run(times);
  }

  // Positions run 0, 1, 2... in the order the items had.
  bool Renumber(std::int64_t folder) {
    sqlite::Statement children, update;
    if (!Prepare(children, "SELECT id, position FROM moz_bookmarks WHERE parent = ? ORDER BY position, id") ||
        !Prepare(update, "UPDATE moz_bookmarks SET position = ? WHERE id = ?")) {
      return false;
    }
    children.Bind(1, folder);
    std::vector<std::pair<std::int64_t, std::int64_t>> rows;
    sqlite::Statement::Step step;
    while ((step = children.Next()) == sqlite::Statement::Step::Row) {
      rows.emplace_back(children.Int(0), children.IsNull(1) ? -1 : children.Int(1));
    }
    if (step == sqlite::Statement::Step::Failed) return Failed();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].second == static_cast<std::int64_t>(i)) continue;
      update.Bind(1, static_cast<std::int64_t>(i));
      update.Bind(2, rows[i].first);
      if (!Run(update)) return false;
    }
    return true;
  }

  bool IdByGuid(std::string_view guid, std::int64_t& id) {
    sqlite::Statement query;
    if (!Prepare(query, "SELECT id FROM moz_bookmarks WHERE guid = ?")) return false;
    query.Bind(1, guid);
    if (query.Next() != sqlite::Statement::Step::Row) return false;
    id = query.Int(0);
    return true;
  }

  bool Prepare(sqlite::Statement& statement, const std::string& sql) {
    std::u16string message;
    if (statement.Prepare(db_, sql, &message)) return true;
    problem_ = DescribeDatabaseFailure(db_, message);
    return false;
  }

  bool Run(sqlite::Statement& statement) {
    std::u16string message;
    if (statement.Run(&message)) return true;
    problem_ = DescribeDatabaseFailure(db_, message);
    return false;
  }

  bool Failed() {
    problem_ = DescribeDatabaseFailure(db_, db_.ErrorText());
    return false;
  }

  bool NotFromHere() {
    problem_ =
        u"These bookmarks were not loaded from this Firefox database, so they cannot be saved into it. "
        u"Save them to a bookmark file instead.";
    return false;
  }

  bool Changed(const BookmarkLink& link) {
    problem_ = u"The bookmark \"" + link.title +
               u"\" was changed in Firefox after the bookmarks were loaded. Check the bookmarks again to repair "
               u"them as they are now.";
    return false;
  }

  sqlite::Database& db_;
  std::u16string& problem_;
  std::int64_t now_ = 0;
  std::int64_t unfiled_ = 0;
  bool hasOrigins_ = false, placesRecalc_ = false, placesAltRecalc_ = false;
  bool originsRecalc_ = false, originsAltRecalc_ = false;
};

}  // namespace

PlacesSaveResult SavePlaces(std::u16string_view path, const BookmarkFolder& root, std::u16string_view backupPath,
                            std::u16string* problem) {
  std::u16string ignored;
  if (!problem) problem = &ignored;
  Plan plan;
  PlanFolder(root, 0, -1, plan);

  sqlite::Database database;
  std::u16string message;
  auto failure = [&](const std::u16string& text) {
    *problem = DescribeDatabaseFailure(database, text);
    return database.LastFailureWasBusy() ? PlacesSaveResult::Busy : PlacesSaveResult::Failed;
  };
  if (!database.Open(path, sqlite::OpenMode::ReadWrite, &message)) return failure(message);
  if (!CheckPlacesLayout(database, true, problem)) {
    return database.LastFailureWasBusy() ? PlacesSaveResult::Busy : PlacesSaveResult::Failed;
  }
  if (plan.foreign || plan.tops.empty()) {
    *problem =
        u"These bookmarks were not loaded from this Firefox database, so they cannot be saved into it. "
        u"Save them to a bookmark file instead.";
    return PlacesSaveResult::Failed;
  }

  if (!database.BackupTo(backupPath, problem)) {
    files::DeleteFile(backupPath);
    return PlacesSaveResult::BackupFailed;
  }

  if (!database.Execute("BEGIN IMMEDIATE", &message)) return failure(message);
  Writer writer(database, *problem);
  if (!writer.Apply(plan)) {
    const bool busy = database.LastFailureWasBusy();
    database.Execute("ROLLBACK");
    return busy ? PlacesSaveResult::Busy : PlacesSaveResult::Failed;
  }
  if (!database.Execute("COMMIT", &message)) {
    const PlacesSaveResult result = failure(message);
    database.Execute("ROLLBACK");
    return result;
  }
  return PlacesSaveResult::Saved;
}
