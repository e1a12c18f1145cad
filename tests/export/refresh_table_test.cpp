// The export as the caller drives it: the add-in module loaded as the host
// loads it, the dictionary handed over with SetDD, the work directory with
// SetWorkDir, then RefreshTable with the table list and the database path,
// and errNumber and errDescription read back after a failure.
#include <gtest/gtest.h>

#include "common/catch_pattern.h"
#include "loader/addin_loader.h"
#include "tests/export/export_test_support.h"
#include "tests/support/dispatch_caller.h"

namespace export_test {
namespace {

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallDetails;
using testing_support::CallMember;
using testing_support::LongProperty;
using testing_support::TextProperty;

constexpr char16_t kAddinClsid[] = u"{1C227C16-C127-4F54-B26C-EF8F2BA2448D}";
constexpr LONG kCookie = 3;
constexpr std::u16string_view kAllTables =
    u"Feature,Dimension,Parameter,Equation,Config,property,Componen";

class RefreshTableTest : public ExportTest {
 protected:
  RefreshTableTest() : registry_("HARBOLT_REGISTRY", (dir_.path() / "registry").c_str()) {}

  void SetUp() override {
    const std::u16string module = platform::AnsiToWide(HARBOLT_MODULE_PATH);
    ASSERT_EQ(S_OK, loader::AddinLoader::RegisterModule(module));
    application_ = host_.Application();
    ASSERT_EQ(S_OK, loader_.Load(application_.Get(), kAddinClsid, kCookie));
    harbolt_ = loader_.Dispatch();
    ASSERT_TRUE(harbolt_);
    ASSERT_EQ(S_OK, SetDD(testing_support::ReadFile(SampleDir() / "dictionary.xml")));
    ASSERT_EQ(S_OK, Call(harbolt_.Get(), u"SetWorkDir", {Arg(workDir_)}));
  }
  void TearDown() override {
    harbolt_ = nullptr;
    loader_.Unload();
  }

  HRESULT SetDD(const std::string& xml) {
    return CallMember(harbolt_.Get(), u"SetDD", {Arg(Utf16(xml))});
  }

  // RefreshTable with the table list first and the database path second;
  // checks that the export left no host object behind.
  HRESULT RefreshTable(std::u16string_view tables) {
    return RefreshTableAt(tables, db_.u16string());
  }
  HRESULT RefreshTableAt(std::u16string_view tables, std::u16string_view path) {
    long objects = host_.LiveObjects();
    long references = host_.References();
    details_ = CallDetails();
    HRESULT hr =
        CallMember(harbolt_.Get(), u"RefreshTable", {Arg(tables), Arg(path)}, nullptr, &details_);
    EXPECT_EQ(objects, host_.LiveObjects()) << "host objects left by the export";
    EXPECT_EQ(references, host_.References()) << "host references left by the export";
    return hr;
  }
  LONG ErrNumber() { return LongProperty(harbolt_.Get(), u"errNumber"); }
  std::u16string ErrDescription() { return TextProperty(harbolt_.Get(), u"errDescription"); }

