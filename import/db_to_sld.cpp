#include "import/db_to_sld.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "common/log.h"
#include "common/messages.h"
#include "db/db_exception.h"
#include "hostutil/host_call.h"
#include "hostutil/model_names.h"
#include "platform/format.h"

namespace {

constexpr Dovbase::CatchSite kImportSite{u"DbToSld", u"CDbToSld::Import", 128};
constexpr Dovbase::CatchSite kExecQuerySite{u"DbToSld.h", u"CDbToSld::ExecQuery", 108};

// SQLite's code and text for a database file that cannot be opened.
constexpr int kCantOpen = 14;
constexpr char16_t kCantOpenText[] = u"unable to open database file";
constexpr int kCorrupt = 11;

bool Named(const std::vector<std::u16string>& names, std::u16string_view table) {
  for (const std::u16string& name : names) {
    if (name == table) return true;
  }
  return false;
}

}  // namespace

struct CDbToSld::TableStep {
  std::u16string_view table;
  bool (CDbToSld::*update)();
  bool forDrawings;
};

// The fixed processing order; the order of the caller's list has no effect.
const CDbToSld::TableStep CDbToSld::kTableSteps[] = {
    {u"Feature", &CDbToSld::UpdateFeature, true},
    {u"Dimension", &CDbToSld::UpdateDimension, true},
    {u"Equation", &CDbToSld::UpdateEquation, true},
    {u"Config", &CDbToSld::UpdateConfig, true},
    {u"Parameter", &CDbToSld::UpdateParameter, true},
    {u"property", &CDbToSld::UpdateProperty, false},
};

CDbToSld::CDbToSld(ComPtr<IHostApplication> swApp, int busyTimeoutMs)
    : swApp_(std::move(swApp)), busyTimeoutMs_(busyTimeoutMs) {}

CDbToSld::~CDbToSld() {
  CloseDatabase();
  swApp_ = nullptr;
}

bool CDbToSld::Import(const std::u16string& dbPath, const std::u16string& tableList) {
  Dovbase::WriteLog(u"Import in");
  Dovbase::InstallErrorHandlers();
  bool result = false;
  std::optional<Dovbase::CaughtError> caught = Dovbase::RunCatching(kImportSite, [&] {
    CloseDatabase();
    OpenDatabase(dbPath);
    const std::vector<std::u16string> names = hostutil::SplitTableList(tableList);

    // The host failing to answer is reported with its code; a host without
    // an active document has no type.
    ComPtr<IHostModelDoc> document;
    if (swApp_) {
      document = hostutil::HostGet(u"IHostApplication::GetActiveDocument", swApp_,
                                   &IHostApplication::GetActiveDocument);
    }
    LONG type = kDocTypeNone;
    if (document)
      type = hostutil::HostGet(u"IHostModelDoc::GetType", document, &IHostModelDoc::GetType);
    docType_ = type;
    if (type == kDocTypePart || type == kDocTypeAssembly) {
      result = UpdateModelTables(names);
    } else if (type == kDocTypeDrawing) {
      result = UpdateDrawingTables(names);
    } else {
      // Also the answer when the host has no active document: its type is
      // none. The connection goes with the importer.
      errNumber_ = -1;
      errDescription_ =
          u"CDbToSld::Import():" + Dovbase::LoadMessage(Dovbase::IDS_INVALID_DOC_TYPE);
      result = false;
      return;
    }
    document = nullptr;
    if (pDb_) {
      Dovbase::WriteLog(u"delete pDb_");
      CloseDatabase();
    }
    Dovbase::WriteLog(u"Import out");
  });
  if (caught) {
    CloseDatabase();
    Dovbase::WriteLog(u"Import out error");
    return Dovbase::RecordWorkerFailure(*caught, errNumber_, errDescription_);
  }
  if (refused_.count() > 0 && (result || (errNumber_ == 0 && errDescription_.empty()))) {
    errNumber_ = -1;
    errDescription_ = platform::FormatWide(
        platform::kUnlimited, u"CDbToSld::Import():the host refused %d value(s); the first: %s",
        refused_.count(), refused_.first());
    return false;
  }
  return result;
}

bool CDbToSld::UpdateModelTables(const std::vector<std::u16string>& names) {
  return UpdateTables(names, false);
}

bool CDbToSld::UpdateDrawingTables(const std::vector<std::u16string>& names) {
  return UpdateTables(names, true);
}

bool CDbToSld::UpdateTables(const std::vector<std::u16string>& names, bool drawing) {
  for (const TableStep& step : kTableSteps) {
    if (drawing && !step.forDrawings) continue;
    if (!Named(names, step.table)) continue;
    tableName_ = MakeTableName(step.table);
    columns_.clear();
    where_.clear();
    if (!(this->*step.update)()) return false;
  }
  return true;
}

