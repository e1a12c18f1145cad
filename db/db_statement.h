// One prepared statement that runs again and again with new values bound to
// its parameters, so that many rows of one shape are written without SQLite
// compiling each of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// Made by DbConnection::prepareStatement. Move-only; it finalizes its
// statement when destroyed. The connection is borrowed and must outlive it.
// Parameters are numbered from 1, in the order of the statement's "?"
// markers. Every failure raises DbException with SQLite's code and message.
class DbStatement {
 public:
  DbStatement() noexcept;
  DbStatement(DbStatement&& other) noexcept;
  DbStatement& operator=(DbStatement&& other) noexcept;
  DbStatement(const DbStatement&) = delete;
  DbStatement& operator=(const DbStatement&) = delete;
  ~DbStatement();

  explicit operator bool() const noexcept { return statement_ != nullptr; }
  int parameterCount() const;

  // The value of parameter `index` for the next run. A text is borrowed, not
  // copied: it must stay as it is until run() returns or the parameter is
  // bound again.
  void bindInteger(int index, int64_t value);
  void bindReal(int index, double value);
  void bindText(int index, std::u16string_view text);
  void bindNull(int index);

  // Runs the statement with the values bound, to its first step (rows it
  // returns are not read), and makes it ready for the next run; the values
  // stay bound until they are bound again. Raises as DbConnection::execute:
  // a step that is neither done nor a row raises SQLite's specific code and
  // message, SQLITE_BUSY after the busy time-out included.
  void run();

 private:
  friend class DbConnection;

  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
  };

  DbStatement(sqlite3* handle, sqlite3_stmt* statement) noexcept;
  // Raises "Null Virtual Machine pointer" without a statement, and SQLite's
  // error for a failed bind.
  void requireStatement() const;
  void checkBind(int result) const;

  sqlite3* handle_ = nullptr;  // borrowed from the connection
  std::unique_ptr<sqlite3_stmt, Finalizer> statement_;
};
