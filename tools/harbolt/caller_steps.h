// The caller's steps that the commands and the demo share: handing over the
// dictionary and the work folder, exporting, importing and saving, each
// with the checks that turn a user's mistake into a clear message before
// the add-in would fail on it, and with the summaries the user reads.
#pragma once

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "tools/harbolt/call_result.h"
#include "tools/harbolt/session.h"

namespace harbolt_cli {

// The whole content of a text file; throws ToolError naming what the file
// is for ("the dictionary", ...) when it is missing or unreadable.
std::string ReadTextFile(const std::filesystem::path& file, const std::string& what);

// SetDD with the dictionary file's text. Throws ToolError when the file is
// missing or unreadable, or the add-in refuses it (not well-formed XML).
void SetDictionary(Session& session, const std::filesystem::path& dictionary);

// SetWorkDir: the folder where the export saves preview pictures (created
// when missing; an empty path sets none).
void SetWorkFolder(Session& session, const std::filesystem::path& folder);

// RefreshTable(tables, database), with progress on a terminal. Before the
// call, throws ToolError when the database cannot be written where it is
// to go (a missing folder, a folder in its place); after an exception of the
// add-in, adds what is wrong with the path when it cannot be written.
CallResult Export(Session& session, const std::vector<std::string>& tables,
                  const std::filesystem::path& database);

// Prints the rows of each table in the database, and the preview pictures,
// each line after indent.
void PrintExportSummary(std::ostream& out, const std::filesystem::path& database,
                        const std::vector<std::string>& tables, const std::string& indent);

// What the caller flagged in one table: rows by DADU_flag value.
struct FlaggedRows {
  std::string table;
  std::map<long long, long long> rowsByFlag;
  long long total = 0;
};

// The tables of the list that the import reads for the model's document
// type, checked to exist in the database (throws ToolError naming a missing
// one), with their flagged rows.
std::vector<FlaggedRows> CheckImportTables(Session& session, const std::filesystem::path& database,
                                           const std::vector<std::string>& tables);
void PrintFlaggedRows(std::ostream& out, const std::vector<FlaggedRows>& flagged,
                      const std::string& indent);

// UpdateTable(tables, database), with progress on a terminal.
CallResult Import(Session& session, const std::vector<std::string>& tables,
                  const std::filesystem::path& database);

// SaveFile; returns the model files it wrote (those whose time or size
// changed) and, when asked, the open model files it left as they were, each
// in the host's order.
CallResult Save(Session& session, std::vector<std::filesystem::path>* written,
                std::vector<std::filesystem::path>* untouched = nullptr);

}  // namespace harbolt_cli
