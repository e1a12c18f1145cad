#include "db/db_statement.h"

#include <sqlite3.h>

#include <utility>

#include "db/db_exception.h"
#include "db/db_query.h"

void DbStatement::Finalizer::operator()(sqlite3_stmt* statement) const noexcept {
  sqlite3_finalize(statement);
}

DbStatement::DbStatement() noexcept = default;

DbStatement::DbStatement(sqlite3* handle, sqlite3_stmt* statement) noexcept
    : handle_(handle), statement_(statement) {}

DbStatement::DbStatement(DbStatement&& other) noexcept
    : handle_(other.handle_), statement_(std::move(other.statement_)) {}

DbStatement& DbStatement::operator=(DbStatement&& other) noexcept {
  if (this != &other) {
    statement_ = std::move(other.statement_);
    handle_ = other.handle_;
  }
  return *this;
}

DbStatement::~DbStatement() = default;

void DbStatement::requireStatement() const {
  if (!statement_) throw DbException(DbException::kLayerError, u"Null Virtual Machine pointer");
}

void DbStatement::checkBind(int result) const {
  if (result != SQLITE_OK) throw DbException(result, DbQuery::connectionMessage(handle_));
}

int DbStatement::parameterCount() const {
  requireStatement();
  return sqlite3_bind_parameter_count(statement_.get());
}

void DbStatement::bindInteger(int index, int64_t value) {
  requireStatement();
  checkBind(sqlite3_bind_int64(statement_.get(), index, value));
}

void DbStatement::bindReal(int index, double value) {
  requireStatement();
  checkBind(sqlite3_bind_double(statement_.get(), index, value));
}

void DbStatement::bindText(int index, std::u16string_view text) {
  requireStatement();
  // A non-null pointer even for the empty text: a null one would bind NULL.
  // Borrowed: SQLite reads it when the statement runs.
  const char16_t* data = text.empty() ? u"" : text.data();
  checkBind(sqlite3_bind_text16(statement_.get(), index, data,
                                static_cast<int>(text.size() * sizeof(char16_t)), SQLITE_STATIC));
}

void DbStatement::bindNull(int index) {
  requireStatement();
  checkBind(sqlite3_bind_null(statement_.get(), index));
}

void DbStatement::run() {
  requireStatement();
  const int step = sqlite3_step(statement_.get());
  // The specific result and its message reach the connection with the reset.
  const int reset = sqlite3_reset(statement_.get());
  if (step == SQLITE_DONE || step == SQLITE_ROW) return;
  throw DbException(reset != SQLITE_OK ? reset : step, DbQuery::connectionMessage(handle_));
}
