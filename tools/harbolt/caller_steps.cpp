#include "tools/harbolt/caller_steps.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <set>
#include <system_error>

#include "host/host_ids.h"
#include "host/published/binding.h"
#include "platform/text.h"
#include "tools/harbolt/caller_database.h"
#include "tools/harbolt/progress_ticker.h"
#include "tools/harbolt/table_list.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

using automation::Arg;

// Lines of the summaries are wrapped to this width.
constexpr size_t kLineWidth = 88;

// Why a file cannot be written at path, or an empty text when it can. A
// file that is not there is created for the test and removed again.
std::string WriteProblem(const std::filesystem::path& path) {
  std::error_code ignored;
  const bool existed = std::filesystem::exists(path, ignored);
  errno = 0;
  std::FILE* file = std::fopen(path.string().c_str(), "ab");
  if (!file) return errno ? std::strerror(errno) : "it cannot be opened";
  std::fclose(file);
  if (!existed) std::filesystem::remove(path, ignored);
  return {};
}

std::string FlagName(long long flag) {
  switch (flag) {
    case 0:
      return "unchanged";
    case 1:
      return "added";
    case 2:
      return "changed";
    case 3:
      return "deleted";
    default:
      return "flag " + std::to_string(flag);
  }
}

// The document type of the host's active document.
LONG ActiveDocumentType(Session& session) {
  ComPtr<IHostModelDoc> document = published::BindDocument(session.host().ActiveDocument().Get());
  LONG type = kDocTypeNone;
  if (document) document->GetType(&type);
  return type;
}

struct FileStamp {
  std::filesystem::file_time_type time;
  std::uintmax_t size = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::filesystem::path& file) {
  std::error_code ignored;
  return {std::filesystem::last_write_time(file, ignored),
          std::filesystem::file_size(file, ignored)};
}

}  // namespace

std::string ReadTextFile(const std::filesystem::path& file, const std::string& what) {
  std::error_code ignored;
  if (!std::filesystem::exists(file, ignored)) {
    throw ToolError(what + " " + file.string() + " does not exist");
  }
  if (!std::filesystem::is_regular_file(file, ignored)) {
    throw ToolError(what + " " + file.string() + " is not a file");
  }
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in && !in.eof()) throw ToolError("cannot read " + what + " " + file.string());
  return text;
}

void SetDictionary(Session& session, const std::filesystem::path& dictionary) {
  std::string xml = ReadTextFile(dictionary, "the dictionary");
  CallResult result = session.Call(u"SetDD", {Arg(platform::Utf8ToUtf16(xml))});
  if (result.hr == E_INVALIDARG) {
    throw ToolError("the dictionary " + dictionary.string() +
                    " is not well-formed XML (SetDD returned E_INVALIDARG)");
  }
  if (!result.ok()) throw ToolError(result.Describe(), result.ExitStatus());
}

void SetWorkFolder(Session& session, const std::filesystem::path& folder) {
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
      throw ToolError("cannot create the work folder " + folder.string() + ": " + error.message());
    }
  }
  // The add-in may run with another current folder than the caller's.
  std::u16string path =
      folder.empty() ? std::u16string() : WidePath(std::filesystem::absolute(folder));
  session.Require(u"SetWorkDir", {Arg(path)});
}

CallResult Export(Session& session, const std::vector<std::string>& tables,
                  const std::filesystem::path& database) {
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(database, ignored);
  if (std::filesystem::is_directory(absolute, ignored)) {
    throw ToolError("cannot write the database " + database.string() + ": it is a folder");
  }
  std::filesystem::path folder = absolute.parent_path();
  if (!std::filesystem::exists(folder, ignored)) {
    throw ToolError("cannot write the database " + database.string() + ": the folder " +
                    folder.string() + " does not exist");
  }
  if (!std::filesystem::is_directory(folder, ignored)) {
    throw ToolError("cannot write the database " + database.string() + ": " + folder.string() +
                    " is not a folder");
  }
  if (!std::filesystem::exists(absolute, ignored)) {
    if (std::string problem = WriteProblem(absolute); !problem.empty()) {
      throw ToolError("cannot write the database " + database.string() + ": " + problem);
    }
  }
  CallResult result;
  {
    ProgressTicker ticker("exporting " + session.model().filename().string());
    result = session.Call(
        u"RefreshTable", {Arg(platform::Utf8ToUtf16(JoinTables(tables))), Arg(WidePath(absolute))});
  }
  if (result.hr == kHarboltException) {
    if (std::string problem = WriteProblem(absolute); !problem.empty()) {
      result.exceptionText += platform::Utf8ToUtf16(" (the database " + database.string() +
                                                    " cannot be written: " + problem + ")");
    }
  }
  return result;
}

