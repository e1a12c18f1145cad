#include "export/sld_to_db.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <string>
#include <utility>

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "common/messages.h"
#include "hostutil/host_call.h"
#include "hostutil/model_names.h"

namespace {

constexpr Dovbase::CatchSite kExportSite{u"SldToDb", u"CSldToDb::Export", 101};

// One table of a document type's sequence: its logical name and the
// operation that writes it. Feature and Dimension read the feature list.
struct TableExport {
  const char16_t* name;
  bool (CSldToDb::*write)();
  bool needsFeatures;
};

constexpr TableExport kPartTables[] = {
    {u"Feature", &CSldToDb::ExportFeature, true},
    {u"Dimension", &CSldToDb::ExportDimension, true},
    {u"Parameter", &CSldToDb::ExportParameter, false},
    {u"Equation", &CSldToDb::ExportEquation, false},
    {u"Config", &CSldToDb::ExportConfig, false},
    {u"property", &CSldToDb::ExportProperty, false},
};

constexpr TableExport kAssemblyTables[] = {
    {u"Feature", &CSldToDb::ExportFeature, true},
    {u"Dimension", &CSldToDb::ExportDimension, true},
    {u"Parameter", &CSldToDb::ExportAsmParameter, false},
    {u"Componen", &CSldToDb::ExportComponent, false},
    {u"Equation", &CSldToDb::ExportEquation, false},
    {u"Config", &CSldToDb::ExportConfig, false},
    {u"property", &CSldToDb::ExportProperty, false},
};

constexpr TableExport kDrawingTables[] = {
    {u"Feature", &CSldToDb::ExportFeature, true},
    {u"Dimension", &CSldToDb::ExportDimension, true},
    {u"Parameter", &CSldToDb::ExportParameter, false},
    {u"Componen", &CSldToDb::ExportComponent, false},
    {u"Equation", &CSldToDb::ExportEquation, false},
    {u"Config", &CSldToDb::ExportConfig, false},
};

struct DocumentTables {
  LONG type;
  std::span<const TableExport> tables;
};

constexpr DocumentTables kDocumentTables[] = {
    {kDocTypePart, kPartTables},
    {kDocTypeAssembly, kAssemblyTables},
    {kDocTypeDrawing, kDrawingTables},
};

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

}  // namespace

double HostRevisionValue(std::u16string_view revision) {
  if (std::count(revision.begin(), revision.end(), u'.') >= 2) {
    revision = revision.substr(0, revision.rfind(u'.'));
  }
  size_t start = 0;
  while (start < revision.size() && IsBlank(revision[start])) ++start;
  if (start < revision.size() && revision[start] == u'+') ++start;
  std::string ascii;
  for (size_t i = start; i < revision.size() && revision[i] < 0x80; ++i) {
    ascii += static_cast<char>(revision[i]);
  }
  double value = 0;
  if (std::from_chars(ascii.data(), ascii.data() + ascii.size(), value).ec != std::errc()) {
    value = 0;
  }
  return value + 0.00001;
}

CSldToDb::CSldToDb(IHostApplication* host, DbConnection* db, const Dovbase::XmlDocument& dictionary,
                   std::u16string workDir, RowWriter::Statements statements)
    : host_(host),
      db_(db),
      row_(db, statements),
      dictionary_(dictionary),
      workDir_(std::move(workDir)) {
  revisionValue_ = HostRevisionValue(hostutil::HostGet(u"IHostApplication::RevisionNumber", host_,
                                                       &IHostApplication::RevisionNumber));
}

CSldToDb::~CSldToDb() = default;

bool CSldToDb::Export(std::u16string_view tableList) {
  Dovbase::InstallErrorHandlers();
  return Dovbase::GuardWorkerOperation(kExportSite, errNumber_, errDescription_, [&] {
    std::vector<std::u16string> names = hostutil::SplitTableList(tableList);
    for (const std::u16string& name : names) {
      if (!CreateTable(name)) return false;
    }

    std::span<const TableExport> tables;
    {
      ComPtr<IHostModelDoc> document = hostutil::HostGet(
          u"IHostApplication::GetActiveDocument", host_, &IHostApplication::GetActiveDocument);
      // No document has no type: reported as an invalid one.
      LONG type =
          document ? hostutil::HostGet(u"IHostModelDoc::GetType", document, &IHostModelDoc::GetType)
                   : kDocTypeNone;
      auto found = std::find_if(std::begin(kDocumentTables), std::end(kDocumentTables),
                                [&](const DocumentTables& entry) { return entry.type == type; });
      if (found == std::end(kDocumentTables)) {
        return Fail(u"CSldToDb::Export", Dovbase::IDS_INVALID_DOC_TYPE);
      }
      tables = found->tables;
    }

    for (const TableExport& table : tables) {
      if (std::find(names.begin(), names.end(), table.name) == names.end()) continue;
      if (table.needsFeatures && !featuresBuilt_) {
        if (!GetFeatures()) return false;
        featuresBuilt_ = true;
      }
      row_.SetTable(hostutil::MakeTableName(table.name));
      if (!(this->*table.write)()) return false;
    }
    return true;
  });
}

ComPtr<IHostModelDoc> CSldToDb::ActiveDocument() const {
  ComPtr<IHostModelDoc> document = hostutil::HostGet(u"IHostApplication::GetActiveDocument", host_,
                                                     &IHostApplication::GetActiveDocument);
  if (!document) throw Dovbase::Kvx_Exception(Dovbase::LoadMessage(Dovbase::IDS_INVALID_DOC_TYPE));
  return document;
}

bool CSldToDb::Fail(std::u16string_view function, UINT messageId) {
  errNumber_ = -1;
  errDescription_ = std::u16string(function) + u"():" + Dovbase::LoadMessage(messageId);
  return false;
}
