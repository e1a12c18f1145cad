// Round trips through the loaded module: export, flagged changes, import, save, export again.
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

// The tables a round trip compares, and their columns; the equations' last.
const std::pair<const char16_t*, const char16_t*> kCompared[] = {
    {u"DADU_3_Feature", u"featName,description,uiState"},
    {u"DADU_3_Dimension", u"dimFullName,dimValue,readOnly,drivenState,tolType,tolMinVal,tolMaxVal"},
    {u"DADU_3_Config",
     u"configName,parentConfig,alternateName,bomPartNoSrc,comment,description,isLock,"
     u"useAlterInBom"},
    {u"DADU_3_Parameter", u"configName,compName,paramName,paramValue"},
    {u"DADU_3_property", u"configName,compName,propertyName,propertyValue"},
    {u"DADU_3_Equation", u"equIndex,equation,suppression"}};

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

  // Opens the sample, loads the add-in with the sample dictionary and exports into dbPath().
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

  HRESULT RunUpdateTable(const std::u16string& tables, const std::u16string& path) override {
    HRESULT hr = testing_support::Call(harbolt_.Get(), u"UpdateTable", {Arg(tables), Arg(path)});
    errNumber = testing_support::LongProperty(harbolt_.Get(), u"errNumber");
    errDescription = testing_support::TextProperty(harbolt_.Get(), u"errDescription");
    return hr;
  }

  void SaveAndReload(const std::string& sample) {
    ASSERT_EQ(S_OK, testing_support::Bound(host().ActiveDocument())->Save(VARIANT_TRUE));
    ASSERT_TRUE(host().Close(ModelPath(sample)));
    OpenSample(sample);
  }
  std::string Beside(const char* name) const {
    return (std::filesystem::path(dbPath()).parent_path() / name).string();
  }
  std::u16string Again() const { return platform::Utf8ToUtf16(Beside("again.db")); }
  // The columns ("a,b") of a table's rows, in the order they were written.
  static Rows Select(const std::u16string& path, std::u16string_view table,
                     std::u16string_view columns) {
    DbConnection db;
    db.open(path);
    Rows rows;
    for (DbQuery query = db.query(u"select " + std::u16string(columns) + u" from '" +
                                  std::u16string(table) + u"' order by rowid");
         !query.atEnd(); query.next()) {
      rows.emplace_back();
      for (int i = 0; i < query.columnCount(); ++i) rows.back().push_back(query.textAt(i));
    }
    return rows;
  }

  // The columns of the caller's table and of the export again are the same (sorted or not).
  void ExpectSameRows(std::u16string_view table, std::u16string_view columns, bool sorted) {
    Rows caller = Select(dbPath(), table, columns);
    Rows again = Select(Again(), table, columns);
    if (sorted) {
      std::sort(caller.begin(), caller.end());
      std::sort(again.begin(), again.end());
    }
    EXPECT_EQ(caller, again) << Utf8(table);
  }

 private:
  testing_support::ScopedEnv registry_;
  loader::AddinLoader loader_;
  ComPtr<IDispatch> harbolt_;
};

