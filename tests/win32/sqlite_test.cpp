// SQLite on Windows is the system's winsqlite3.dll. Where the system has
// none (wine has none), a database store is refused with words that say
// so, and nothing crashes.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/sqlite.h"
#include "platform/text.h"
#include "stores/places.h"
#include "support/temp_dir.h"

namespace {

TEST(SystemSqlite, OpensDatabasesOrSaysThatTheSystemHasNone) {
  TempDir dir;
  WriteFileBytes(dir.file("places.sqlite"), "");
  sqlite::Database database;
  std::u16string reason;
  if (!sqlite::Available()) {
    EXPECT_FALSE(database.Open(dir.file16("places.sqlite"), sqlite::OpenMode::ReadWrite, &reason));
    EXPECT_NE(text::Utf16ToUtf8(reason).find("winsqlite3.dll"), std::string::npos) << text::Utf16ToUtf8(reason);
    EXPECT_EQ(database.ErrorText(), reason);
    BookmarkFolder root;
    std::u16string problem;
    EXPECT_FALSE(ReadPlaces(dir.file16("places.sqlite"), root, &problem));
    EXPECT_EQ(problem, reason);
    return;
  }
  // Names beyond the system code page reach the library whole.
  const std::u16string path = dir.file16("caf\xC3\xA9.sqlite");
  ASSERT_TRUE(database.Open(path, sqlite::OpenMode::Create, &reason)) << text::Utf16ToUtf8(reason);
  ASSERT_TRUE(database.Execute("CREATE TABLE t(x TEXT); INSERT INTO t VALUES ('caf\xC3\xA9')", &reason));
  sqlite::Statement query;
  ASSERT_TRUE(query.Prepare(database, "SELECT x FROM t", &reason));
  ASSERT_EQ(query.Next(), sqlite::Statement::Step::Row);
  EXPECT_EQ(query.Text(0), "caf\xC3\xA9");
  database.Close();
  EXPECT_NE(::GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.c_str())), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
