// Round trips through the add-in module, loaded as the host loads it and
// driven through IDispatch as the caller drives it: SetDD and RefreshTable,
// the caller's changes (values and DADU_flag), UpdateTable with errNumber and
// errDescription, then the model saved, loaded again and exported again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "db/db_connection.h"
#include "loader/addin_loader.h"
#include "platform/text.h"
#include "tests/import/import_test_support.h"
#include "tests/support/bound_host.h"
#include "tests/support/dispatch_caller.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using testing_support::Arg;
using Rows = std::vector<std::vector<std::u16string>>;

constexpr char16_t kAddinClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";
constexpr LONG kCookie = 11;
constexpr char16_t kAllTables[] = u"Feature,Dimension,Parameter,Equation,Config,property";

const std::vector<std::u16string> kFeatureColumns = {u"featName", u"description", u"uiState"};
const std::vector<std::u16string> kDimensionColumns = {u"dimFullName", u"dimValue", u"readOnly",
                                                       u"drivenState", u"tolType",  u"tolMinVal",
                                                       u"tolMaxVal"};
const std::vector<std::u16string> kEquationColumns = {u"equIndex", u"equation", u"suppression"};
const std::vector<std::u16string> kConfigColumns = {
    u"configName", u"parentConfig", u"alternateName", u"bomPartNoSrc",
    u"comment",    u"description",  u"isLock",        u"useAlterInBom"};
const std::vector<std::u16string> kParameterColumns = {u"configName", u"compName", u"paramName",
                                                       u"paramValue"};
const std::vector<std::u16string> kPropertyColumns = {u"configName", u"compName", u"propertyName",
                                                      u"propertyValue"};

class RoundTripTest : public ImportTest {
 protected:
  RoundTripTest() : registry_("HARBOLT_REGISTRY", Beside("registry").c_str()) {}

  void SetUp() override {
    ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(platform::AnsiToWide(HARBOLT_MODULE_PATH)));
  }
  void TearDown() override {
    harbolt_ = nullptr;
    loader_.Unload();
  }

  // Opens the sample, loads and connects the add-in, hands it the sample
  // dictionary and exports every table into dbPath().
  void Start(const std::string& sample, const std::u16string& tables = kAllTables) {
    OpenSample(sample);
    ComPtr<IDispatch> application = host().Application();
    ASSERT_EQ(S_OK, loader_.Load(application.Get(), kAddinClsid, kCookie));
    harbolt_ = loader_.Dispatch();
    ASSERT_TRUE(harbolt_);
    const std::u16string dictionary =
        platform::Utf8ToUtf16(testing_support::ReadFile(ModelPath("dictionary.xml")));
    ASSERT_EQ(S_OK, testing_support::Call(harbolt_.Get(), u"SetDD", {Arg(dictionary)}));
    ASSERT_EQ(S_OK, RefreshTable(tables, dbPath()));
  }

  HRESULT RefreshTable(const std::u16string& tables, const std::u16string& path) {
    return testing_support::Call(harbolt_.Get(), u"RefreshTable", {Arg(tables), Arg(path)});
  }

  // UpdateTable as the caller calls it, then the add-in's error state.
  HRESULT RunUpdateTable(const std::u16string& tables, const std::u16string& path) override {
    HRESULT hr = testing_support::Call(harbolt_.Get(), u"UpdateTable", {Arg(tables), Arg(path)});
    errNumber = testing_support::LongProperty(harbolt_.Get(), u"errNumber");
    errDescription = testing_support::TextProperty(harbolt_.Get(), u"errDescription");
    return hr;
  }

  // Saves the active document (with the component models it changed),
  // closes it and opens it again from its file.
  void SaveAndReload(const std::string& sample) {
    ASSERT_EQ(S_OK, testing_support::Bound(host().ActiveDocument())->Save(VARIANT_TRUE));
    ASSERT_TRUE(host().Close(ModelPath(sample)));
    OpenSample(sample);
  }

  std::string Beside(const char* name) const {
    return (std::filesystem::path(dbPath()).parent_path() / name).string();
  }
  std::u16string Again() const { return platform::Utf8ToUtf16(Beside("again.db")); }

  // The named columns of a table's rows, in the order they were written.
  static Rows Select(const std::u16string& path, const std::u16string& table,
                     const std::vector<std::u16string>& columns) {
    DbConnection db;
    db.open(path);
    std::u16string sql = u"select ";
    for (const std::u16string& column : columns) sql += column + u",";
    sql.back() = u' ';
    Rows rows;
    for (DbQuery query = db.query(sql + u"from '" + table + u"' order by rowid"); !query.atEnd();
         query.next()) {
      std::vector<std::u16string> row;
      for (const std::u16string& column : columns) row.push_back(query.textByName(column));
      rows.push_back(std::move(row));
    }
    return rows;
  }
  Rows Select(const std::u16string& table, const std::vector<std::u16string>& columns) const {
    return Select(dbPath(), table, columns);
  }

  // Sets column to value in the rows whose column keyColumn holds key (and,
  // when given, column keyColumn2 holds key2).
  static void Change(Rows& rows, size_t keyColumn, const std::u16string& key, size_t column,
                     const std::u16string& value, size_t keyColumn2 = 0,
                     const std::u16string* key2 = nullptr) {
    bool found = false;
    for (std::vector<std::u16string>& row : rows) {
      if (row[keyColumn] == key && (!key2 || row[keyColumn2] == *key2)) {
        row[column] = value;
        found = true;
      }
    }
    EXPECT_TRUE(found) << Utf8(key);
  }

 private:
  testing_support::ScopedEnv registry_;
  loader::AddinLoader loader_;
  ComPtr<IDispatch> harbolt_;
};

