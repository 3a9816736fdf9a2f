#include "browser_stores.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/digest.h"
#include "platform/sqlite.h"
#include "platform/text.h"

namespace {

// Firefox's own statements for the tables that hold bookmarks, their pages
// and what refers to them.
const char kSchema[] = R"sql(
CREATE TABLE moz_origins ( id INTEGER PRIMARY KEY, prefix TEXT NOT NULL, host TEXT NOT NULL, frecency INTEGER NOT NULL, recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0, block_until_ms INTEGER, block_pages_until_ms INTEGER, UNIQUE (prefix, host) );
CREATE TABLE moz_places (   id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, last_visit_date INTEGER , guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, url_hash INTEGER DEFAULT 0 NOT NULL , description TEXT, preview_image_url TEXT, site_name TEXT, origin_id INTEGER REFERENCES moz_origins(id), recalc_frecency INTEGER NOT NULL DEFAULT 0, alt_frecency INTEGER, recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_historyvisits (  id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, visit_date INTEGER, visit_type INTEGER, session INTEGER, source INTEGER DEFAULT 0 NOT NULL, triggeringPlaceId INTEGER);
CREATE TABLE moz_bookmarks (  id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);
CREATE TABLE moz_bookmarks_deleted (  guid TEXT PRIMARY KEY, dateRemoved INTEGER NOT NULL DEFAULT 0);
CREATE TABLE moz_keywords (  id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE, place_id INTEGER, post_data TEXT);
CREATE TABLE moz_anno_attributes (  id INTEGER PRIMARY KEY, name VARCHAR(32) UNIQUE NOT NULL);
CREATE TABLE moz_items_annos (  id INTEGER PRIMARY KEY, item_id INTEGER NOT NULL, anno_attribute_id INTEGER, content LONGVARCHAR, flags INTEGER DEFAULT 0, expiration INTEGER DEFAULT 0, type INTEGER DEFAULT 0, dateAdded INTEGER DEFAULT 0, lastModified INTEGER DEFAULT 0);
CREATE TABLE moz_meta (key TEXT PRIMARY KEY, value NOT NULL) WITHOUT ROWID ;
CREATE UNIQUE INDEX moz_places_url_hashindex_unique_check ON moz_places (guid);
CREATE INDEX moz_places_url_hashindex ON moz_places (url_hash);
CREATE UNIQUE INDEX moz_bookmarks_guid_uniqueindex ON moz_bookmarks (guid);
CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);
CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);
CREATE UNIQUE INDEX moz_keywords_placepostdata_uniqueindex ON moz_keywords (place_id, post_data);
INSERT INTO moz_bookmarks (id, type, parent, position, title, dateAdded, lastModified, guid, syncStatus, syncChangeCounter) VALUES
 (1, 2, 0, 0, '', 1700000000000000, 1700000000000000, 'root________', 1, 1),
 (2, 2, 1, 0, 'menu', 1700000000000000, 1700000000000000, 'menu________', 1, 3),
 (3, 2, 1, 1, 'toolbar', 1700000000000000, 1700000000000000, 'toolbar_____', 1, 2),
 (4, 2, 1, 2, 'tags', 1700000000000000, 1700000000000000, 'tags________', 1, 3),
 (5, 2, 1, 3, 'unfiled', 1700000000000000, 1700000000000000, 'unfiled_____', 1, 2),
 (6, 2, 1, 4, 'mobile', 1700000000000000, 1700000000000000, 'mobile______', 1, 2);
INSERT INTO moz_anno_attributes (id, name) VALUES (1, 'bookmarkProperties/description');
INSERT INTO moz_meta (key, value) VALUES ('sync/bookmarks/syncId', 'abcdefghijkl');
)sql";

void Run(sqlite::Database& db, const std::string& sql) {
  std::u16string reason;
  ASSERT_TRUE(db.Execute(sql, &reason)) << text::Utf16ToUtf8(reason) << "\n" << sql;
}

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string Hex(unsigned long long value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%012llx", value);
  return buffer;
}

// A guid that is the same on every run, so that tests can compare rows.
std::string Guid(const char* kind, int n) {
  std::string guid = std::string(kind) + std::to_string(n);
  guid.resize(12, '_');
  return guid;
}

// The hash Firefox keeps the pages by, worked out here independently of the
// program's own code: the mozilla golden-ratio hash.
long long FirefoxUrlHash(const std::string& url) {
  auto hash = [](const std::string& bytes) {
    unsigned h = 0;
    for (unsigned char c : bytes) h = 0x9E3779B9u * (((h << 5) | (h >> 27)) ^ c);
    return static_cast<unsigned long long>(h);
  };
  const std::size_t colon = url.find(':');
  const unsigned long long prefix = colon == std::string::npos ? 0 : hash(url.substr(0, colon)) & 0xFFFF;
  return static_cast<long long>((prefix << 32) + hash(url.substr(0, 1500)));
}

}  // namespace

