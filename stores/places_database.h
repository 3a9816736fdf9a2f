// What the places reader and writer share: telling whether this program
// knows the database's layout, and the roots Firefox keeps.
#pragma once

#include <string>
#include <string_view>

#include "platform/sqlite.h"

// Firefox's fixed item identities of the roots.
inline constexpr std::string_view kPlacesRootGuid = "root________";
inline constexpr std::string_view kTagsRootGuid = "tags________";
inline constexpr std::string_view kUnfiledRootGuid = "unfiled_____";

// moz_bookmarks.type
inline constexpr int kPlacesBookmark = 1;
inline constexpr int kPlacesFolder = 2;
inline constexpr int kPlacesSeparator = 3;

// False, with `problem` in words for the person, when the database is not
// one of Firefox's bookmark databases in a layout this program knows (a
// newer one, or one without the tables and columns it reads; for writing,
// also those it keeps consistent).
bool CheckPlacesLayout(sqlite::Database& database, bool forWriting, std::u16string* problem);

// The person's words for a failure of the library: a damaged file is called
// so, anything else gets the library's message.
std::u16string DescribeDatabaseFailure(const sqlite::Database& database, const std::u16string& message);

// True when `table` has `column`.
bool HasColumn(sqlite::Database& database, std::string_view table, std::string_view column);