TEST_F(RoundTripTest, APartsChangedRowsReachTheModelTheFileAndTheNextExport) {
  Start("Housing.SLDPRT");
  for (const char16_t* change :
       {u"update 'DADU_3_Feature' set description='外壳主体', DADU_flag=2 "
        u"where featName='Boss-Extrude1'",
        u"update 'DADU_3_Dimension' set dimValue=85.5, tolType=4, tolMinVal=-0.2, "
        u"tolMaxVal=0.2, DADU_flag=2 where dimFullName='D2@Sketch1'",
        u"update 'DADU_3_Equation' set equation='\"Width\" = 130', DADU_flag=2 where equIndex=0",
        u"update 'DADU_3_Equation' set DADU_flag=3 where equIndex=3",
        u"insert into 'DADU_3_Equation' (equIndex,equation,DADU_flag) values "
        u"(99,'\"Depth\" = 60',1)",
        u"update 'DADU_3_Config' set comment='Thickest walls', DADU_flag=2 "
        u"where configName='Heavy'",
        u"update 'DADU_3_Parameter' set paramValue='48.0mm', DADU_flag=2 "
        u"where configName='Heavy' and paramName='D1@Boss-Extrude1'",
        u"update 'DADU_3_Parameter' set DADU_flag=3 "
        u"where configName='Default' and paramName='$STATE@Chamfer1'",
        u"update 'DADU_3_property' set propertyValue='HSG-200', DADU_flag=2 "
        u"where configName='Default' and propertyName='PartNo'",
        u"update 'DADU_3_property' set propertyValue='QT450', DADU_flag=2 "
        u"where configName='' and propertyName='Material'",
        u"insert into 'DADU_3_property' (configName,compName,propertyName,propertyType,"
        u"propertyValue,DADU_flag) values ('','Housing','Inspector',30,'王芳',1)"}) {
    Execute(change);
  }
  ASSERT_EQ(S_OK, Import(kAllTables));
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"", errDescription);
  EXPECT_THAT(Journal("IConfigurationManager.SetConfigurationParams"),
              ElementsAre("IConfigurationManager.SetConfigurationParams "
                          "Housing.SLDPRT(Heavy, array, array)"));
  SaveAndReload("Housing.SLDPRT");
  const sim::ModelData& model = Model("Housing.SLDPRT");
  EXPECT_EQ(u"外壳主体", model.features[5].fields.description);
  EXPECT_EQ(u"\"Depth\" = 60", model.equations[3].text);
  EXPECT_EQ(u"Thickest walls", model.configurations[1].comment);
  // Exported again, the rows are the caller's (equations renumbered); flags are 0.
  ASSERT_EQ(S_OK, RefreshTable(kAllTables, Again()));
  for (const auto& [table, columns] : kCompared) {
    if (table != kCompared[5].first) ExpectSameRows(table, columns, table == kCompared[4].first);
  }
  EXPECT_EQ((Rows{{u"0", u"\"Width\" = 130", u"0"},
                  {u"1", u"\"D1@Sketch1\" = \"Width\"", u"0"},
                  {u"2", u"\"D1@Boss-Extrude1\" = \"Width\" / 4", u"0"},
                  {u"3", u"\"Depth\" = 60", u"0"}}),
            Select(Again(), u"DADU_3_Equation", kCompared[5].second));
  EXPECT_THAT(Select(Again(), u"DADU_3_Feature", u"DADU_flag"),
              ::testing::Each(std::vector<std::u16string>{u"0"}));
}

// An unchanged export imports without a host write and exports the same again.
TEST_F(RoundTripTest, AnUnchangedAssemblyExportImportsWithoutChangingAnything) {
  Start("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Import(kAllTables));
  EXPECT_THAT(Writes(), ::testing::IsEmpty());
  EXPECT_EQ(2u, Model("Gearbox.SLDASM").configurations.size());
  EXPECT_EQ(2u, Model("Shaft.SLDPRT").configurations.size());
  ASSERT_EQ(S_OK, RefreshTable(kAllTables, Again()));
  for (const auto& [table, columns] : kCompared) ExpectSameRows(table, columns, false);
}

TEST_F(RoundTripTest, FailuresReachTheCallerThroughErrNumberAndErrDescription) {
  Start("Housing.SLDPRT", u"Feature,Config");
  ASSERT_EQ(S_FALSE, Import(u"Feature,Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::UpdateEquation():ExecQuery is failed", errDescription);
  // A database that cannot be opened is not made, and the host is not asked.
  ASSERT_EQ(S_FALSE, ImportFrom(u"Feature", platform::Utf8ToUtf16(Beside("missing.db"))));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"Unexpected error.\n", errDescription);
  EXPECT_THAT(ImportLog(), ElementsAre("Import in", "Import out error"));
  EXPECT_THAT(Journal(), ::testing::IsEmpty());
  EXPECT_FALSE(std::filesystem::exists(Beside("missing.db")));
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
  EXPECT_THAT(ImportLog(), ElementsAre("Import in"));
  EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                     "IModelDoc2.GetType Housing.SLDPRT()"));
  Model("Housing.SLDPRT").type = kDocTypePart;
  ASSERT_TRUE(host().Close(ModelPath("Housing.SLDPRT")));
  ASSERT_EQ(S_FALSE, Import(u"Config"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::Import():error: invalid docType", errDescription);
}

}  // namespace
}  // namespace import_test