void MakePlacesDatabase(const std::string& path, const PlacesEntries& entries, int schemaVersion) {
  std::remove(path.c_str());
  sqlite::Database db;
  ASSERT_TRUE(db.Open(text::Utf8ToUtf16(path), sqlite::OpenMode::Create));
  Run(db, "PRAGMA page_size = 32768; PRAGMA journal_mode = WAL;");
  Run(db, "BEGIN");
  Run(db, kSchema);
  std::vector<long long> stack;  // the open folders
  std::map<std::string, long long> tags;
  std::map<std::string, int> positions;
  long long nextId = 7, nextPlace = 1, lastPlace = 0, nextOrigin = 1;
  const std::map<std::string, long long> roots = {{"menu", 2}, {"toolbar", 3}, {"unfiled", 5}, {"mobile", 6}};
  auto position = [&](long long parent) { return positions[std::to_string(parent)]++; };
  auto item = [&](int type, long long parent, const std::string& title, long long fk) {
    const long long id = nextId++;
    Run(db, "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, dateAdded, lastModified, guid, "
            "syncStatus, syncChangeCounter) VALUES (" +
                std::to_string(id) + ", " + std::to_string(type) + ", " + (fk ? std::to_string(fk) : "NULL") + ", " +
                std::to_string(parent) + ", " + std::to_string(position(parent)) + ", " +
                (type == 3 ? std::string("NULL") : Quote(title)) + ", 1700000000000000, 1700000100000000, '" +
                Guid("item", static_cast<int>(id)) + "', 2, 0)");
    return id;
  };
  for (const auto& [first, second] : entries) {
    if (first.rfind("in:", 0) == 0) {
      stack = {roots.at(first.substr(3))};
    } else if (first.rfind("folder:", 0) == 0) {
      stack.push_back(item(2, stack.back(), first.substr(7), 0));
    } else if (first == "end") {
      stack.pop_back();
    } else if (first == "---") {
      item(3, stack.back(), "", 0);
    } else if (first.rfind("tag:", 0) == 0) {
      const std::string name = first.substr(4);
      if (!tags.count(name)) tags[name] = item(2, 4, name, 0);
      item(1, tags[name], "", lastPlace);
      Run(db, "UPDATE moz_places SET foreign_count = foreign_count + 1 WHERE id = " + std::to_string(lastPlace));
    } else if (first.rfind("keyword:", 0) == 0) {
      Run(db, "INSERT INTO moz_keywords (keyword, place_id) VALUES (" + Quote(first.substr(8)) + ", " +
                  std::to_string(lastPlace) + ")");
      Run(db, "UPDATE moz_places SET foreign_count = foreign_count + 1 WHERE id = " + std::to_string(lastPlace));
    } else if (first == "visit") {
      Run(db, "INSERT INTO moz_historyvisits (place_id, visit_date, visit_type, session) VALUES (" +
                  std::to_string(lastPlace) + ", 1700000200000000, 1, 0)");
      Run(db, "UPDATE moz_places SET visit_count = visit_count + 1, last_visit_date = 1700000200000000 WHERE id = " +
                  std::to_string(lastPlace));
    } else {
      const long long place = nextPlace++;
      const long long origin = nextOrigin++;
      Run(db, "INSERT INTO moz_origins (id, prefix, host, frecency) VALUES (" + std::to_string(origin) + ", 'p" +
                  std::to_string(origin) + "', 'h', 100)");
      Run(db, "INSERT INTO moz_places (id, url, title, rev_host, hidden, frecency, guid, foreign_count, url_hash, "
              "origin_id) VALUES (" +
                  std::to_string(place) + ", " + Quote(second) + ", " + Quote(first) + ", 'moc.elpmaxe.', 0, 100, '" +
                  Guid("page", static_cast<int>(place)) + "', 1, " + std::to_string(FirefoxUrlHash(second)) + ", " +
                  std::to_string(origin) + ")");
      const long long id = item(1, stack.back(), first, place);
      Run(db, "INSERT INTO moz_items_annos (item_id, anno_attribute_id, content) VALUES (" + std::to_string(id) +
                  ", 1, 'about " + Hex(static_cast<unsigned long long>(id)) + "')");
      lastPlace = place;
    }
  }
  Run(db, "PRAGMA user_version = " + std::to_string(schemaVersion));
  Run(db, "COMMIT");
}

