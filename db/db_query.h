// A forward-only cursor over the rows of one SQLite statement.
#pragma once

#include <memory>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// Made by DbConnection::query, positioned on the first row or at the end.
// Held by value: it owns its prepared statement and finalizes it when it is
// finalized, assigned over or destroyed. Moving hands the statement over; the
// moved-from cursor has none. The connection is borrowed and should outlive
// the statement: finalize the cursor before closing the connection. A cursor
// whose connection was closed first keeps that connection alive inside SQLite
// and may then only be finalized or destroyed, which releases it.
//
// Every operation raises DbException. An operation on a cursor that holds no
// statement (default-made, moved from, finalized, or after next() failed)
// raises code 1000 with "Null Virtual Machine pointer".
class DbQuery {
 public:
  // A cursor without a statement.
  DbQuery() noexcept;
  DbQuery(DbQuery&& other) noexcept;
  // Finalizes this cursor's own statement (ignoring any error), then takes
  // over the other's statement and state.
  DbQuery& operator=(DbQuery&& other) noexcept;
  DbQuery(const DbQuery&) = delete;
  DbQuery& operator=(const DbQuery&) = delete;
  // Finalizes the statement; errors are swallowed.
  virtual ~DbQuery();

  // True when there is no current row: the result is exhausted.
  bool atEnd() const;
  // Number of result columns.
  int columnCount() const;
  // Steps to the next row; at the end it stays at the end. When SQLite
  // fails, the statement is finalized and SQLite's code and message raised.
  void next();
  // Finalizes the statement; afterwards the cursor holds none. Raises
  // SQLite's code and message when the finalization reports an error.
  // Does nothing on a cursor without statement.
  void finalize();

  // 0-based index of the first result column whose name equals `name`,
  // ignoring ASCII case; code 1000 "Invalid field name requested [name]"
  // when there is none (also for an empty name).
  int columnIndex(std::u16string_view name) const;
  // SQLite's type of the column in the current row (5 for NULL); code 1000
  // "Invalid field index requested" when index is not a result column.
  int columnType(int index) const;

  // The value of the named column in the current row, with SQLite's own
  // conversions (text "12" read as an integer gives 12). A NULL value reads
  // as "", 0 and 0.0. A text is read whole, zero characters included.
  std::u16string textByName(std::u16string_view name) const;
  int intByName(std::u16string_view name) const;
  double realByName(std::u16string_view name) const;
  // The same by a column's index (columnIndex), for reading many rows
  // without looking the names up again; code 1000 "Invalid field index
  // requested" when index is not a result column.
  std::u16string textAt(int index) const;
  int intAt(int index) const;

 private:
  friend class DbConnection;
  friend class DbStatement;

  struct Finalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
  };
  using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

  // What a statement reports when it is finished.
  struct Outcome {
    int result;              // the statement's own result code
    std::u16string message;  // SQLite's message for the connection
  };

  DbQuery(sqlite3* handle, Statement statement, bool atEnd);

  // Finalizes the statement and returns its result (the specific code after
  // a failed step) with the connection's message.
  static Outcome finishStatement(sqlite3* handle, Statement statement);
  // SQLite's current message for the connection; empty when it has none.
  static std::u16string connectionMessage(sqlite3* handle);

  // Raises "Null Virtual Machine pointer" when there is no statement.
  void requireStatement() const;
  // Raises unless index is one of the statement's columns.
  void requireColumn(int index) const;

  sqlite3* handle_ = nullptr;  // borrowed from the connection
  Statement statement_;
  bool atEnd_ = true;
  int columnCount_ = 0;
};
