// The importer: writes the rows that the caller flagged in the tables of an
// export back into the model that is active in the host.
//
// The caller marks each row to apply through its DADU_flag column (2 changed,
// 1 added, 3 deleted; which table honours which value is each step's
// business). The importer only reads the database: it runs SELECT statements
// and nothing else, and leaves every flag as the caller stored it. It hands
// each value to the host through the host interfaces and neither rebuilds nor
// saves the model.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/db_connection.h"
#include "db/db_query.h"
#include "host/host.h"
#include "import/host_access.h"
#include "platform/com_ptr.h"

namespace importer {
struct PropertyRows;
struct PropertyWalk;
class HeldProperties;
}  // namespace importer

// One importer serves one UpdateTable call. It holds its own reference on
// the host application, owns the database connection while Import runs and
// releases every host object it takes before the operation that took it
// returns. Not copyable; used from the host's thread only.
class CDbToSld {
 public:
  // The columns each step selects, in order.
  static constexpr std::array<std::u16string_view, 3> kFeatureColumns = {
      u"featName", u"description", u"uiState"};
  static constexpr std::array<std::u16string_view, 8> kDimensionColumns = {
      u"dimName",     u"feature", u"dimValue",  u"readOnly",
      u"drivenState", u"tolType", u"tolMinVal", u"tolMaxVal"};
  static constexpr std::array<std::u16string_view, 3> kEquationChangedColumns = {
      u"equIndex", u"equation", u"suppression"};
  static constexpr std::array<std::u16string_view, 1> kEquationDeletedColumns = {u"equIndex"};
  static constexpr std::array<std::u16string_view, 2> kEquationAddedColumns = {u"equIndex",
                                                                               u"equation"};
  static constexpr std::array<std::u16string_view, 7> kConfigColumns = {
      u"configName",  u"alternateName", u"bomPartNoSrc", u"comment",
      u"description", u"isLock",        u"useAlterInBom"};
  static constexpr std::array<std::u16string_view, 3> kParameterColumns = {
      u"configName", u"paramName", u"paramValue"};
  static constexpr std::array<std::u16string_view, 5> kPropertyColumns = {
      u"compName", u"configName", u"propertyName", u"propertyType", u"propertyValue"};
  // An assembly's parameter and property rows belong to the models of its
  // components, which compName names; a model used by several instances has
  // rows for each, and DADU_flag tells which of them the caller changed.
  static constexpr std::array<std::u16string_view, 5> kAssemblyParameterColumns = {
      u"configName", u"paramName", u"paramValue", u"compName", u"DADU_flag"};
  static constexpr std::array<std::u16string_view, 6> kAssemblyPropertyColumns = {
      u"compName", u"configName", u"propertyName", u"propertyType", u"propertyValue", u"DADU_flag"};

  // swApp: the host application; the importer keeps its own reference. A
  // null application acts as a host without an active document. The
  // database's statements wait up to busyTimeoutMs for another connection's
  // lock.
  explicit CDbToSld(ComPtr<IHostApplication> swApp,
                    int busyTimeoutMs = DbConnection::kDefaultBusyTimeoutMs);
  CDbToSld(const CDbToSld&) = delete;
  CDbToSld& operator=(const CDbToSld&) = delete;
  // Finalizes the cursor, closes a connection that is still open and
  // releases the host application.
  ~CDbToSld();

  // Opens the database file at dbPath (it must exist: a missing file is not
  // created; a damaged one is refused before anything is applied, with
  // "CDbToSld::Import() error: the database file is damaged: ...") and applies the flagged rows of
  // the logical tables named in tableList (separated by ",", compared whole and case-sensitively)
  // to the host's active document, in the fixed order Feature, Dimension, Equation, Config,
  // Parameter, property (drawings skip property). Returns true when every named step succeeded. On
  // failure returns false with errNumber() and errDescription() saying why; the failures without a
  // message (a row naming a feature, dimension or configuration that the model lacks) leave them at
  // 0 and empty. Changes made before a failure stay in the model. A value the host refused (a
  // failing status) does not stop the step, but the import then fails at its end with -1 and
  // "CDbToSld::Import():" + the number of refused values and the first of them, unless a failure
  // with a message came first. Host failures while the model is read are errors with the host's
  // code. Never throws; the log file gets "Import in" and "Import out" (or "Import out error").
  bool Import(const std::u16string& dbPath, const std::u16string& tableList);

