// How many calls into the host the add-in makes per row, counted from the
// host-call trace (HARBOLT_HOST_TRACE): per exported row of each table and
// of the whole export, and per flagged row of an import, with the writes
// among them. On a real host a call costs far more than a row of SQLite, so
// these counts decide the speed there.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace bench {

struct CallCount {
  std::string size;       // the size's label
  std::string operation;  // "export Feature", "export total", "import"
  long long rows = 0;     // rows exported, or flagged rows imported
  long long calls = 0;
  long long writes = 0;  // puts and the members that change the model
};

// Runs each operation once in a session of its own with the trace on.
// rows: the exported rows per table (in the order of tables); importRows:
// the flagged rows of the import database.
std::vector<CallCount> CountHostCalls(
    const std::string& size, const std::filesystem::path& module,
    const std::filesystem::path& model, const std::filesystem::path& dictionary,
    const std::filesystem::path& folder, const std::vector<std::string>& tables,
    const std::vector<long long>& rows, const std::vector<std::string>& importTables,
    const std::filesystem::path& importDatabase, long long importRows);

void PrintCallCounts(std::ostream& out, const std::vector<CallCount>& counts);

}  // namespace bench
