#include "platform/sqlite.h"

#include <sqlite3.h>

#include "platform/files.h"
#include "platform/text.h"

namespace sqlite {

struct Database::State {
  sqlite3* db = nullptr;
  int lastCode = SQLITE_OK;
};

struct Statement::State {
  sqlite3_stmt* statement = nullptr;
  Database::State* owner = nullptr;
};

namespace {

std::u16string MessageOf(sqlite3* db, int code) {
  const char* text = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  return text::Utf8ToUtf16(text ? text : sqlite3_errstr(code));
}

bool Fail(Database::State& state, int code, std::u16string* reason) {
  state.lastCode = code;
  if (reason) *reason = MessageOf(state.db, code);
  return false;
}

}  // namespace

bool Available() { return true; }

Database::Database() : state_(std::make_unique<State>()) {}
Database::~Database() { Close(); }

bool Database::Open(std::u16string_view path, OpenMode mode, std::u16string* reason) {
  Close();
  int flags = SQLITE_OPEN_READONLY;
  if (mode == OpenMode::ReadWrite) flags = SQLITE_OPEN_READWRITE;
  if (mode == OpenMode::Create) flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  // Each connection belongs to one thread of this program; the library's
  // own locking between threads is not needed.
  flags |= SQLITE_OPEN_NOMUTEX;
  const std::string native = files::NativePath(path);
  const int code = sqlite3_open_v2(native.c_str(), &state_->db, flags, nullptr);
  if (code != SQLITE_OK) {
    Fail(*state_, code, reason);
    Close();
    return false;
  }
  sqlite3_extended_result_codes(state_->db, 1);
  // A lock held elsewhere is waited for briefly, never for long: the
  // person is told instead.
  sqlite3_busy_timeout(state_->db, 2000);
  return true;
}

void Database::Close() {
  if (state_->db) sqlite3_close_v2(state_->db);
  state_->db = nullptr;
}

bool Database::IsOpen() const { return state_->db != nullptr; }

bool Database::Execute(std::string_view sql, std::u16string* reason) {
  if (!state_->db) return Fail(*state_, SQLITE_MISUSE, reason);
  const std::string text(sql);
  const int code = sqlite3_exec(state_->db, text.c_str(), nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) return Fail(*state_, code, reason);
  state_->lastCode = SQLITE_OK;
  return true;
}

bool Database::BackupTo(std::u16string_view path, std::u16string* reason) {
  if (!state_->db) return Fail(*state_, SQLITE_MISUSE, reason);
  Database target;
  if (!target.Open(path, OpenMode::Create, reason)) return false;
  sqlite3_backup* backup = sqlite3_backup_init(target.state_->db, "main", state_->db, "main");
  if (!backup) return Fail(*target.state_, sqlite3_errcode(target.state_->db), reason);
  // All pages in one step: the source is read under one lock, so the copy
  // is one moment of it.
  int code = sqlite3_backup_step(backup, -1);
  const int finished = sqlite3_backup_finish(backup);
  if (code == SQLITE_DONE) code = finished;
  if (code != SQLITE_OK) return Fail(*target.state_, code, reason);
  return true;
}

std::int64_t Database::LastInsertRowId() const {
  return state_->db ? sqlite3_last_insert_rowid(state_->db) : 0;
}

std::u16string Database::ErrorText() const { return MessageOf(state_->db, state_->lastCode); }

bool Database::LastFailureWasBusy() const {
  const int primary = state_->lastCode & 0xFF;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool Database::LastFailureWasDamage() const {
  const int primary = state_->lastCode & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

Statement::Statement() : state_(std::make_unique<State>()) {}
Statement::~Statement() {
  if (state_->statement) sqlite3_finalize(state_->statement);
}

bool Statement::Prepare(Database& database, std::string_view sql, std::u16string* reason) {
  if (state_->statement) sqlite3_finalize(state_->statement);
  state_->statement = nullptr;
  state_->owner = database.state_.get();
  if (!database.state_->db) return Fail(*state_->owner, SQLITE_MISUSE, reason);
  const int code = sqlite3_prepare_v2(database.state_->db, sql.data(), static_cast<int>(sql.size()),
                                      &state_->statement, nullptr);
  if (code != SQLITE_OK) return Fail(*state_->owner, code, reason);
  return true;
}

void Statement::Bind(int index, std::int64_t value) { sqlite3_bind_int64(state_->statement, index, value); }

void Statement::Bind(int index, std::string_view text) {
  sqlite3_bind_text64(state_->statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Statement::BindNull(int index) { sqlite3_bind_null(state_->statement, index); }

Statement::Step Statement::Next() {
  if (!state_->statement) return Step::Failed;
  const int code = sqlite3_step(state_->statement);
  if (code == SQLITE_ROW) return Step::Row;
  if (code == SQLITE_DONE) return Step::Done;
  state_->owner->lastCode = sqlite3_extended_errcode(sqlite3_db_handle(state_->statement));
  return Step::Failed;
}

void Statement::Reset() {
  if (state_->statement) sqlite3_reset(state_->statement);
}

bool Statement::Run(std::u16string* reason) {
  const Step step = Next();
  Reset();
  if (step == Step::Failed) {
    if (reason) *reason = MessageOf(sqlite3_db_handle(state_->statement), state_->owner->lastCode);
    return false;
  }
  return true;
}

int Statement::ColumnCount() const { return state_->statement ? sqlite3_column_count(state_->statement) : 0; }

bool Statement::IsNull(int column) const { return sqlite3_column_type(state_->statement, column) == SQLITE_NULL; }

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(state_->statement, column); }

std::string Statement::Text(int column) const {
  const unsigned char* bytes = sqlite3_column_text(state_->statement, column);
  if (!bytes) return std::string();
  return std::string(reinterpret_cast<const char*>(bytes),
                     static_cast<std::size_t>(sqlite3_column_bytes(state_->statement, column)));
}

}  // namespace sqlite