std::vector<std::string> PlacesQuery(const std::string& path, const std::string& sql) {
  std::vector<std::string> rows;
  sqlite::Database db;
  std::u16string reason;
  EXPECT_TRUE(db.Open(text::Utf8ToUtf16(path), sqlite::OpenMode::ReadOnly, &reason)) << text::Utf16ToUtf8(reason);
  sqlite::Statement statement;
  EXPECT_TRUE(statement.Prepare(db, sql, &reason)) << text::Utf16ToUtf8(reason) << "\n" << sql;
  while (statement.Next() == sqlite::Statement::Step::Row) {
    std::string row;
    for (int i = 0; i < statement.ColumnCount(); ++i) {
      if (i) row += "|";
      row += statement.IsNull(i) ? "NULL" : statement.Text(i);
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> PlacesRows(const std::string& path) {
  std::vector<std::string> rows;
  for (const std::string& table :
       PlacesQuery(path, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
    for (const std::string& row : PlacesQuery(path, "SELECT * FROM " + table + " ORDER BY 1")) {
      rows.push_back(table + ": " + row);
    }
  }
  return rows;
}

namespace {

void Indent(std::string& out, int depth) { out.append(static_cast<std::size_t>(depth) * 3, ' '); }

// A string as the browsers write it; the tests use no character that needs
// more than the usual escapes, except "<".
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\', out += c;
    else if (c == '<') out += "\\u003C";
    else out += c;
  }
  return out + "\"";
}

struct Node {
  std::string id, name, url;
  bool folder = false;
  std::vector<Node> children;
};

void Checksum(digest::Md5& md5, const Node& node) {
  md5.Update(node.id);
  const std::u16string name = text::Utf8ToUtf16(node.name);
  for (char16_t unit : name) {
    const char bytes[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    md5.Update(std::string_view(bytes, 2));
  }
  md5.Update(node.folder ? "folder" : "url");
  if (!node.folder) md5.Update(node.url);
  for (const Node& child : node.children) Checksum(md5, child);
}

void Write(std::string& out, const Node& node, int depth) {
  out += "{\n";
  if (node.folder) {
    Indent(out, depth + 1);
    out += "\"children\": [ ";
    for (std::size_t i = 0; i < node.children.size(); ++i) {
      if (i) out += ", ";
      Write(out, node.children[i], depth + 1);
    }
    out += " ],\n";
  }
  const std::string fields[][2] = {{"date_added", "13340000000000000"},
                                   {"date_last_used", "0"},
                                   {"date_modified", node.folder ? "13340000000000001" : ""},
                                   {"guid", "00000000-0000-4000-8000-" + std::string(12 - node.id.size(), '0') + node.id},
                                   {"id", node.id}};
  for (const auto& [key, value] : fields) {
    if (key == "date_modified" && !node.folder) continue;
    Indent(out, depth + 1);
    out += JsonString(key) + ": " + JsonString(value) + ",\n";
  }
  if (!node.folder) {
    Indent(out, depth + 1);
    out += "\"meta_info\": {\n";
    Indent(out, depth + 2);
    out += "\"power_bookmark_meta\": \"\"\n";
    Indent(out, depth + 1);
    out += "},\n";
  }
  Indent(out, depth + 1);
  out += "\"name\": " + JsonString(node.name) + ",\n";
  Indent(out, depth + 1);
  out += std::string("\"type\": ") + (node.folder ? "\"folder\"" : "\"url\"");
  if (!node.folder) {
    out += ",\n";
    Indent(out, depth + 1);
    out += "\"url\": " + JsonString(node.url);
  }
  out += "\n";
  Indent(out, depth);
  out += "}";
}

}  // namespace

std::string ChromiumBookmarksText(const std::vector<std::pair<std::string, std::string>>& entries) {
  Node roots[3] = {{"1", "Bookmarks bar", "", true, {}}, {"2", "Other bookmarks", "", true, {}},
                   {"3", "Mobile bookmarks", "", true, {}}};
  const char* keys[3] = {"bookmark_bar", "other", "synced"};
  std::vector<Node*> stack = {&roots[0]};
  int nextId = 4;
  for (const auto& [first, second] : entries) {
    if (first.rfind("root:", 0) == 0) {
      for (int i = 0; i < 3; ++i) {
        if (first.substr(5) == keys[i]) stack = {&roots[i]};
      }
    } else if (first.rfind("folder:", 0) == 0) {
      stack.back()->children.push_back(Node{std::to_string(nextId++), first.substr(7), "", true, {}});
      stack.push_back(&stack.back()->children.back());
    } else if (first == "end") {
      stack.pop_back();
    } else {
      stack.back()->children.push_back(Node{std::to_string(nextId++), first, second, false, {}});
    }
  }
  digest::Md5 md5;
  for (const Node& root : roots) Checksum(md5, root);
  std::string out = "{\n   \"checksum\": \"" + md5.FinishHex() + "\",\n   \"roots\": {\n";
  for (int i = 0; i < 3; ++i) {
    out += "      \"" + std::string(keys[i]) + "\": ";
    Write(out, roots[i], 2);
    out += i < 2 ? ",\n" : "\n";
  }
  out += "   },\n   \"sync_metadata\": \"CAESAggB\",\n   \"version\": 1\n}\n";
  return out;
}
