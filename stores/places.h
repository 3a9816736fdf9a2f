// Firefox's places database (places.sqlite): its bookmarks read into the
// tree, and the repairs written back into it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/bookmark_tree.h"

// The newest layout of the database (its schema version) that this program
// knows; a database of a newer one is neither read nor written.
inline constexpr std::int64_t kNewestPlacesSchema = 86;

// True when the file at `path` is an SQLite database (by its first bytes).
bool IsSqliteDatabase(std::u16string_view path);

// True when the file at `path` is to be taken for a places database: it is
// one, or it is named as one (and is then reported as damaged when it is not
// one, never read or written as anything else).
bool IsPlacesStore(std::u16string_view path);

// Reads the bookmarks of the database at `path` under `root`: one folder per
// root a person sees (menu, toolbar, other bookmarks, mobile), with their
// folders, links and separators in order. Works on a private copy, so a
// running Firefox is neither blocked nor disturbed. False, with `problem`,
// when the database cannot be read; the tree is then left as it was.
bool ReadPlaces(std::u16string_view path, BookmarkFolder& root, std::u16string* problem);

enum class PlacesSaveResult {
  Saved,
  BackupFailed,  // nothing was changed
  Busy,          // the database is locked by another program; nothing was changed
  Failed,        // nothing was changed
};

// Writes the repairs in `root` (read from this database by ReadPlaces, then
// applied) back into the database at `path`: fixed links point at their new
// address, and links moved into a folder the program added go into a new
// folder at the end of "Other Bookmarks". Everything else stays as it is.
// First the database is copied whole, as one consistent snapshot, to
// `backupPath`. All changes are made in one transaction, so on failure the
// database is as it was; `problem` then says why.
PlacesSaveResult SavePlaces(std::u16string_view path, const BookmarkFolder& root, std::u16string_view backupPath,
                            std::u16string* problem);

// The database's own derived values, as Firefox computes them, for the rows
// the writer adds.
namespace places_values {
// moz_places.url_hash: a 32-bit hash of the first 1500 bytes of the URL,
// with 16 bits of a hash of its scheme above it.
std::int64_t UrlHash(std::string_view url);
// moz_places.rev_host: the host (with its port) reversed, then ".".
std::string ReversedHost(std::string_view url);
// moz_origins: the prefix ("https://") and host ("www.example.com:8080").
void Origin(std::string_view url, std::string& prefix, std::string& host);
// A new item identity: 12 characters of URL-safe base64.
std::string NewGuid();
}  // namespace places_values