  int32_t errNumber() const { return errNumber_; }
  const std::u16string& errDescription() const { return errDescription_; }

  // "DADU_3_" + the logical name: the table that holds a logical table.
  static std::u16string MakeTableName(std::u16string_view logicalName);
  // "DADU_flag=<value>", the condition of the steps that take one flag value.
  static std::u16string MakeFlagCondition(int value);
  // "select <columns joined by ,> from '<tableName>" and, when where is not
  // empty, "' where <where>". Without a condition the quote after the table
  // name stays open, for the caller to close with its own " where" text.
  static std::u16string BuildSelect(std::u16string_view tableName,
                                    std::span<const std::u16string> columns,
                                    std::u16string_view where);

 private:
  struct TableStep;
  using PropertyRows = importer::PropertyRows;
  static const TableStep kTableSteps[];

  // The dispatch by document type: the steps of the named tables in their
  // fixed order; false at the first step that fails.
  bool UpdateModelTables(const std::vector<std::u16string>& names);
  bool UpdateDrawingTables(const std::vector<std::u16string>& names);
  bool UpdateTables(const std::vector<std::u16string>& names, bool drawing);

  // The steps, one per table. Each returns false to end the import.
  bool UpdateFeature();
  bool UpdateDimension();
  bool UpdateEquation();
  bool UpdateConfig();
  bool UpdateParameter();
  bool UpdateProperty();

  // Writes the property rows of one model (modelName empty: the model's
  // title without its extension), except unchanged rows whose property a
  // changed row already wrote to the same model. False after a failure,
  // which it records.
  bool UpdateProperty_modal(const ComPtr<IHostModelDoc>& model, const std::u16string& modelName,
                            const PropertyRows& rows, importer::PropertyWalk& walk);
  // The property walk below an assembly's root component; clears allWritten
  // when the rows of a model could not be written.
  void UpdateComponentProperty(int depth, const ComPtr<IHostComponent>& component,
                               const PropertyRows& rows, importer::PropertyWalk& walk,
                               bool& allWritten);
  // Hands one row to the property manager of its configuration (or of the
  // document, for an empty configuration name), as text, unless the manager
  // holds the property with that value already (held: what it holds, kept up
  // to date with what is written).
  void WriteProperty(IHostCustomPropertyManager* manager, importer::HeldProperties& held,
                     const std::u16string& modelName, const PropertyRows& rows, size_t row,
                     bool logging);

  // Runs the SELECT of the current query (tableName_, columns_, where_) into
  // query_; false after recording the failure.
  bool ExecQuery();
  // The SELECT of the current query.
  std::u16string BuildSelect() const;
  // Sets the columns and the condition of the current table's query.
  void SetQuery(std::span<const std::u16string_view> columns, std::u16string where);
  // Runs the statement of the list steps (Parameter, property) into query_:
  // the current query's SELECT, then "' where DADU_flag != 3 order by
  // configName". On failure records the SQLite error (code and message, with
  // a log line), or -1 and failurePrefix + message 5822 for any other
  // failure, and returns false.
  bool RunListStatement(std::u16string_view failurePrefix);

  // Opens the database file at path into pDb_; raises DbException when the
  // file is missing or cannot be opened.
  void OpenDatabase(const std::u16string& path);
  // Finalizes the cursor and closes the connection, if any.
  void CloseDatabase() noexcept;
  DbConnection& Database();
  // The host's active document; null when the host gives none.
  ComPtr<IHostModelDoc> ActiveDocument() const;
  // The same for the steps that cannot go on without it: raises
  // Dovbase::Kvx_Exception with the host's status when there is none.
  ComPtr<IHostModelDoc> RequiredActiveDocument() const;

  int32_t errNumber_ = 0;
  std::u16string errDescription_;
  ComPtr<IHostApplication> swApp_;
  std::u16string tableName_;
  std::vector<std::u16string> columns_;
  std::u16string where_;
  std::unique_ptr<DbConnection> pDb_;
  DbQuery query_;
  // The type of the document that Import dispatched on.
  LONG docType_ = kDocTypeNone;
  // How long the database's statements wait for another connection's lock.
  int busyTimeoutMs_;
  // The values the host refused during this import.
  importer::RefusedWrites refused_;
};
