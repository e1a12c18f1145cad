// The export through the loaded add-in module: SetDD, SetWorkDir, RefreshTable, the errors.
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
  EXPECT_EQ((Row{"Default|NULL||0|1||Full gearbox|0|0|0", "Compact|Default||0|1||紧凑型|0|0|0"}),
            Lines("DADU_3_Config"));
  EXPECT_EQ("BM", testing_support::ReadFile(dir_.path() / "work" / "Bearing.bmp").substr(0, 2));
  EXPECT_EQ((Row{"0"}), Lines("select count(*) from DADU_3_property where DADU_flag<>0"));
}

TEST_F(RefreshTableTest, FailuresReportTheirNumbersAndTexts) {
  // Each failure: the result, errNumber, errDescription, and nothing stays.
  const auto expect = [&](std::u16string_view tables, LONG number, std::u16string_view text) {
    EXPECT_EQ(S_FALSE, RefreshTable(tables));
    EXPECT_EQ(number, ErrNumber());
    EXPECT_EQ(text, ErrDescription());
    EXPECT_TRUE(Tables().empty());
  };
  expect(u"Config", -1, u"CSldToDb::Export():error: invalid docType");  // no document
  Open("Housing.SLDPRT");
  // Disconnect drops the caller's dictionary: a failure without a message.
  ASSERT_EQ(S_OK, Call(harbolt_.Get(), u"Disconnect"));
  expect(u"Config", 0, u"");
  ASSERT_EQ(S_OK, SetDD(testing_support::ReadFile(SampleDir() / "dictionary.xml")));
  expect(u"Feature,Component", -1, u"CSldToDb::CreateTable():tabNode is nothing");
  // A failing insert: the table lacks a column the export writes.
  ASSERT_EQ(S_OK, SetDD("<dd><tabs><tab name='Config'><f><fld name='configName'/></f></tab>"
                        "</tabs></dd>"));
  expect(u"Config", -1,
         u"CSldToDb::ExportConfig() error: SQLITE_ERROR[1]: table DADU_3_Config has no column "
         u"named alternateName\n");
  ASSERT_EQ(S_OK, SetDD("<dd><tabs><tab name='Config'><f><fld name='a'/><fld name='a'/></f>"
                        "</tab></tabs></dd>"));
  expect(u"Config", -1, u"Unexpected error.\n");  // a failing CREATE TABLE
  EXPECT_EQ(E_INVALIDARG, SetDD("<dd><tabs>"));
  expect(u"Config", 1, u"Document not parsed successfully. \n");
  // The database cannot be opened: the COM error, the error state untouched.
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION,
            RefreshTableAt(u"Config", (dir_.path() / "no" / "such.db").u16string()));
  EXPECT_EQ(u"Harbolt.Harbolt.1", details_.source);
  EXPECT_EQ(u"Unexpected error.\n", details_.description);
  EXPECT_EQ(1, ErrNumber());
}

}  // namespace
}  // namespace export_test
