// SQLite databases, for the browser stores that keep their bookmarks in one.
// A thin layer over the SQLite library itself: SQL text goes through as it
// is, and every failure comes back as false with the library's own words.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sqlite {

// True when this build can open databases at all (a build without the
// library says so instead of failing at every call).
bool Available();

enum class OpenMode {
  ReadOnly,
  ReadWrite,  // the file must exist
  Create,     // read and write, made when missing
};

class Statement;

// One connection. Closed when destroyed.
class Database {
 public:
  Database();
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  bool Open(std::u16string_view path, OpenMode mode, std::u16string* reason = nullptr);
  void Close();
  bool IsOpen() const;

  // Runs statements that return no rows of interest.
  bool Execute(std::string_view sql, std::u16string* reason = nullptr);

  // Copies the whole database, as one consistent snapshot, into the
  // database at `path` (made when missing, replaced otherwise).
  bool BackupTo(std::u16string_view path, std::u16string* reason = nullptr);

  // The rowid of the last row inserted through this connection.
  std::int64_t LastInsertRowId() const;

  // The library's message for the last failure, and whether that failure
  // was a lock held by someone else, or a file that is not a database (or
  // a damaged one).
  std::u16string ErrorText() const;
  bool LastFailureWasBusy() const;
  bool LastFailureWasDamage() const;

  struct State;

 private:
  friend class Statement;
  std::unique_ptr<State> state_;
};

// One prepared statement. Columns and parameters count from 0 and 1 as in
// SQLite. Finalised when destroyed.
class Statement {
 public:
  Statement();
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Prepare(Database& database, std::string_view sql, std::u16string* reason = nullptr);

  void Bind(int index, std::int64_t value);
  void Bind(int index, std::string_view text);
  void BindNull(int index);

  enum class Step { Row, Done, Failed };
  Step Next();
  // Ready to run again, with its bindings kept.
  void Reset();
  // Runs a statement that returns no rows, then resets it.
  bool Run(std::u16string* reason = nullptr);

  int ColumnCount() const;
  bool IsNull(int column) const;
  std::int64_t Int(int column) const;
  std::string Text(int column) const;  // the stored bytes; "" for NULL

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace sqlite
