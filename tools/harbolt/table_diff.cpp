#include "tools/harbolt/table_diff.h"

#include <algorithm>
#include <map>

#include "platform/text.h"
#include "tools/harbolt/table_list.h"

namespace harbolt_cli {
namespace {

// How the rows of a table are matched, and what is left out of the
// comparison besides DADU_flag (an equation's position moves when one
// before it is deleted).
struct TableKey {
  std::string_view table;
  std::vector<std::string_view> key;
  std::vector<std::string_view> ignored;
};

const std::vector<TableKey>& TableKeys() {
  static const std::vector<TableKey> keys = {
      {"Feature", {"featName"}, {}},
      {"Dimension", {"dimFullName"}, {}},
      {"Equation", {"equation"}, {"equIndex"}},
      {"Config", {"configName"}, {}},
      {"Parameter", {"configName", "compName", "paramName"}, {}},
      {"Componen", {"configName", "compName"}, {}},
      {"property", {"configName", "compName", "propertyName"}, {}},
  };
  return keys;
}

std::string Shown(const DbValue& value) {
  if (!value) return "NULL";
  if (value->empty()) return "\"\"";
  return *value;
}

struct KeyedRows {
  std::vector<std::string> keys;  // per row
  std::vector<size_t> compared;   // columns compared, by index
};

// The key of every row: the key columns when the table has them all, else
// every compared column.
KeyedRows KeyRows(const DbRows& rows, const TableKey* definition) {
  KeyedRows keyed;
  std::vector<size_t> keyColumns;
  for (size_t c = 0; c < rows.columns.size(); ++c) {
    const std::string& name = rows.columns[c];
    if (name == "DADU_flag") continue;
    if (definition && std::find(definition->ignored.begin(), definition->ignored.end(), name) !=
                          definition->ignored.end())
      continue;
    keyed.compared.push_back(c);
  }
  if (definition) {
    for (std::string_view name : definition->key) {
      std::optional<size_t> column = rows.Column(name);
      if (!column) {
        keyColumns.clear();
        break;
      }
      keyColumns.push_back(*column);
    }
  }
  if (keyColumns.empty()) keyColumns = keyed.compared;
  for (const auto& row : rows.rows) {
    std::string key;
    for (size_t c : keyColumns) {
      if (!key.empty()) key += " / ";
      key += Shown(row[c]);
    }
    keyed.keys.push_back(key);
  }
  return keyed;
}

DbRows ReadTable(CallerDatabase& db, const std::string& stored) {
  return db.HasTable(stored) ? db.Table(stored) : DbRows{};
}

}  // namespace

TableDiff::TableDiff(CallerDatabase& before, CallerDatabase& after,
                     const std::vector<std::string>& tables) {
  for (const std::string& table : tables) {
    const TableKey* definition = nullptr;
    for (const TableKey& key : TableKeys()) {
      if (key.table == table) definition = &key;
    }
    const std::string stored = StoredTableName(table);
    DbRows old = ReadTable(before, stored);
    DbRows now = ReadTable(after, stored);
    KeyedRows oldKeys = KeyRows(old, definition);
    KeyedRows newKeys = KeyRows(now, definition);
    // Rows of the same key pair up in order.
    std::multimap<std::string, size_t> unmatched;
    for (size_t r = 0; r < now.rows.size(); ++r) unmatched.emplace(newKeys.keys[r], r);
    for (size_t r = 0; r < old.rows.size(); ++r) {
      auto match = unmatched.find(oldKeys.keys[r]);
      if (match == unmatched.end()) {
        changes_.push_back({table, oldKeys.keys[r], RowChange::Kind::kRemoved, {}});
        continue;
      }
      const auto& newRow = now.rows[match->second];
      unmatched.erase(match);
      RowChange change{table, oldKeys.keys[r], RowChange::Kind::kChanged, {}};
      for (size_t c : oldKeys.compared) {
        std::optional<size_t> other = now.Column(old.columns[c]);
        DbValue value = other ? newRow[*other] : DbValue();
        if (value != old.rows[r][c]) {
          change.columns.push_back({old.columns[c], old.rows[r][c], value});
        }
      }
      if (!change.columns.empty()) changes_.push_back(std::move(change));
    }
    std::vector<std::pair<size_t, std::string>> added;
    for (const auto& [key, row] : unmatched) added.emplace_back(row, key);
    std::sort(added.begin(), added.end());
    for (const auto& [row, key] : added) {
      changes_.push_back({table, key, RowChange::Kind::kAdded, {}});
    }
  }
}

void TableDiff::Print(std::ostream& out, const std::string& indent) const {
  if (changes_.empty()) {
    out << indent << "(no differences)\n";
    return;
  }
  size_t tableWidth = 0;
  size_t keyWidth = 0;
  for (const RowChange& change : changes_) {
    tableWidth = std::max(tableWidth, DisplayWidth(change.table));
    keyWidth = std::max(keyWidth, DisplayWidth(change.key));
  }
  for (const RowChange& change : changes_) {
    out << indent << change.table << std::string(tableWidth - DisplayWidth(change.table) + 2, ' ')
        << change.key << std::string(keyWidth - DisplayWidth(change.key) + 2, ' ');
    switch (change.kind) {
      case RowChange::Kind::kAdded:
        out << "added";
        break;
      case RowChange::Kind::kRemoved:
        out << "removed";
        break;
      case RowChange::Kind::kChanged:
        for (size_t i = 0; i < change.columns.size(); ++i) {
          const ColumnChange& column = change.columns[i];
          out << (i ? ", " : "") << column.column << " " << Shown(column.before) << " -> "
              << Shown(column.after);
        }
        break;
    }
    out << "\n";
  }
}

size_t DisplayWidth(std::string_view utf8) {
  size_t width = 0;
  for (char32_t c : platform::Utf8ToUtf16(utf8)) {
    // Surrogate halves come in pairs; count the pair once.
    if (c >= 0xDC00 && c <= 0xDFFF) continue;
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                      (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                      (c >= 0xFFE0 && c <= 0xFFE6);
    width += wide ? 2 : 1;
  }
  return width;
}

}  // namespace harbolt_cli
