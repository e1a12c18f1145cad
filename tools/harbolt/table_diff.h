// The before and after of an export: the rows of the same tables in two
// databases, matched by their key columns (a feature by its name, a
// dimension by its full name, an equation by its text, ...), told as rows
// changed (with the columns that differ), added and removed. DADU_flag is
// not compared.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/harbolt/caller_database.h"

namespace harbolt_cli {

struct ColumnChange {
  std::string column;
  DbValue before;
  DbValue after;
};

struct RowChange {
  enum class Kind { kChanged, kAdded, kRemoved };
  std::string table;  // the logical name
  std::string key;    // the key columns' values, joined by " / "
  Kind kind = Kind::kChanged;
  std::vector<ColumnChange> columns;  // for kChanged
};

class TableDiff {
 public:
  // Compares the stored tables of the logical names (a table missing on one
  // side counts as empty). Rows keep the tables' order; within a table,
  // changed and removed rows in the order of before, then added rows in the
  // order of after.
  TableDiff(CallerDatabase& before, CallerDatabase& after, const std::vector<std::string>& tables);

  const std::vector<RowChange>& changes() const { return changes_; }
  // One line a row, aligned: table, key, what differs; "(no differences)"
  // when there are none.
  void Print(std::ostream& out, const std::string& indent) const;

 private:
  std::vector<RowChange> changes_;
};

// The width of a text on a terminal: one column a character, two for the
// wide East Asian ones.
size_t DisplayWidth(std::string_view utf8);

}  // namespace harbolt_cli