void PrintExportSummary(std::ostream& out, const std::filesystem::path& database,
                        const std::vector<std::string>& tables, const std::string& indent) {
  CallerDatabase db(database, CallerDatabase::Mode::kReadOnly);
  long long total = 0;
  std::vector<std::pair<std::string, long long>> counts;
  for (const std::string& table : tables) {
    const std::string stored = StoredTableName(table);
    long long rows = db.HasTable(stored) ? db.Count(stored) : 0;
    counts.emplace_back(table, rows);
    total += rows;
  }
  // "7 tables, 117 rows: Feature 49, Dimension 9, ...", wrapped.
  std::string line = indent + std::to_string(tables.size()) +
                     (tables.size() == 1 ? " table, " : " tables, ") + std::to_string(total) +
                     (total == 1 ? " row:" : " rows:");
  for (size_t i = 0; i < counts.size(); ++i) {
    std::string item = " " + counts[i].first + " " + std::to_string(counts[i].second) +
                       (i + 1 < counts.size() ? "," : "");
    if (line.size() + item.size() > kLineWidth) {
      out << line << "\n";
      line = indent;
      item.erase(0, 1);
    }
    line += item;
  }
  out << line << "\n";
  const std::string components = StoredTableName("Componen");
  if (std::find(tables.begin(), tables.end(), "Componen") != tables.end() &&
      db.HasTable(components)) {
    DbRows previews = db.Query("select distinct previewBitmap from " + QuotedName(components) +
                               " where previewBitmap is not null and previewBitmap != ''");
    std::set<std::filesystem::path> folders;
    for (const auto& row : previews.rows) {
      folders.insert(std::filesystem::path(*row[0]).parent_path());
    }
    if (!previews.rows.empty()) {
      out << indent << previews.rows.size() << " preview picture"
          << (previews.rows.size() == 1 ? "" : "s") << " in";
      for (const auto& folder : folders) out << " " << ShownPath(folder);
      out << "\n";
    }
  }
}

std::vector<FlaggedRows> CheckImportTables(Session& session, const std::filesystem::path& database,
                                           const std::vector<std::string>& tables) {
  CallerDatabase db(database, CallerDatabase::Mode::kReadOnly);
  const LONG type = ActiveDocumentType(session);
  std::vector<FlaggedRows> flagged;
  // The import reads these, in this order; a drawing has no property step.
  for (std::string_view table :
       {"Feature", "Dimension", "Equation", "Config", "Parameter", "property"}) {
    if (std::find(tables.begin(), tables.end(), table) == tables.end()) continue;
    if (table == "property" && type == kDocTypeDrawing) continue;
    const std::string stored = StoredTableName(table);
    if (!db.HasTable(stored)) {
      throw ToolError("the database " + database.string() + " has no table " + stored +
                      " (the table \"" + std::string(table) +
                      "\"); export it first, or leave it out with --tables");
    }
    FlaggedRows rows{std::string(table), {}, 0};
    DbRows counts = db.Query("select DADU_flag, count(*) from " + QuotedName(stored) +
                             " group by DADU_flag order by DADU_flag");
    for (const auto& row : counts.rows) {
      long long flag = row[0] ? std::stoll(*row[0]) : 0;
      long long count = std::stoll(*row[1]);
      rows.rowsByFlag[flag] += count;
      rows.total += count;
    }
    flagged.push_back(std::move(rows));
  }
  return flagged;
}

void PrintFlaggedRows(std::ostream& out, const std::vector<FlaggedRows>& flagged,
                      const std::string& indent) {
  for (const FlaggedRows& table : flagged) {
    out << indent << std::left << std::setw(10) << table.table << " ";
    std::string flags;
    for (const auto& [flag, count] : table.rowsByFlag) {
      if (flag == 0) continue;
      if (!flags.empty()) flags += ", ";
      flags += std::to_string(count) + " " + FlagName(flag);
    }
    out << (flags.empty() ? "no flagged rows" : flags);
    // These two steps hand every row that is not deleted to the host.
    if (table.table == "Parameter" || table.table == "property") {
      long long handed = table.total - (table.rowsByFlag.contains(3) ? table.rowsByFlag.at(3) : 0);
      out << " (" << handed << " row" << (handed == 1 ? "" : "s") << " handed to the host)";
    }
    out << "\n";
  }
}

CallResult Import(Session& session, const std::vector<std::string>& tables,
                  const std::filesystem::path& database) {
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(database, ignored);
  ProgressTicker ticker("importing into " + session.model().filename().string());
  return session.Call(u"UpdateTable",
                      {Arg(platform::Utf8ToUtf16(JoinTables(tables))), Arg(WidePath(absolute))});
}

CallResult Save(Session& session, std::vector<std::filesystem::path>* written,
                std::vector<std::filesystem::path>* untouched) {
  std::vector<std::filesystem::path> files = session.host().OpenDocuments();
  std::vector<FileStamp> before;
  for (const auto& file : files) before.push_back(StampOf(file));
  CallResult result = session.Call(u"SaveFile", {Arg(WidePath(session.model()))});
  if (written) written->clear();
  if (untouched) untouched->clear();
  for (size_t i = 0; i < files.size(); ++i) {
    std::vector<std::filesystem::path>* list = StampOf(files[i]) == before[i] ? untouched : written;
    if (list) list->push_back(files[i]);
  }
  return result;
}

}  // namespace harbolt_cli
