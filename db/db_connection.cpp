#include "db/db_connection.h"

#include <sqlite3.h>

#include <utility>

#include "db/db_exception.h"
#include "platform/text.h"

namespace {

// How often a statement is prepared again after a schema change before the
// change is reported; a concurrent schema change needs one, a connection that
// keeps failing must not spin.
constexpr int kSchemaRetries = 5;

// Closes a connection. SQLite refuses while statements of it are open; the
// connection is then handed to close_v2, which releases it with its last
// statement, instead of being lost with its file handle.
int CloseConnection(sqlite3* handle) noexcept {
  int result = sqlite3_close(handle);
  if (result != SQLITE_OK) sqlite3_close_v2(handle);
  return result;
}

}  // namespace

void DbConnection::Closer::operator()(sqlite3* handle) const noexcept { CloseConnection(handle); }

DbConnection::DbConnection(int busyTimeoutMs) noexcept : busyTimeoutMs_(busyTimeoutMs) {}

DbConnection::~DbConnection() = default;

void DbConnection::open(const std::u16string& path) {
  close();
  sqlite3* raw = nullptr;
  // A connection serves one operation on one thread: SQLite need not lock
  // it on every call.
  int result =
      sqlite3_open_v2(platform::Utf16ToUtf8(path.c_str()).c_str(), &raw,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  // SQLite hands out a connection even when opening fails; it must be closed
  // either way.
  std::unique_ptr<sqlite3, Closer> handle(raw);
  if (result != SQLITE_OK) {
    throw DbException(result, handle ? DbQuery::connectionMessage(handle.get()) : u"");
  }
  // A file made here holds its texts in UTF-16, as the tables' readers
  // expect; an existing file keeps the encoding it has.
  sqlite3_exec(handle.get(), "pragma encoding = 'UTF-16'", nullptr, nullptr, nullptr);
  sqlite3_busy_timeout(handle.get(), busyTimeoutMs_);
  handle_ = std::move(handle);
}

bool DbConnection::close() noexcept {
  if (!handle_) return true;
  return CloseConnection(handle_.release()) == SQLITE_OK;
}

void DbConnection::requireOpen() const {
  if (!handle_) throw DbException(DbException::kLayerError, u"Database not open");
}

DbQuery::Statement DbConnection::prepare(const std::u16string& sql) {
  requireOpen();
  sqlite3_stmt* raw = nullptr;
  int result = sqlite3_prepare16(handle_.get(), sql.c_str(), -1, &raw, nullptr);
  DbQuery::Statement statement(raw);
  if (result != SQLITE_OK) {
    throw DbException(result, DbQuery::connectionMessage(handle_.get()));
  }
  return statement;
}

void DbConnection::execute(const std::u16string& sql) {
  for (int attempt = 0;; ++attempt) {
    DbQuery::Statement statement = prepare(sql);
    if (!statement) return;
    int step = sqlite3_step(statement.get());
    if (step == SQLITE_DONE || step == SQLITE_ROW) return;
    // Anything else means the statement did not take effect: a commit or an
    // insert that waited out the busy time-out must not pass for done.
    DbQuery::Outcome failure = DbQuery::finishStatement(handle_.get(), std::move(statement));
    if (failure.result == SQLITE_SCHEMA) {
      if (attempt < kSchemaRetries) continue;
      throw DbException(SQLITE_SCHEMA, failure.message);
    }
    throw DbException(step, failure.message);
  }
}

bool DbConnection::Replaceable(const std::u16string& path) noexcept {
  try {
    sqlite3* raw = nullptr;
    // Without SQLITE_OPEN_CREATE: a missing file stays missing.
    const int opened =
        sqlite3_open_v2(platform::Utf16ToUtf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, Closer> handle(raw);
    if (opened != SQLITE_OK) return true;
    sqlite3_busy_timeout(handle.get(), 0);
    const int locked = sqlite3_exec(handle.get(), "begin exclusive", nullptr, nullptr, nullptr);
    // Known once the lock has read the file's header: write-protected by the
    // file system, or marked read-only in the file itself.
    const bool readOnly = sqlite3_db_readonly(handle.get(), "main") == 1;
    if (locked == SQLITE_OK) sqlite3_exec(handle.get(), "rollback", nullptr, nullptr, nullptr);
    const int primary = locked & 0xFF;
    if (primary == SQLITE_OK) return !readOnly;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
  } catch (...) {
    // Out of memory while converting the path: leave the file alone.
    return false;
  }
}

DbStatement DbConnection::prepareStatement(const std::u16string& sql) {
  requireOpen();
  sqlite3_stmt* raw = nullptr;
  // The current interface: a statement invalidated by a schema change is
  // prepared again by SQLite itself, and a step reports its specific error.
  int result = sqlite3_prepare16_v2(handle_.get(), sql.c_str(), -1, &raw, nullptr);
  DbStatement statement(handle_.get(), raw);
  if (result != SQLITE_OK) {
    throw DbException(result, DbQuery::connectionMessage(handle_.get()));
  }
  return statement;
}

DbQuery DbConnection::query(const std::u16string& sql) {
  for (int attempt = 0;; ++attempt) {
    DbQuery::Statement statement = prepare(sql);
    if (!statement) return DbQuery();
    int step = sqlite3_step(statement.get());
    if (step == SQLITE_DONE || step == SQLITE_ROW) {
      return DbQuery(handle_.get(), std::move(statement), step == SQLITE_DONE);
    }
    DbQuery::Outcome failure = DbQuery::finishStatement(handle_.get(), std::move(statement));
    if (failure.result == SQLITE_SCHEMA && attempt < kSchemaRetries) continue;
    throw DbException(failure.result != SQLITE_OK ? failure.result : step, failure.message);
  }
}
