// SQLite on Windows is the system's own copy, winsqlite3.dll (part of
// Windows 10 and later), taken from the system folder when the first
// database is opened. Where it is missing, every open fails with a message
// that says so, and nothing else is ever called.
#include "platform/win32/windows_api.h"

// The declarations of Debian's sqlite3.h, with the calling convention of
// winsqlite3.dll, which on 32-bit Windows is that of the system's own calls.
#if defined(__i386__)
#define SQLITE_APICALL __stdcall
#define SQLITE_CALLBACK __stdcall
#endif
#include <sqlite3.h>

#include <mutex>

#include "platform/sqlite.h"
#include "platform/text.h"

namespace sqlite {
namespace {

// Every call this file makes, each looked up by name in the library.
#define LINNET_SQLITE_CALLS(X)                                                                               \
  X(sqlite3_errmsg) X(sqlite3_errstr) X(sqlite3_open_v2) X(sqlite3_close_v2) X(sqlite3_extended_result_codes) \
  X(sqlite3_busy_timeout) X(sqlite3_exec) X(sqlite3_backup_init) X(sqlite3_backup_step)                      \
  X(sqlite3_backup_finish) X(sqlite3_errcode) X(sqlite3_extended_errcode) X(sqlite3_last_insert_rowid)       \
  X(sqlite3_prepare_v2) X(sqlite3_finalize) X(sqlite3_bind_int64) X(sqlite3_bind_text64) X(sqlite3_bind_null) \
  X(sqlite3_step) X(sqlite3_reset) X(sqlite3_db_handle) X(sqlite3_column_count) X(sqlite3_column_type)       \
  X(sqlite3_column_int64) X(sqlite3_column_text) X(sqlite3_column_bytes)

struct Library {
#define LINNET_SQLITE_POINTER(name) decltype(&::name) name = nullptr;
  LINNET_SQLITE_CALLS(LINNET_SQLITE_POINTER)
#undef LINNET_SQLITE_POINTER
  bool loaded = false;
};

constexpr std::u16string_view kMissing =
    u"This system has no SQLite library (winsqlite3.dll, which comes with Windows 10 and later), "
    u"so databases cannot be opened.";

const Library& Sqlite() {
  static Library library;
  static std::once_flag once;
  std::call_once(once, [] {
    // Only the system folder's copy: a DLL of that name beside the program
    // or in the current folder is never loaded in its place.
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    HMODULE module = ::LoadLibraryW((std::wstring(folder, length) + L"\\winsqlite3.dll").c_str());
    if (!module) return;
    bool all = true;
#define LINNET_SQLITE_LOOKUP(name)                                                                   \
  library.name = reinterpret_cast<decltype(&::name)>(reinterpret_cast<void (*)()>(::GetProcAddress(module, #name))); \
  all = all && library.name;
    LINNET_SQLITE_CALLS(LINNET_SQLITE_LOOKUP)
#undef LINNET_SQLITE_LOOKUP
    // A copy without one of the calls is as good as none (the module stays
    // loaded: it costs nothing, and nothing of it is called).
    library.loaded = all;
  });
  return library;
}

}  // namespace

struct Database::State {
  sqlite3* db = nullptr;
  int lastCode = SQLITE_OK;
  bool missing = false;  // the last failure was the missing library
};

struct Statement::State {
  sqlite3_stmt* statement = nullptr;
  Database::State* owner = nullptr;
};

namespace {

std::u16string MessageOf(sqlite3* db, int code) {
  const Library& lib = Sqlite();
  if (!lib.loaded) return std::u16string(kMissing);
  const char* text = db ? lib.sqlite3_errmsg(db) : lib.sqlite3_errstr(code);
  return text::Utf8ToUtf16(text ? text : lib.sqlite3_errstr(code));
}

bool Fail(Database::State& state, int code, std::u16string* reason) {
  state.lastCode = code;
  if (reason) *reason = state.missing ? std::u16string(kMissing) : MessageOf(state.db, code);
  return false;
}

}  // namespace

bool Available() { return Sqlite().loaded; }

Database::Database() : state_(std::make_unique<State>()) {}
Database::~Database() { Close(); }

bool Database::Open(std::u16string_view path, OpenMode mode, std::u16string* reason) {
  Close();
  const Library& lib = Sqlite();
  state_->missing = !lib.loaded;
  if (state_->missing) return Fail(*state_, SQLITE_CANTOPEN, reason);
  int flags = SQLITE_OPEN_READONLY;
  if (mode == OpenMode::ReadWrite) flags = SQLITE_OPEN_READWRITE;
  if (mode == OpenMode::Create) flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  // Each connection belongs to one thread of this program; the library's
  // own locking between threads is not needed.
  flags |= SQLITE_OPEN_NOMUTEX;
  // The library takes file names in UTF-8 and opens them by their UTF-16
  // form, so no name passes through the system code page.
  const std::string name = text::Utf16ToUtf8(path);
  const int code = lib.sqlite3_open_v2(name.c_str(), &state_->db, flags, nullptr);
  if (code != SQLITE_OK) {
    Fail(*state_, code, reason);
    Close();
    return false;
  }
  lib.sqlite3_extended_result_codes(state_->db, 1);
  // A lock held elsewhere is waited for briefly, never for long: the
  // person is told instead.
  lib.sqlite3_busy_timeout(state_->db, 2000);
  return true;
}

void Database::Close() {
  if (state_->db) Sqlite().sqlite3_close_v2(state_->db);
  state_->db = nullptr;
}

bool Database::IsOpen() const { return state_->db != nullptr; }

bool Database::Execute(std::string_view sql, std::u16string* reason) {
  if (!state_->db) return Fail(*state_, SQLITE_MISUSE, reason);
  const std::string text(sql);
  const int code = Sqlite().sqlite3_exec(state_->db, text.c_str(), nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) return Fail(*state_, code, reason);
  state_->lastCode = SQLITE_OK;
  return true;
}

bool Database::BackupTo(std::u16string_view path, std::u16string* reason) {
  if (!state_->db) return Fail(*state_, SQLITE_MISUSE, reason);
  const Library& lib = Sqlite();
  Database target;
  if (!target.Open(path, OpenMode::Create, reason)) return false;
  sqlite3_backup* backup = lib.sqlite3_backup_init(target.state_->db, "main", state_->db, "main");
  if (!backup) return Fail(*target.state_, lib.sqlite3_errcode(target.state_->db), reason);
  // All pages in one step: the source is read under one lock, so the copy
  // is one moment of it.
  int code = lib.sqlite3_backup_step(backup, -1);
  const int finished = lib.sqlite3_backup_finish(backup);
  if (code == SQLITE_DONE) code = finished;
  if (code != SQLITE_OK) return Fail(*target.state_, code, reason);
  return true;
}

std::int64_t Database::LastInsertRowId() const {
  return state_->db ? Sqlite().sqlite3_last_insert_rowid(state_->db) : 0;
}

std::u16string Database::ErrorText() const {
  return state_->missing ? std::u16string(kMissing) : MessageOf(state_->db, state_->lastCode);
}

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
  if (state_->statement) Sqlite().sqlite3_finalize(state_->statement);
}

bool Statement::Prepare(Database& database, std::string_view sql, std::u16string* reason) {
  const Library& lib = Sqlite();
  if (state_->statement) lib.sqlite3_finalize(state_->statement);
  state_->statement = nullptr;
  state_->owner = database.state_.get();
  if (!database.state_->db) return Fail(*state_->owner, SQLITE_MISUSE, reason);
  const int code = lib.sqlite3_prepare_v2(database.state_->db, sql.data(), static_cast<int>(sql.size()),
                                          &state_->statement, nullptr);
  if (code != SQLITE_OK) return Fail(*state_->owner, code, reason);
  return true;
}

// A statement exists only where a database was opened, so the library is
// there for every call below that has one.
void Statement::Bind(int index, std::int64_t value) {
  if (state_->statement) Sqlite().sqlite3_bind_int64(state_->statement, index, value);
}

void Statement::Bind(int index, std::string_view text) {
  if (state_->statement)
    Sqlite().sqlite3_bind_text64(state_->statement, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

void Statement::BindNull(int index) {
  if (state_->statement) Sqlite().sqlite3_bind_null(state_->statement, index);
}

Statement::Step Statement::Next() {
  if (!state_->statement) return Step::Failed;
  const Library& lib = Sqlite();
  const int code = lib.sqlite3_step(state_->statement);
  if (code == SQLITE_ROW) return Step::Row;
  if (code == SQLITE_DONE) return Step::Done;
  state_->owner->lastCode = lib.sqlite3_extended_errcode(lib.sqlite3_db_handle(state_->statement));
  return Step::Failed;
}

void Statement::Reset() {
  if (state_->statement) Sqlite().sqlite3_reset(state_->statement);
}

bool Statement::Run(std::u16string* reason) {
  const Step step = Next();
  Reset();
  if (step == Step::Failed) {
    if (reason) {
      *reason = state_->statement ? MessageOf(Sqlite().sqlite3_db_handle(state_->statement), state_->owner->lastCode)
                                  : MessageOf(nullptr, SQLITE_MISUSE);
    }
    return false;
  }
  return true;
}

int Statement::ColumnCount() const {
  return state_->statement ? Sqlite().sqlite3_column_count(state_->statement) : 0;
}

bool Statement::IsNull(int column) const {
  return !state_->statement || Sqlite().sqlite3_column_type(state_->statement, column) == SQLITE_NULL;
}

std::int64_t Statement::Int(int column) const {
  return state_->statement ? Sqlite().sqlite3_column_int64(state_->statement, column) : 0;
}

std::string Statement::Text(int column) const {
  if (!state_->statement) return std::string();
  const Library& lib = Sqlite();
  const unsigned char* bytes = lib.sqlite3_column_text(state_->statement, column);
  if (!bytes) return std::string();
  return std::string(reinterpret_cast<const char*>(bytes),
                     static_cast<std::size_t>(lib.sqlite3_column_bytes(state_->statement, column)));
}

}  // namespace sqlite