TEST_F(RoundTripTest, APartsChangedRowsReachTheModelTheFileAndTheNextExport) {
  Start("Housing.SLDPRT");
  const Rows features = Select(u"DADU_3_Feature", kFeatureColumns);
  const Rows dimensions = Select(u"DADU_3_Dimension", kDimensionColumns);
  const Rows configs = Select(u"DADU_3_Config", kConfigColumns);
  const Rows parameters = Select(u"DADU_3_Parameter", kParameterColumns);
  const Rows properties = Select(u"DADU_3_property", kPropertyColumns);

  Execute(
      u"update 'DADU_3_Feature' set description='外壳主体', DADU_flag=2 "
      u"where featName='Boss-Extrude1'");
  Execute(
      u"update 'DADU_3_Dimension' set dimValue=85.5, tolType=4, tolMinVal=-0.2, "
      u"tolMaxVal=0.2, DADU_flag=2 where dimFullName='D2@Sketch1'");
  Execute(
      u"update 'DADU_3_Equation' set equation='\"Width\" = 130', DADU_flag=2 "
      u"where equIndex=0");
  Execute(u"update 'DADU_3_Equation' set DADU_flag=3 where equIndex=3");
  Row("Equation", {{"equIndex", 99}, {"equation", u"\"Depth\" = 60"}}, kAdded);
  Execute(
      u"update 'DADU_3_Config' set comment='Thickest walls', DADU_flag=2 "
      u"where configName='Heavy'");
  Execute(
      u"update 'DADU_3_Parameter' set paramValue='48.0mm', DADU_flag=2 "
      u"where configName='Heavy' and paramName='D1@Boss-Extrude1'");
  Execute(
      u"update 'DADU_3_Parameter' set DADU_flag=3 "
      u"where configName='Default' and paramName='$STATE@Chamfer1'");
  Execute(
      u"update 'DADU_3_property' set propertyValue='HSG-200', DADU_flag=2 "
      u"where configName='Default' and propertyName='PartNo'");
  Execute(
      u"update 'DADU_3_property' set propertyValue='QT450', DADU_flag=2 "
      u"where configName='' and propertyName='Material'");
  Row("property",
      {{"configName", u""},
       {"compName", u"Housing"},
       {"propertyName", u"Inspector"},
       {"propertyType", 30},
       {"propertyValue", u"王芳"}},
      kAdded);

  ASSERT_EQ(S_OK, Import(kAllTables));
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"", errDescription);

  // Each step's writes, in the fixed order of the steps and of the values.
  const std::vector<std::string> writes = Writes();
  const auto firstProperty = std::find_if(writes.begin(), writes.end(), [](const std::string& c) {
    return c.rfind("ICustomPropertyManager.", 0) == 0;
  });
  EXPECT_THAT(
      std::vector<std::string>(writes.begin(), firstProperty),
      ElementsAre(
          "IFeature.put_Description Housing.SLDPRT:Boss-Extrude1(外壳主体)",
          "IFeature.SetUIState Housing.SLDPRT:Boss-Extrude1(1, true)",
          "IDimension.SetValue3 D2@Sketch1@Housing.SLDPRT(85.5, 1, empty)",
          "IDimension.put_DrivenState D2@Sketch1@Housing.SLDPRT(2)",
          "IDimensionTolerance.put_Type D2@Sketch1@Housing.SLDPRT(4)",
          "IDimensionTolerance.SetValues2 D2@Sketch1@Housing.SLDPRT(-0.2, 0.2, 1, empty)",
          "IEquationMgr.put_Equation Housing.SLDPRT(0, \"Width\" = 130)",
          "IEquationMgr.put_Suppression Housing.SLDPRT(0, false)",
          "IEquationMgr.Delete Housing.SLDPRT(3)",
          "IEquationMgr.Add2 Housing.SLDPRT(3, \"Depth\" = 60, true)",
          "IConfiguration.put_AlternateName Housing.SLDPRT:Heavy(HSG-H)",
          "IConfiguration.put_BOMPartNoSource Housing.SLDPRT:Heavy(8)",
          "IConfiguration.put_Comment Housing.SLDPRT:Heavy(Thickest walls)",
          "IConfiguration.put_Description Housing.SLDPRT:Heavy(加厚型)",
          "IConfiguration.put_Lock Housing.SLDPRT:Heavy(true)",
          "IConfiguration.put_UseAlternateNameInBOM Housing.SLDPRT:Heavy(true)",
          // Default's parameters hold the rows' values already.
          "IConfigurationManager.SetConfigurationParams Housing.SLDPRT(Heavy, array, array)"));
  // Every row not flagged deleted whose value the model does not hold is
  // written: the document's properties (configuration name empty, sorted
  // first) "Set2" before "Add2", a configuration's "Add2" before "Set2".
  const std::vector<std::string> propertyWrites(firstProperty, writes.end());
  ASSERT_EQ(2u * 3, propertyWrites.size());
  for (size_t i = 0; i < propertyWrites.size(); i += 2) {
    const bool document = propertyWrites[i].find(" Housing.SLDPRT:(") != std::string::npos;
    EXPECT_THAT(propertyWrites[i], ::testing::StartsWith(document ? "ICustomPropertyManager.Set2"
                                                                  : "ICustomPropertyManager.Add2"));
    EXPECT_THAT(propertyWrites[i + 1],
                ::testing::StartsWith(document ? "ICustomPropertyManager.Add2"
                                               : "ICustomPropertyManager.Set2"));
  }
  EXPECT_THAT(propertyWrites,
              ::testing::IsSupersetOf(
                  {"ICustomPropertyManager.Set2 Housing.SLDPRT:(Material, QT450)",
                   "ICustomPropertyManager.Add2 Housing.SLDPRT:(Inspector, 30, 王芳)",
                   "ICustomPropertyManager.Add2 Housing.SLDPRT:Default(PartNo, 30, HSG-200)"}));

  SaveAndReload("Housing.SLDPRT");
  const sim::ModelData& model = Model("Housing.SLDPRT");
  EXPECT_EQ(u"外壳主体", model.features[5].fields.description);
  EXPECT_EQ(u"\"Depth\" = 60", model.equations[3].text);
  EXPECT_EQ(u"Thickest walls", model.configurations[1].comment);

  // Exported again, the rows are the first export's with the caller's
  // changes; the new export's flags are 0 and the caller's stayed.
  ASSERT_EQ(S_OK, RefreshTable(kAllTables, Again()));
  Rows expected = features;
  Change(expected, 0, u"Boss-Extrude1", 1, u"外壳主体");
  EXPECT_EQ(expected, Select(Again(), u"DADU_3_Feature", kFeatureColumns));
  expected = dimensions;
  for (auto [column, value] :
       {std::pair<size_t, const char16_t*>{1, u"85.5"}, {4, u"4"}, {5, u"-0.2"}, {6, u"0.2"}}) {
    Change(expected, 0, u"D2@Sketch1", column, value);
  }
  EXPECT_EQ(expected, Select(Again(), u"DADU_3_Dimension", kDimensionColumns));
  EXPECT_EQ((Rows{{u"0", u"\"Width\" = 130", u"0"},
                  {u"1", u"\"D1@Sketch1\" = \"Width\"", u"0"},
                  {u"2", u"\"D1@Boss-Extrude1\" = \"Width\" / 4", u"0"},
                  {u"3", u"\"Depth\" = 60", u"0"}}),
            Select(Again(), u"DADU_3_Equation", kEquationColumns));
  expected = configs;
  Change(expected, 0, u"Heavy", 4, u"Thickest walls");
  EXPECT_EQ(expected, Select(Again(), u"DADU_3_Config", kConfigColumns));
  // Default's deleted row was not handed over, and nothing is removed.
  expected = parameters;
  const std::u16string boss = u"D1@Boss-Extrude1";
  Change(expected, 0, u"Heavy", 3, u"48.0mm", 2, &boss);
  EXPECT_EQ(expected, Select(Again(), u"DADU_3_Parameter", kParameterColumns));
  EXPECT_EQ(properties.size() + 1, Select(Again(), u"DADU_3_property", kPropertyColumns).size());
  EXPECT_THAT(Select(Again(), u"DADU_3_property", kPropertyColumns),
              ::testing::IsSupersetOf(Rows{{u"", u"Housing", u"Material", u"QT450"},
                                           {u"", u"Housing", u"Inspector", u"王芳"},
                                           {u"Default", u"Housing", u"PartNo", u"HSG-200"}}));
  EXPECT_THAT(Select(Again(), u"DADU_3_Feature", {u"DADU_flag"}),
              ::testing::Each(std::vector<std::u16string>{u"0"}));
  EXPECT_THAT(Select(u"DADU_3_Feature", {u"DADU_flag"}),
              ::testing::Contains(std::vector<std::u16string>{u"2"}));
}

