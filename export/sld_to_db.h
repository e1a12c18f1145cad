// The exporter: writes the data of the host's active document into the
// tables of an SQLite database, one table per logical name, with the columns
// that the data dictionary gives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/kvx_xml.h"
#include "export/row_writer.h"
#include "host/host.h"
#include "platform/com_ptr.h"

class DbConnection;

// One entry of the feature list: a feature of the active document's tree,
// its name as the host gave it when the entry was made, its type name as the
// host gave it when the entry was expanded, its position in the list
// (featId) and the position of the entry it was found under (-1 at the top
// level).
struct FeatureEntry {
  ComPtr<IHostFeature> feature;
  std::u16string name;
  std::u16string typeName;
  int32_t index = 0;
  int32_t ownerIndex = -1;
};

// The host's revision text turned into the number the exports compare with
// their version thresholds: with two or more "." the text is cut before its
// last ".", the rest is read as a decimal number (its leading part, 0 when
// there is none) and 0.00001 is added ("20.3.0" gives 20.30001, "20" 20.00001).
double HostRevisionValue(std::u16string_view revision);

// CSldToDb lives for one export. Every operation returns true on success;
// on failure false, with errNumber() and errDescription() saying why (the
// operation's catch pattern: -1 and "<operation>() error: " + the failure's
// text). No exception leaves an operation. Every host reference an operation
// takes is released before the exporter ends.
class CSldToDb {
 public:
  // `host` (a reference of its own is taken), `db` (borrowed, may be null:
  // statements are then only composed) and `dictionary` (borrowed, may hold
  // no parsed document) must outlive the exporter. Reads the host's revision;
  // raises Dovbase::Kvx_Exception when there is no host or the host fails.
  // `statements` is how the rows reach the database (RowWriter).
  CSldToDb(IHostApplication* host, DbConnection* db, const Dovbase::XmlDocument& dictionary,
           std::u16string workDir,
           RowWriter::Statements statements = RowWriter::Statements::kBound);
  CSldToDb(const CSldToDb&) = delete;
  CSldToDb& operator=(const CSldToDb&) = delete;
  ~CSldToDb();

  // Creates and empties the table of every name of the comma-separated list,
  // in list order, then writes the tables of the active document's type in
  // that type's fixed order. Stops at the first failure.
  bool Export(std::u16string_view tableList);

  // Creates the stored table of a logical name from its `tab` in the data
  // dictionary, if the database lacks it, and deletes all its rows.
  bool CreateTable(const std::u16string& tableName);

  // The table exports. Each writes the rows of one table (the row writer's
  // current table, set by Export) from the active document.
  bool GetFeatures();         // builds the feature list, breadth first
  bool ExportFeature();       // "Feature": one row per feature list entry
  bool ExportDimension();     // "Dimension": one row per dimension, first entry wins
  bool ExportEquation();      // "Equation": one row per equation
  bool ExportConfig();        // "Config": one row per configuration
  bool ExportParameter();     // "Parameter" of a part or drawing
  bool ExportAsmParameter();  // "Parameter" of an assembly's loaded components, once per row
  bool ExportComponent();     // "Componen": the component tree per configuration
  // "property": the custom properties of a part, or of every loaded model of
  // an assembly, once per row. A model whose properties could not be read
  // does not stop the walk, but the export then fails with that model's
  // error: rows are missing.
  bool ExportProperty();
  // Writes the property rows of one model (its configurations', then its
  // own) under the name compName.
  bool getModelProperty(std::u16string compName, ComPtr<IHostModelDoc> model);

  int32_t errNumber() const { return errNumber_; }
  const std::u16string& errDescription() const { return errDescription_; }
  double revisionValue() const { return revisionValue_; }
  const std::vector<FeatureEntry>& features() const { return features_; }
  RowWriter& row() { return row_; }

 private:
  // The host's active document; raises when the host fails or has none.
  ComPtr<IHostModelDoc> ActiveDocument() const;
  // Sets error -1 and "<function>():" + the message with that id; false.
  bool Fail(std::u16string_view function, UINT messageId);

  int32_t errNumber_ = 0;
  std::u16string errDescription_;
  ComPtr<IHostApplication> host_;
  DbConnection* db_;
  RowWriter row_;
  std::vector<FeatureEntry> features_;
  bool featuresBuilt_ = false;
  const Dovbase::XmlDocument& dictionary_;
  double revisionValue_ = 0;
  std::u16string workDir_;
};
