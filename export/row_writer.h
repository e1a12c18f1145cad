// Writing one exported row: the SQL literals of its values and the row
// buffers that become one INSERT statement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

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
// back as the same double, so nothing is lost in the database and an import
// writes back exactly what the model held. Where "%g" is exact the text is
// that of "%g" (0.0254, 10, 0, 1e+20). Formatted independently of the
// process's locale. An infinity is written as 9e999 (-9e999), which SQLite
// reads as an infinity; a NaN, which SQLite cannot store, as NULL.
std::u16string SqlReal(double value);

// The same literals appended to a statement's text.
void AppendSqlText(std::u16string& out, std::u16string_view text);
void AppendSqlInteger(std::u16string& out, int64_t value);
void AppendSqlReal(std::u16string& out, double value);

// The row buffers of the exporter and the INSERT statements made from them.
// Each row is built as column names with one SQL literal per name, then
// written with InsertRow or InsertRowIfAbsent; the column DADU_flag with the
// value 0 is appended to every row. Statements run on a borrowed connection;
// without one they are only composed (lastStatement()).
class RowWriter {
 public:
  // `db` is borrowed and may be null; it must outlive the writer.
  explicit RowWriter(DbConnection* db) : db_(db) {}
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // Starts writing the stored table `tableName`: sets the row's table name
  // and starts an empty row.
  void SetTable(std::u16string tableName);
  // Empties the column-name and value buffers and clears the flag mark.
  void BeginRow();

  // Appends a column with the literal of its value.
  void AddText(std::u16string_view column, std::u16string_view text);
  void AddInteger(std::u16string_view column, int64_t value);
  void AddReal(std::u16string_view column, double value);

  // Writes the row: insert into 'table' (columns,DADU_flag) values
  // (literals,0). When the statement fails, the failure is logged and raised
  // as a std::runtime_error with the SQLite layer's message. The buffers are
  // left as they are.
  void InsertRow();
  // Writes the row only when this writer has not yet written an equal row to
  // the table with InsertRowIfAbsent: equal column by column, names and
  // values. A table written this way is emptied at the start of the export
  // and written only this way, so the rows already in it are exactly those
  // remembered here. The check costs no statement; raises as InsertRow.
  void InsertRowIfAbsent();

  // Forgets the rows remembered for the table, which was just emptied.
  void ForgetRows(const std::u16string& tableName);

  const std::u16string& tableName() const { return tableName_; }
  // The row's column names and literals, each list joined by commas.
  const std::u16string& columns() const { return columns_; }
  const std::u16string& values() const { return values_; }
  // The text of the last statement composed.
  const std::u16string& lastStatement() const { return lastStatement_; }

 private:
  // Starts the next column in both lists.
  void AddColumn(std::u16string_view column);
  void AppendFlag();
  void Execute();

  DbConnection* db_;
  std::u16string tableName_;
  // The buffers are kept from row to row, so that a row costs no
  // allocation once the first rows have sized them.
  std::u16string columns_;
  std::u16string values_;
  bool flagMark_ = false;
  std::u16string lastStatement_;
  std::string key_;
  // Per table and per list of columns, the rows written with
  // InsertRowIfAbsent, each as the list of its literals, compactly encoded.
  std::unordered_map<std::u16string,
                     std::unordered_map<std::u16string, std::unordered_set<std::string>>>
      written_;
};