std::u16string CDbToSld::MakeTableName(std::u16string_view logicalName) {
  return hostutil::MakeTableName(logicalName);
}

std::u16string CDbToSld::MakeFlagCondition(int value) {
  return platform::FormatWide(platform::kUnlimited, u"%s=%d", u"DADU_flag", value);
}

std::u16string CDbToSld::BuildSelect(std::u16string_view tableName,
                                     std::span<const std::u16string> columns,
                                     std::u16string_view where) {
  std::u16string text = u"select ";
  for (const std::u16string& column : columns) {
    text += column;
    text += u',';
  }
  text.pop_back();
  text += u" from '";
  text += tableName;
  if (!where.empty()) {
    text += u"' where ";
    text += where;
  }
  return text;
}

std::u16string CDbToSld::BuildSelect() const { return BuildSelect(tableName_, columns_, where_); }

void CDbToSld::SetQuery(std::span<const std::u16string_view> columns, std::u16string where) {
  columns_.assign(columns.begin(), columns.end());
  where_ = std::move(where);
}

bool CDbToSld::ExecQuery() {
  return Dovbase::GuardWorkerOperation(kExecQuerySite, errNumber_, errDescription_, [&] {
    Dovbase::InstallErrorHandlers();
    const std::u16string sql = BuildSelect();
    query_ = DbQuery();
    query_ = Database().query(sql);
  });
}

bool CDbToSld::RunListStatement(std::u16string_view failurePrefix) {
  std::u16string sql = BuildSelect();
  sql += u"' where ";
  sql += u"DADU_flag";
  sql += u" != ";
  sql += platform::FormatWide(platform::kUnlimited, u"%d", 3);
  sql += u" order by ";
  sql += u"configName";
  try {
    query_ = DbQuery();
    query_ = Database().query(sql);
    return true;
  } catch (const DbException& error) {
    errNumber_ = error.code();
    errDescription_ = error.message();
    Dovbase::WriteLogFormat(u"%D: exec sql [%s] error: %s \n", sql, error.message());
    return false;
  } catch (...) {
    errNumber_ = -1;
    errDescription_ = std::u16string(failurePrefix);
    errDescription_ += Dovbase::LoadMessage(Dovbase::IDS_QUERY_UNKNOWN_ERROR);
    return false;
  }
}

void CDbToSld::OpenDatabase(const std::u16string& path) {
  // Opening a missing file would create it: the import reads a database the
  // caller made, it never makes one.
  std::error_code ignored;
  // A zero character would make the file system read another, shorter path.
  if (path.empty() || path.find(u'\0') != std::u16string::npos ||
      !std::filesystem::exists(std::filesystem::path(path), ignored)) {
    throw DbException(kCantOpen, kCantOpenText);
  }
  pDb_ = std::make_unique<DbConnection>(busyTimeoutMs_);
  pDb_->open(path);
  // A damaged file could fail half-way through the steps, with the rows
  // before the damage already in the model, or hand over garbage without
  // any error: it is checked as a whole before the model is touched.
  std::u16string verdict;
  try {
    DbQuery check = pDb_->query(u"pragma quick_check");
    verdict = check.atEnd() ? u"ok" : check.textByName(u"quick_check");
  } catch (const DbException& error) {
    // Damage that stops the check itself; any other failure (a file that is
    // no database, a lock) is the open's, as it was.
    if ((error.code() & 0xFF) != kCorrupt) throw;
    verdict = error.message();
  }
  if (verdict != u"ok") throw Dovbase::Kvx_Exception(u"the database file is damaged: " + verdict);
}

void CDbToSld::CloseDatabase() noexcept {
  query_ = DbQuery();
  pDb_.reset();
}

DbConnection& CDbToSld::Database() {
  if (!pDb_) throw DbException(DbException::kLayerError, u"Database not open");
  return *pDb_;
}

ComPtr<IHostModelDoc> CDbToSld::RequiredActiveDocument() const {
  ComPtr<IHostModelDoc> document;
  HRESULT hr = swApp_ ? swApp_->GetActiveDocument(document.ReleaseAndGetAddressOf()) : S_OK;
  importer::RequireHostObject(hr, static_cast<bool>(document),
                              u"IHostApplication::GetActiveDocument");
  return document;
}

ComPtr<IHostModelDoc> CDbToSld::ActiveDocument() const {
  ComPtr<IHostModelDoc> document;
  if (!swApp_ || FAILED(swApp_->GetActiveDocument(document.ReleaseAndGetAddressOf()))) {
    return nullptr;
  }
  return document;
}
