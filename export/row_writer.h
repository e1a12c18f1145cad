// Writing one exported row: its values, kept with the SQLite type that their
// SQL literals would have, and written through one prepared INSERT per table
// and list of columns, with the values bound.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "db/db_statement.h"

class DbConnection;

// The SQL literal of a text: the text between single quotes, each quote
// doubled, so that no text can end the literal or alter the statement. A NUL
// character, which would cut the statement text, stands outside the quotes as
// char(0) ('a'||char(0)||'b'). A UTF-16 surrogate without its partner is no
// character and cannot be stored; it becomes U+FFFD. The empty text gives ''.
std::u16string SqlText(std::u16string_view text);

// The decimal literal of an integer ("%d").
std::u16string SqlInteger(int64_t value);

// The literal of a real: the shortest of "%g", "%.7g", ... "%.17g" that reads
// back as the same double. Where "%g" is exact the text is that of "%g"
// (0.0254, 10, 0, 1e+20). Formatted independently of the process's locale.
// An infinity is written as 9e999 (-9e999), which SQLite reads as an
// infinity; a NaN, which SQLite cannot store, as NULL.
std::u16string SqlReal(double value);

// The same literals appended to a statement's text.
void AppendSqlText(std::u16string& out, std::u16string_view text);
void AppendSqlInteger(std::u16string& out, int64_t value);
void AppendSqlReal(std::u16string& out, double value);

// The row buffers of the exporter and the INSERT statements that write them.
// Each row is built as column names with one value per name, then written
// with InsertRow or InsertRowIfAbsent; the column DADU_flag with the value 0
// is appended to every row.
//
// Each value is stored as the SQLite type its SQL literal has: a text as
// text, an integer as an integer, a real whose shortest literal is an
// integer (10, not 1e+06) as that integer, any other real as the exact
// double (bound, not rounded through a literal), an infinity as a real and
// a NaN as NULL. Statements run on a borrowed connection, one prepared
// INSERT per table and list of columns, prepared on its first row; without
// a connection the rows are only composed (statementText()).
class RowWriter {
 public:
  // How rows reach the database: through the prepared statements with the
  // values bound, or each row as its own statement text with the values as
  // literals (the text form, which stores the same types; kept as the
  // reference that the bound form is checked against).
  enum class Statements { kBound, kText };

  // `db` is borrowed and may be null; it must outlive the writer.
  explicit RowWriter(DbConnection* db, Statements statements = Statements::kBound)
      : db_(db), statementForm_(statements) {}
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // Starts writing the stored table `tableName`: sets the row's table name
  // and starts an empty row.
  void SetTable(std::u16string tableName);
  // Empties the column-name and value buffers and clears the flag mark.
  void BeginRow();

  // Appends a column with its value.
  void AddText(std::u16string_view column, std::u16string_view text);
  void AddInteger(std::u16string_view column, int64_t value);
  void AddReal(std::u16string_view column, double value);

  // Writes the row: insert into 'table' (columns,DADU_flag) values with the
  // row's values and 0 bound. When the statement fails, the failure is logged
  // with the statement's text form (statementText()) and raised as a
  // std::runtime_error with the SQLite layer's message. The buffers are left
  // as they are.
  void InsertRow();
  // Writes the row only when this writer has not yet written an equal row to
  // the table with InsertRowIfAbsent: equal column by column, names and
  // stored values. A table written this way is emptied at the start of the
  // export and written only this way, so the rows already in it are exactly
  // those remembered here. The check costs no statement; raises as InsertRow.
  void InsertRowIfAbsent();

  // Forgets the rows remembered for the table, which was just emptied.
  void ForgetRows(const std::u16string& tableName);

  const std::u16string& tableName() const { return tableName_; }
  // The row's column names, joined by commas.
  std::u16string columns() const;
  // The SQL literals of the row's values, joined by commas.
  std::u16string values() const;
  // The current row's INSERT as a statement text with the values as
  // literals: insert into 'table' (columns) values (literals).
  std::u16string statementText() const;

 private:
  struct Value {
    enum class Kind : char { kNull = 'n', kInteger = 'i', kReal = 'r', kText = 't' };
    std::u16string column;
    Kind kind = Kind::kNull;
    int64_t integer = 0;
    double real = 0;
    std::u16string text;  // without lone surrogates
  };

  // Starts the next column and gives its value's slot.
  Value& AddColumn(std::u16string_view column);
  void AppendFlag();
  // The key of the row's values for InsertRowIfAbsent.
  void ComposeKey();
  // Makes the statement and the set of written rows those of the row's
  // table and columns, looking them up only when the row's shape differs
  // from the last row's.
  void FindShape();
  void Execute();
  DbStatement& Statement();

  DbConnection* db_;
  Statements statementForm_;
  std::u16string tableName_;
  // The buffers are kept from row to row, so that a row costs no
  // allocation once the first rows have sized them.
  std::vector<Value> values_;
  size_t count_ = 0;
  bool flagMark_ = false;
  std::string key_;
  // The shape of the rows written last: their table and column names (the
  // names in values_[0, shapeCount_) while shapeKnown_), with its prepared
  // INSERT (null until the first row needs it) and its set of written rows.
  bool shapeKnown_ = false;
  size_t shapeCount_ = 0;
  std::u16string statementKey_;  // table, a NUL, the columns
  DbStatement* statement_ = nullptr;
  std::unordered_set<std::string>* writtenSet_ = nullptr;
  // The prepared INSERT per statementKey_.
  std::unordered_map<std::u16string, DbStatement> statements_;
  // Per table and per list of columns, the rows written with
  // InsertRowIfAbsent, each as its values compactly encoded.
  std::unordered_map<std::u16string,
                     std::unordered_map<std::u16string, std::unordered_set<std::string>>>
      written_;
};
