#include "bench/import_ceiling.h"

#include <sqlite3.h>

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/cpu_clock.h"
#include "import/db_to_sld.h"
#include "platform/text.h"

namespace bench {
namespace {

template <size_t N>
std::u16string Select(std::u16string_view table, const std::array<std::u16string_view, N>& columns,
                      std::u16string_view where) {
  const std::vector<std::u16string> names(columns.begin(), columns.end());
  return CDbToSld::BuildSelect(CDbToSld::MakeTableName(table), names, where);
}

// The statement of the steps that hand every row not flagged deleted to the
// host, sorted by configuration.
template <size_t N>
std::u16string SelectAllButDeleted(std::u16string_view table,
                                   const std::array<std::u16string_view, N>& columns) {
  return Select(table, columns, u"") + u"' where DADU_flag != 3 order by configName";
}

// The import's statements for an assembly, in its order.
std::vector<std::u16string> ImportStatements() {
  return {
      Select(u"Feature", CDbToSld::kFeatureColumns, CDbToSld::MakeFlagCondition(2)),
      Select(u"Dimension", CDbToSld::kDimensionColumns, CDbToSld::MakeFlagCondition(2)),
      Select(u"Equation", CDbToSld::kEquationChangedColumns, CDbToSld::MakeFlagCondition(2)),
      Select(u"Equation", CDbToSld::kEquationDeletedColumns, CDbToSld::MakeFlagCondition(3)),
      Select(u"Equation", CDbToSld::kEquationAddedColumns, CDbToSld::MakeFlagCondition(1)),
      Select(u"Config", CDbToSld::kConfigColumns, CDbToSld::MakeFlagCondition(2)),
      SelectAllButDeleted(u"Parameter", CDbToSld::kAssemblyParameterColumns),
      SelectAllButDeleted(u"property", CDbToSld::kAssemblyPropertyColumns),
  };
}

}  // namespace

double ReadImportRows(const std::filesystem::path& database, long long& rows) {
  const std::vector<std::u16string> statements = ImportStatements();
  rows = 0;
  const double start = CpuSeconds();
  sqlite3* db = nullptr;
  if (sqlite3_open16(database.u16string().c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + database.string());
  }
  size_t characters = 0;
  for (const std::u16string& sql : statements) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare16_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      const std::string message = sqlite3_errmsg(db);
      sqlite3_close(db);
      throw std::runtime_error(platform::Utf16ToUtf8(sql) + ": " + message);
    }
    const int columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      ++rows;
      for (int i = 0; i < columns; ++i) {
        const void* text = sqlite3_column_text16(statement, i);
        if (text) {
          std::u16string value(static_cast<const char16_t*>(text),
                               static_cast<size_t>(sqlite3_column_bytes16(statement, i)) / 2);
          characters += value.size();
        }
      }
    }
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
  const double seconds = CpuSeconds() - start;
  if (characters == 0 && rows > 0) throw std::runtime_error("the rows read hold no text");
  return seconds;
}

}  // namespace bench
