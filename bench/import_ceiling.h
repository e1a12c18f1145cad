// The floor of the import: the SELECT statements an import of an assembly
// runs, stepped through SQLite alone, every column of every row read as
// UTF-16 text as the import reads it. Nothing is applied: what an import
// cannot go below, whatever it does with the rows.
#pragma once

#include <filesystem>

namespace bench {

// Runs the statements once on the database; returns the seconds that took
// and the rows they gave (in `rows`). Throws std::runtime_error with
// SQLite's message.
double ReadImportRows(const std::filesystem::path& database, long long& rows);

}  // namespace bench
