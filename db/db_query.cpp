#include "db/db_query.h"

#include <sqlite3.h>

#include <utility>

#include "db/db_exception.h"
#include "platform/format.h"
#include "platform/text.h"

void DbQuery::Finalizer::operator()(sqlite3_stmt* statement) const noexcept {
  sqlite3_finalize(statement);
}

DbQuery::DbQuery() noexcept = default;

DbQuery::DbQuery(sqlite3* handle, Statement statement, bool atEnd)
    : handle_(handle), statement_(std::move(statement)), atEnd_(atEnd) {
  columnCount_ = sqlite3_column_count(statement_.get());
}

DbQuery::DbQuery(DbQuery&& other) noexcept
    : handle_(other.handle_),
      statement_(std::move(other.statement_)),
      atEnd_(other.atEnd_),
      columnCount_(other.columnCount_) {}

DbQuery& DbQuery::operator=(DbQuery&& other) noexcept {
  if (this != &other) {
    statement_.reset();
    handle_ = other.handle_;
    statement_ = std::move(other.statement_);
    atEnd_ = other.atEnd_;
    columnCount_ = other.columnCount_;
  }
  return *this;
}

DbQuery::~DbQuery() = default;

void DbQuery::requireStatement() const {
  if (!statement_) throw DbException(DbException::kLayerError, u"Null Virtual Machine pointer");
}

bool DbQuery::atEnd() const {
  requireStatement();
  return atEnd_;
}

int DbQuery::columnCount() const {
  requireStatement();
  return columnCount_;
}

void DbQuery::next() {
  requireStatement();
  // Stepping a finished statement would silently run it again from its first
  // row; a forward-only cursor stays at its end instead.
  if (atEnd_) return;
  int step = sqlite3_step(statement_.get());
  if (step == SQLITE_DONE) {
    atEnd_ = true;
    return;
  }
  if (step == SQLITE_ROW) return;
  Outcome failure = finishStatement(handle_, std::move(statement_));
  throw DbException(failure.result != SQLITE_OK ? failure.result : step, failure.message);
}

void DbQuery::finalize() {
  if (!statement_) return;
  Outcome outcome = finishStatement(handle_, std::move(statement_));
  if (outcome.result != SQLITE_OK) throw DbException(outcome.result, outcome.message);
}

int DbQuery::columnIndex(std::u16string_view name) const {
  requireStatement();
  if (!name.empty()) {
    for (int index = 0; index < columnCount_; ++index) {
      const void* column = sqlite3_column_name16(statement_.get(), index);
      if (column && platform::EqualsIgnoringAsciiCase(name, static_cast<const char16_t*>(column))) {
        return index;
      }
    }
  }
  throw DbException(
      DbException::kLayerError,
      platform::FormatWide(platform::kUnlimited, u"Invalid field name requested [%s]", name));
}

void DbQuery::requireColumn(int index) const {
  requireStatement();
  if (index < 0 || index >= columnCount_) {
    throw DbException(DbException::kLayerError, u"Invalid field index requested");
  }
}

int DbQuery::columnType(int index) const {
  requireColumn(index);
  return sqlite3_column_type(statement_.get(), index);
}

std::u16string DbQuery::textByName(std::u16string_view name) const {
  return textAt(columnIndex(name));
}

int DbQuery::intByName(std::u16string_view name) const { return intAt(columnIndex(name)); }

std::u16string DbQuery::textAt(int index) const {
  requireColumn(index);
  // NULL reads as no text. The text belongs to the statement and changes with the next step: copy
  // it, whole: a text may hold zero characters, and cutting it at the first would hand the host a
  // different value than the caller stored.
  const void* text = sqlite3_column_text16(statement_.get(), index);
  if (!text) return std::u16string();
  const int bytes = sqlite3_column_bytes16(statement_.get(), index);
  return std::u16string(static_cast<const char16_t*>(text),
                        static_cast<size_t>(bytes) / sizeof(char16_t));
}

int DbQuery::intAt(int index) const {
  requireColumn(index);
  // NULL reads as 0.
  return sqlite3_column_int(statement_.get(), index);
}

double DbQuery::realByName(std::u16string_view name) const {
  int index = columnIndex(name);
  if (sqlite3_column_type(statement_.get(), index) == SQLITE_NULL) return 0.0;
  return sqlite3_column_double(statement_.get(), index);
}

DbQuery::Outcome DbQuery::finishStatement(sqlite3* handle, Statement statement) {
  // Statements from the legacy prepare interface report only the generic
  // SQLITE_ERROR from a step; the specific result and its message reach the
  // connection when the statement is reset. Both are taken before the
  // statement goes: finalizing the last statement of a connection that was
  // closed while statements were open releases that connection.
  Outcome outcome;
  outcome.result = sqlite3_reset(statement.get());
  outcome.message = connectionMessage(handle);
  statement.reset();
  return outcome;
}

std::u16string DbQuery::connectionMessage(sqlite3* handle) {
  const void* text = sqlite3_errmsg16(handle);
  return text ? std::u16string(static_cast<const char16_t*>(text)) : std::u16string();
}