// An export imported unchanged gives the same export again: the rows of an
// assembly's parameter and property tables go back to the models they came
// from, with the values those already hold.
TEST_F(RoundTripTest, AnUnchangedAssemblyExportImportsWithoutChangingAnything) {
  Start("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Import(kAllTables));
  // Every row holds what the model holds: the host is asked, never written.
  EXPECT_THAT(Writes(), ::testing::IsEmpty());
  EXPECT_EQ(2u, Model("Gearbox.SLDASM").configurations.size());
  EXPECT_EQ(2u, Model("Shaft.SLDPRT").configurations.size());

  ASSERT_EQ(S_OK, RefreshTable(kAllTables, Again()));
  for (const auto& [table, columns] : {std::pair{u"DADU_3_Parameter", kParameterColumns},
                                       {u"DADU_3_property", kPropertyColumns},
                                       {u"DADU_3_Config", kConfigColumns},
                                       {u"DADU_3_Feature", kFeatureColumns},
                                       {u"DADU_3_Dimension", kDimensionColumns},
                                       {u"DADU_3_Equation", kEquationColumns}}) {
    SCOPED_TRACE(Utf8(table));
    EXPECT_EQ(Select(table, columns), Select(Again(), table, columns));
  }
}

// Shaft-1 and Shaft-2, Bearing-1 and Bearing-2 are instances of one model
// each, with rows of their own: the caller changes the rows of one instance
// only, and the unchanged rows of the other do not undo it.
TEST_F(RoundTripTest, AnAssemblysComponentRowsReachTheirModelsAndFiles) {
  Start("Gearbox.SLDASM", u"Parameter,property");
  Execute(
      u"update 'DADU_3_Parameter' set paramValue='125.0mm', DADU_flag=2 "
      u"where compName='Shaft-1' and configName='Short'");
  Execute(
      u"update 'DADU_3_property' set propertyValue='NSK', DADU_flag=2 "
      u"where compName='BearingSet-1/Bearing-1' and propertyName='Vendor'");
  Execute(
      u"update 'DADU_3_property' set propertyValue='C', DADU_flag=2 "
      u"where compName='Gearbox' and configName='Compact'");
  ASSERT_EQ(S_OK, Import(u"Parameter,property"));

  SaveAndReload("Gearbox.SLDASM");
  EXPECT_EQ(u"125.0mm", Model("Shaft.SLDPRT").configurations[1].parameters[0].value);
  EXPECT_EQ(u"NSK", Model("Bearing.SLDPRT").properties[0].value);
  EXPECT_EQ(u"C", Model("Gearbox.SLDASM").configurations[1].properties[0].value);
  EXPECT_EQ(2u, Model("Gearbox.SLDASM").configurations.size());

  // Exported again, the other instance's rows carry the change too.
  ASSERT_EQ(S_OK, RefreshTable(u"Parameter,property", Again()));
  Rows expected = Select(u"DADU_3_Parameter", kParameterColumns);
  const std::u16string shaft2 = u"Shaft-2";
  Change(expected, 0, u"Short", 3, u"125.0mm", 1, &shaft2);
  EXPECT_EQ(expected, Select(Again(), u"DADU_3_Parameter", kParameterColumns));
  expected = Select(u"DADU_3_property", kPropertyColumns);
  const std::u16string bearing2 = u"BearingSet-1/Bearing-2";
  Change(expected, 2, u"Vendor", 3, u"NSK", 1, &bearing2);
  EXPECT_EQ(expected, Select(Again(), u"DADU_3_property", kPropertyColumns));
}

TEST_F(RoundTripTest, FailuresReachTheCallerThroughErrNumberAndErrDescription) {
  Start("Housing.SLDPRT", u"Feature,Config");

  ASSERT_EQ(S_FALSE, Import(u"Feature,Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::UpdateEquation():ExecQuery is failed", errDescription);

  ASSERT_EQ(S_FALSE, ImportFrom(u"Feature", platform::Utf8ToUtf16(Beside("missing.db"))));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"Unexpected error.\n", errDescription);
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "Import out error"));

  // A success leaves the error state as it was.
  ASSERT_EQ(S_OK, Import(u"Config"));
  EXPECT_EQ(-1, errNumber);

  // A failure without a message replaces the previous error with none.
  Execute(
      u"update 'DADU_3_Config' set configName='Medium', DADU_flag=2 "
      u"where configName='Heavy'");
  ASSERT_EQ(S_FALSE, Import(u"Config"));
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"", errDescription);

  Model("Housing.SLDPRT").type = 4;
  ASSERT_EQ(S_FALSE, Import(u"Config"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::Import():error: invalid docType", errDescription);
  Model("Housing.SLDPRT").type = kDocTypePart;

  ASSERT_TRUE(host().Close(ModelPath("Housing.SLDPRT")));
  ASSERT_EQ(S_FALSE, Import(u"Config"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::Import():error: invalid docType", errDescription);
}

}  // namespace
}  // namespace import_test
