#include "tests/import/import_test_support.h"

#include <map>
#include <regex>
#include <sstream>

#include "db/db_connection.h"
#include "import/update_tables.h"
#include "platform/format.h"
#include "platform/text.h"
#include "tests/support/bound_host.h"

namespace import_test {
namespace {

// A value as an SQL literal; texts with their quotes doubled.
std::u16string Literal(const Value& value) {
  if (std::holds_alternative<std::nullptr_t>(value)) return u"NULL";
  if (const int* number = std::get_if<int>(&value)) {
    return platform::FormatWide(platform::kUnlimited, u"%d", *number);
  }
  if (const double* real = std::get_if<double>(&value)) {
    return platform::FormatWide(platform::kUnlimited, u"%.17g", *real);
  }
  std::u16string text = u"'";
  for (char16_t c : std::get<std::u16string>(value)) {
    text += c;
    if (c == u'\'') text += c;
  }
  return text + u"'";
}

std::u16string Wide(const std::string& text) { return platform::Utf8ToUtf16(text); }

}  // namespace

const std::vector<std::string>& ExportColumns(const std::string& table) {
  static const std::map<std::string, std::vector<std::string>> kColumns{
      {"Feature",
       {"featId Integer", "featName Text", "typeName Text", "ownerFeatureId Integer",
        "ownerFeature Text", "createdBy Text", "dateCreated Text", "createdVersion Integer",
        "dateModified Text", "modifiedVersion Integer", "updateStamp Integer", "description Text",
        "editStatus Integer", "errorCode Integer", "isBase Integer", "visible Integer",
        "uiState Integer", "isSuppressed Integer"}},
      {"Dimension",
       {"dimFullName Text", "dimName Text", "feature Text", "featId Integer", "dimValue Real",
        "sysValue Real", "dimType Integer", "dimParamType Integer", "readOnly Integer",
        "drivenState Integer", "isReference Integer", "tolType Integer", "tolMinVal Real",
        "tolMaxVal Real"}},
      {"Equation",
       {"equIndex Integer", "equation Text", "equLeft Text", "equRight Text", "equValue Real",
        "suppression Integer"}},
      {"Config",
       {"configName Text", "parentConfig Text", "alternateName Text", "configType Integer",
        "bomPartNoSrc Integer", "comment Text", "description Text", "isLock Integer",
        "useAlterInBom Integer"}},
      {"Parameter", {"configName Text", "compName Text", "paramName Text", "paramValue Text"}},
      {"property",
       {"configName Text", "compName Text", "realName Text", "propertyName Text",
        "propertyType Integer", "propertyValue Text"}},
      {"Componen",
       {"configName Text", "compName Text", "realName Text", "refConfig Text", "parentComp Text",
        "compVisible Integer", "ConsStatus Integer", "compSupState Integer", "previewBitmap Text"}},
  };
  return kColumns.at(table);
}

std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

ImportTest::ImportTest()
    : models_(dir_ / "models"),
      drive_(dir_ / "drive_c"),
      driveEnv_("HARBOLT_DRIVE_C", drive_.c_str()),
      languageEnv_("LC_ALL", "C"),
      dbPath_((dir_ / "import.db").u16string()) {
  std::filesystem::create_directories(drive_ / "1");
  std::filesystem::create_directories(models_);
  for (const auto& entry : std::filesystem::directory_iterator(SampleDir())) {
    std::filesystem::copy_file(entry.path(), models_ / entry.path().filename());
  }
}

ImportTest::~ImportTest() = default;

void ImportTest::RemoveLogFolder() { std::filesystem::remove_all(drive_ / "1"); }

void ImportTest::OpenSample(const std::string& file) { host_.Open(models_ / file); }

void ImportTest::OpenModel(const std::string& file, const std::string& json) {
  testing_support::WriteFile(models_ / file, json);
  host_.Open(models_ / file);
}

sim::ModelData& ImportTest::Model(const std::string& file) {
  sim::ModelData* model = host_.Model(models_ / file);
  if (!model) throw std::runtime_error("model not open: " + file);
  return *model;
}

void ImportTest::Table(const std::string& table, const std::vector<std::string>& columns) {
  std::u16string sql = u"create table 'DADU_3_" + Wide(table) + u"' (";
  for (const std::string& column : columns.empty() ? ExportColumns(table) : columns) {
    sql += Wide(column) + u",";
  }
  Execute(sql + u"DADU_flag Integer)");
}

void ImportTest::Tables() {
  for (const char* table :
       {"Feature", "Dimension", "Equation", "Config", "Parameter", "property"}) {
    Table(table);
  }
}

void ImportTest::Row(const std::string& table, std::initializer_list<Cell> cells, int flag) {
  std::u16string columns;
  std::u16string values;
  for (const Cell& cell : cells) {
    columns += Wide(cell.column) + u",";
    values += Literal(cell.value) + u",";
  }
  Execute(u"insert into 'DADU_3_" + Wide(table) + u"' (" + columns + u"DADU_flag) values (" +
          values + Literal(flag) + u")");
}

void ImportTest::Execute(const std::u16string& sql) {
  DbConnection db;
  db.open(dbPath_);
  // The test's own writes need not survive a power cut.
  db.execute(u"pragma synchronous=off");
  db.execute(sql);
}

HRESULT ImportTest::Import(const std::u16string& tables) { return ImportFrom(tables, dbPath_); }

HRESULT ImportTest::ImportFrom(const std::u16string& tables, const std::u16string& path) {
  const std::filesystem::path file(path);
  const bool existed = std::filesystem::exists(file);
  const std::string bytes = testing_support::ReadFile(file);
  const long objects = host_.LiveObjects();
  const long references = host_.References();
  logBefore_ = LogLines().size();
  host_.ClearCalls();

  const HRESULT result = RunUpdateTable(tables, path);

  EXPECT_EQ(existed, std::filesystem::exists(file)) << "the import created or removed the file";
  EXPECT_EQ(bytes, testing_support::ReadFile(file)) << "the import changed the database file";
  EXPECT_EQ(objects, host_.LiveObjects()) << "host objects left alive by the import";
  EXPECT_EQ(references, host_.References()) << "host references left by the import";
  return result;
}

HRESULT ImportTest::RunUpdateTable(const std::u16string& tables, const std::u16string& path) {
  ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
  ScopedBstr tableList(tables);
  ScopedBstr database(path);
  return UpdateTables(application.Get(), tableList.Get(), database.Get(), u"Harbolt.Harbolt.1",
                      errNumber, errDescription);
}

std::vector<std::string> ImportTest::Journal(const std::string& prefix) const {
  return host_.CallLines(prefix);
}

std::vector<std::string> ImportTest::Writes(const std::string& prefix) const {
  std::vector<std::string> writes;
  for (const std::string& call : Journal(prefix)) {
    const std::string member = call.substr(call.find('.') + 1);
    for (const char* verb : {"put_", "Set", "Add", "Delete"}) {
      if (member.rfind(verb, 0) == 0) {
        writes.push_back(call);
        break;
      }
    }
  }
  return writes;
}

std::vector<std::string> ImportTest::LogLines() const {
  static const std::regex kStamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:\d+: )");
  std::istringstream text(testing_support::ReadFile(drive_ / "1" / "dov_cax_log.txt"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) {
    lines.push_back(std::regex_replace(line, kStamp, ""));
  }
  return lines;
}

std::vector<std::string> ImportTest::ImportLog() const {
  std::vector<std::string> lines = LogLines();
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(logBefore_));
  return lines;
}

}  // namespace import_test