  testing_support::ScopedEnv registry_;
  ComPtr<IDispatch> application_;
  loader::AddinLoader loader_;
  ComPtr<IDispatch> harbolt_;
  CallDetails details_;
};

TEST_F(RefreshTableTest, TheSampleAssemblyIntoEveryTable) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, RefreshTable(kAllTables)) << Utf8(ErrDescription());
  EXPECT_EQ(0, ErrNumber());
  EXPECT_EQ(u"", ErrDescription());
  EXPECT_EQ((Row{"DADU_3_Feature", "DADU_3_Dimension", "DADU_3_Parameter", "DADU_3_Equation",
                 "DADU_3_Config", "DADU_3_property", "DADU_3_Componen"}),
            Tables());
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_Feature' (featId Integer primary key not null,featName Text,"
      "typeName Text,ownerFeatureId Integer,ownerFeature Text,createdBy Text,dateCreated Text,"
      "createdVersion Integer,dateModified Text,modifiedVersion Integer,updateStamp Integer,"
      "description Text,editStatus Integer,errorCode Integer,isBase Integer,visible Integer,"
      "uiState Integer,isSuppressed Integer,DADU_flag Integer)",
      CreateSql(u"DADU_3_Feature"));
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_Dimension' (dimFullName Text primary key not null,dimName Text,"
      "feature Text,featId Integer,dimValue Real,sysValue Real,dimType Integer,"
      "dimParamType Integer,readOnly Integer,drivenState Integer,isReference Integer,"
      "tolType Integer,tolMinVal Real,tolMaxVal Real,DADU_flag Integer)",
      CreateSql(u"DADU_3_Dimension"));
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_Equation' (equIndex Integer primary key not null,equation Text,"
      "equLeft Text,equRight Text,equValue Real,suppression Integer,DADU_flag Integer)",
      CreateSql(u"DADU_3_Equation"));
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_Config' (configName Text primary key not null,parentConfig Text,"
      "alternateName Text,configType Integer,bomPartNoSrc Integer,comment Text,"
      "description Text,isLock Integer,useAlterInBom Integer,DADU_flag Integer)",
      CreateSql(u"DADU_3_Config"));
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_Parameter' (configName Text,compName Text,paramName Text,"
      "paramValue Text,DADU_flag Integer)",
      CreateSql(u"DADU_3_Parameter"));
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_Componen' (configName Text,compName Text,realName Text,"
      "refConfig Text,parentComp Text,compVisible Integer,ConsStatus Integer,"
      "compSupState Integer,previewBitmap Text,DADU_flag Integer)",
      CreateSql(u"DADU_3_Componen"));
  EXPECT_EQ(
      "CREATE TABLE 'DADU_3_property' (configName Text,compName Text,realName Text,"
      "propertyName Text,propertyType Integer,propertyValue Text,DADU_flag Integer)",
      CreateSql(u"DADU_3_property"));

  std::vector<size_t> counts;
  for (const std::string& table : Tables()) counts.push_back(Rows(Utf16(table)).size());
  EXPECT_EQ((std::vector<size_t>{49, 9, 13, 2, 2, 28, 14}), counts);
  EXPECT_EQ((std::vector<Row>{{"Default", "NULL", "", "0", "1", "", "Full gearbox", "0", "0", "0"},
                              {"Compact", "Default", "", "0", "1", "", "紧凑型", "0", "0", "0"}}),
            Rows(u"DADU_3_Config"));
  EXPECT_EQ(
      (std::vector<Row>{{"Default", "BearingSet-1/Bearing-2", "Bearing", "Default", "BearingSet-1",
                         "1", "2", "3", Utf8(workDir_) + "/Bearing.bmp", "0"}}),
      Select("select * from DADU_3_Componen where compName like '%Bearing-2' and "
             "configName='Default'"));
  EXPECT_EQ("BM", testing_support::ReadFile(dir_.path() / "work" / "Bearing.bmp").substr(0, 2));
  // Every exported row is unchanged, as far as the flag tells.
  EXPECT_EQ((std::vector<Row>{{"0"}}),
            Select("select count(*) from DADU_3_property where DADU_flag<>0"));
}

TEST_F(RefreshTableTest, APartWithTextsThatMustArriveExactly) {
  Open("Housing.SLDPRT");
  const std::u16string value = u"O'Brien's 50% \\\\server\\share \"D1@Sketch1\" 铸铁；'') --";
  Model().properties[0].value = value;
  Model().configurations[1].comment = u"it's";
  ASSERT_EQ(S_OK, RefreshTable(u"property,Config,Feature"));
  EXPECT_EQ((std::vector<Row>{{"Material", Utf8(value)}}),
            Select("select propertyName,propertyValue from DADU_3_property where "
                   "configName='' and propertyName='Material'"));
  EXPECT_EQ((std::vector<Row>{{"it's"}}),
            Select("select comment from DADU_3_Config where configName='Heavy'"));
  EXPECT_EQ(11u, Rows(u"DADU_3_Feature").size());
}

TEST_F(RefreshTableTest, AWorkDirectoryWithATrailingSeparator) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Call(harbolt_.Get(), u"SetWorkDir", {Arg(workDir_ + u"/")}));
  ASSERT_EQ(S_OK, RefreshTable(u"Componen"));
  EXPECT_EQ((std::vector<Row>{{Utf8(workDir_) + "/Housing.bmp"}}),
            Select("select previewBitmap from DADU_3_Componen where compName='Housing-1' and "
                   "configName='Default'"));
}

