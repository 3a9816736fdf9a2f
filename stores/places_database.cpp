#include "stores/places_database.h"

#include "platform/text.h"
#include "stores/places.h"

namespace {

constexpr std::string_view kReadColumns[][2] = {
    {"moz_bookmarks", "id"},    {"moz_bookmarks", "type"},  {"moz_bookmarks", "fk"},
    {"moz_bookmarks", "parent"}, {"moz_bookmarks", "position"}, {"moz_bookmarks", "title"},
    {"moz_bookmarks", "guid"},  {"moz_places", "id"},       {"moz_places", "url"},
};

// What the writer keeps consistent itself, so it must be there to be kept.
constexpr std::string_view kWriteColumns[][2] = {
    {"moz_bookmarks", "dateAdded"},       {"moz_bookmarks", "lastModified"},
    {"moz_bookmarks", "syncStatus"},      {"moz_bookmarks", "syncChangeCounter"},
    {"moz_places", "guid"},               {"moz_places", "url_hash"},
    {"moz_places", "foreign_count"},      {"moz_places", "rev_host"},
};

}  // namespace

bool HasColumn(sqlite::Database& database, std::string_view table, std::string_view column) {
  sqlite::Statement statement;
  if (!statement.Prepare(database, "SELECT name FROM pragma_table_info(?)")) return false;
  statement.Bind(1, table);
  while (statement.Next() == sqlite::Statement::Step::Row) {
    if (statement.Text(0) == column) return true;
  }
  return false;
}

std::u16string DescribeDatabaseFailure(const sqlite::Database& database, const std::u16string& message) {
  if (database.LastFailureWasDamage()) {
    return u"The database is damaged or is not a database (" + message + u").";
  }
  return message;
}

bool CheckPlacesLayout(sqlite::Database& database, bool forWriting, std::u16string* problem) {
  sqlite::Statement version;
  std::u16string message;
  if (!version.Prepare(database, "PRAGMA user_version", &message) || version.Next() != sqlite::Statement::Step::Row) {
    if (message.empty()) message = database.ErrorText();
    *problem = DescribeDatabaseFailure(database, message);
    return false;
  }
  const std::int64_t schema = version.Int(0);
  if (schema > kNewestPlacesSchema) {
    *problem = text::Format(u"It was made by a newer version of Firefox than this program knows "
                            u"(database layout %d; this program knows layouts up to %d).",
                            static_cast<long long>(schema), static_cast<long long>(kNewestPlacesSchema));
    return false;
  }
  for (const auto& [table, column] : kReadColumns) {
    if (!HasColumn(database, table, column)) {
      *problem = u"It does not hold Firefox's bookmarks (there is no column " + text::Utf8ToUtf16(column) +
                 u" in " + text::Utf8ToUtf16(table) + u").";
      return false;
    }
  }
  if (!forWriting) return true;
  for (const auto& [table, column] : kWriteColumns) {
    if (!HasColumn(database, table, column)) {
      *problem = u"It was made by a version of Firefox too old for this program to write to (there is no column " +
                 text::Utf8ToUtf16(column) + u" in " + text::Utf8ToUtf16(table) + u").";
      return false;
    }
  }
  return true;
}
