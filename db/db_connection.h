// One connection to an SQLite database file, through SQLite's UTF-16
// interface.
#pragma once

#include <memory>
#include <string>

#include "db/db_query.h"
#include "db/db_statement.h"

struct sqlite3;

// Opens, runs statements on and closes one database. All text (path, SQL)
// is UTF-16 and passed to SQLite unchanged; values are part of the SQL text,
// except in a prepared statement that binds them (prepareStatement). A statement that meets a
// database locked by another connection waits up to the busy time-out before it fails with
// SQLITE_BUSY. Every failure raises DbException with SQLite's code and message, or code 1000 for
// the layer's own errors. Not copyable; one thread at a time.
class DbConnection {
 public:
  static constexpr int kDefaultBusyTimeoutMs = 60000;

  // No database is open yet.
  explicit DbConnection(int busyTimeoutMs = kDefaultBusyTimeoutMs) noexcept;
  DbConnection(const DbConnection&) = delete;
  DbConnection& operator=(const DbConnection&) = delete;
  // Closes the database; never raises.
  virtual ~DbConnection();

  // Opens (and creates when missing) the database file at `path`, closing
  // the database open before. On failure no database is open and SQLite's
  // code and message are raised.
  void open(const std::u16string& path);
  // Closes the database, if one is open; afterwards none is. Returns false
  // when statements of it were still open: SQLite then releases the
  // connection once the last of them is finalized. Never raises.
  bool close() noexcept;
  bool isOpen() const noexcept { return handle_ != nullptr; }
  int busyTimeoutMs() const noexcept { return busyTimeoutMs_; }

  // Runs the first statement of `sql` to its first step (statements that
  // return rows are not read). A text without a statement does nothing.
  // Raises code 1000 "Database not open" without a database, and SQLite's
  // code and message when preparing or stepping fails: a step that reports
  // SQLITE_ERROR raises code 1, a database still locked after the busy
  // time-out raises SQLITE_BUSY (5). A statement invalidated by a schema
  // change is prepared again a few times before SQLITE_SCHEMA is raised.
  void execute(const std::u16string& sql);

  // Runs the first statement of `sql` and returns a cursor on its first row
  // (at its end when there is none). Raises as execute does, except that a
  // failed step raises the statement's own result code. A text without a
  // statement gives a cursor without statement.
  DbQuery query(const std::u16string& sql);

  // The first statement of `sql` prepared to run with bound values
  // (DbStatement). Raises as execute does when it cannot be prepared; a
  // text without a statement gives a DbStatement without one.
  DbStatement prepareStatement(const std::u16string& sql);

  // Whether the file at path may be deleted to make room for a new
  // database: true when it is missing, is no database, or is a database that
  // nobody else uses and that can be written (an exclusive lock on it could
  // be taken at once). False for a database that another connection has
  // open in a transaction or holds locked, and for one that is read-only:
  // such a file is in use or protected, as Windows would refuse to delete
  // it. Never raises.
  static bool Replaceable(const std::u16string& path) noexcept;

 private:
  struct Closer {
    void operator()(sqlite3* handle) const noexcept;
  };

  // Raises "Database not open" when no database is open.
  void requireOpen() const;
  // The prepared first statement of `sql`; null when the text holds none.
  DbQuery::Statement prepare(const std::u16string& sql);

  std::unique_ptr<sqlite3, Closer> handle_;
  int busyTimeoutMs_;
};