TEST_F(RefreshTableTest, FailuresReportTheirNumbersAndTexts) {
  Open("Housing.SLDPRT");

  // A requested table without a tab; nothing of the export stays.
  EXPECT_EQ(S_FALSE, RefreshTable(u"Feature,Component"));
  EXPECT_EQ(-1, ErrNumber());
  EXPECT_EQ(u"CSldToDb::CreateTable():tabNode is nothing", ErrDescription());
  EXPECT_TRUE(Tables().empty());

  // A host call that fails inside a table export.
  host_.FailCall("IEquationMgr.Value#3");
  EXPECT_EQ(S_FALSE, RefreshTable(kAllTables));
  EXPECT_EQ(-1, ErrNumber());
  EXPECT_EQ(
      u"CSldToDb::ExportEquation() error: IEquationMgr.Value failed (0x80004005): "
      u"IEquationMgr.Value failed in the simulated host\n",
      ErrDescription());
  EXPECT_TRUE(Tables().empty());
  host_.ClearFaults();

  // A model whose properties fail: the export does not pass for complete.
  host_.FailCall("ICustomPropertyManager.GetAll#1");
  EXPECT_EQ(S_FALSE, RefreshTable(u"property"));
  EXPECT_EQ(
      u"CSldToDb::getModelProperty() error: ICustomPropertyManager.GetAll failed (0x80004005): "
      u"ICustomPropertyManager.GetAll failed in the simulated host\n",
      ErrDescription());
  EXPECT_TRUE(Tables().empty());
  host_.ClearFaults();

  // A failing insert: the table lacks a column the export writes.
  ASSERT_EQ(S_OK, SetDD("<dd><tabs><tab name='Config'><f><fld name='configName'/></f></tab>"
                        "</tabs></dd>"));
  EXPECT_EQ(S_FALSE, RefreshTable(u"Config"));
  EXPECT_EQ(-1, ErrNumber());
  EXPECT_EQ(
      u"CSldToDb::ExportConfig() error: SQLITE_ERROR[1]: table DADU_3_Config has no column "
      u"named alternateName\n",
      ErrDescription());
  EXPECT_TRUE(Tables().empty());

  // A failing CREATE TABLE.
  ASSERT_EQ(S_OK, SetDD("<dd><tabs><tab name='Config'><f><fld name='a'/><fld name='a'/></f>"
                        "</tab></tabs></dd>"));
  EXPECT_EQ(S_FALSE, RefreshTable(u"Config"));
  EXPECT_EQ(-1, ErrNumber());
  EXPECT_EQ(u"Unexpected error.\n", ErrDescription());

  // A dictionary that failed to parse; then none at all.
  EXPECT_EQ(E_INVALIDARG, SetDD("<dd><tabs>"));
  EXPECT_EQ(S_FALSE, RefreshTable(u"Config"));
  EXPECT_EQ(1, ErrNumber());
  EXPECT_EQ(u"Document not parsed successfully. \n", ErrDescription());

  // The database cannot be opened: the COM error, the error state untouched.
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION,
            RefreshTableAt(u"Config", (dir_.path() / "no" / "such.db").u16string()));
  EXPECT_EQ(u"Harbolt.Harbolt.1", details_.source);
  EXPECT_EQ(u"Unexpected error.\n", details_.description);
  EXPECT_EQ(1, ErrNumber());
}

TEST_F(RefreshTableTest, NoActiveDocumentIsAnInvalidDocumentType) {
  ASSERT_EQ(S_FALSE, RefreshTable(u"Config"));
  EXPECT_EQ(-1, ErrNumber());
  EXPECT_EQ(u"CSldToDb::Export():error: invalid docType", ErrDescription());
  EXPECT_TRUE(Tables().empty());
}

TEST_F(RefreshTableTest, WithoutADictionary) {
  Open("Housing.SLDPRT");
  // Disconnect drops the caller's dictionary.
  ASSERT_EQ(S_OK, Call(harbolt_.Get(), u"Disconnect"));
  EXPECT_EQ(S_FALSE, RefreshTable(u"Config"));
  EXPECT_EQ(0, ErrNumber());
  EXPECT_EQ(u"", ErrDescription());
}

}  // namespace
}  // namespace export_test
