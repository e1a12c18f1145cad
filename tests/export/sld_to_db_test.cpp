// The export driver: tables per document type, the table list, the revision, host failures.
#include "export/sld_to_db.h"

#include <gtest/gtest.h>

#include "common/catch_pattern.h"
#include "platform/format.h"
#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

constexpr std::u16string_view kAllTables =
    u"Feature,Dimension,Parameter,Equation,Config,property,Componen";

TEST(HostRevisionTest, CutBeforeTheLastDotOfThreePartsPlusAHundredThousandth) {
  const std::pair<const char16_t*, double> cases[] = {
      {u"20.3.0", 20.30001}, {u"20.3", 20.30001},   {u"20", 20.00001},
      {u"18.4.1", 18.40001}, {u"1.2.3.4", 1.20001}, {u" 19.1.2", 19.10001},
      {u"21beta", 21.00001}, {u"", 0.00001},        {u"x20", 0.00001}};
  for (const auto& [text, value] : cases) {
    EXPECT_DOUBLE_EQ(value, HostRevisionValue(text)) << Utf8(text);
  }
}

class DriverTest : public ExportTest {};

TEST_F(DriverTest, AllTablesOfEveryDocumentTypeTwiceTheSame) {
  const std::pair<const char*, std::vector<size_t>> cases[] = {
      {"Housing.SLDPRT", {11, 7, 4, 4, 2, 8, 0}},
      {"Gearbox.SLDASM", {49, 9, 13, 2, 2, 28, 14}},
      {"Gearbox.SLDDRW", {3, 1, 0, 0, 1, 0, 0}},
  };
  for (const auto& [model, counts] : cases) {
    Open(model);
    std::vector<Row> exports[2];
    for (auto& rows : exports) {
      ASSERT_EQ(S_OK, Export(kAllTables)) << Utf8(errDescription_);
      EXPECT_EQ((Row{"DADU_3_Feature", "DADU_3_Dimension", "DADU_3_Parameter", "DADU_3_Equation",
                     "DADU_3_Config", "DADU_3_property", "DADU_3_Componen"}),
                Tables());
      for (const std::string& table : Tables()) rows.push_back(Lines(table));
    }
    std::vector<size_t> sizes;
    for (const auto& rows : exports[0]) sizes.push_back(rows.size());
    EXPECT_EQ(counts, sizes) << model;
    EXPECT_EQ(exports[0], exports[1]) << model;
  }
}

TEST_F(DriverTest, TableListEdgeCases) {
  Open("Housing.SLDPRT");
  // Named twice: created twice, written once.
  ASSERT_EQ(S_OK, Export(u"Config,Config,"));
  EXPECT_EQ((Row{"DADU_3_Config"}), Tables());
  EXPECT_EQ(2u, Lines("DADU_3_Config").size());
  // An empty list: an empty transaction on a fresh file.
  ASSERT_EQ(S_OK, Export(u""));
  EXPECT_TRUE(Tables().empty());
  EXPECT_TRUE(std::filesystem::exists(db_));
  // A table the dictionary knows but no sequence writes is created empty.
  std::string dictionary = testing_support::ReadFile(SampleDir() / "dictionary.xml");
  dictionary.insert(dictionary.find("</tabs>"), "<tab name='Extra'><f><fld name='x'/></f></tab>");
  SetDictionary(dictionary);
  ASSERT_EQ(S_OK, Export(u"Extra,Config"));
  EXPECT_EQ((Row{"DADU_3_Extra", "DADU_3_Config"}), Tables());
  EXPECT_TRUE(Lines("DADU_3_Extra").empty());
  EXPECT_EQ((std::vector<Row>{{"Default"}, {"Heavy"}}),
            Select("select configName from DADU_3_Config order by rowid"));
}

// A host call failing (hr) or answering nothing (S_OK): S_FALSE, errNumber -1, the exact
// text and nothing committed.
TEST_F(DriverTest, HostFailuresEndTheExportWithTheOperationsText) {
  struct Case {
    const char* sample;
    const char16_t* tables;
    const char* call;
    HRESULT hr;
    const char16_t* where;  // the text's start; the whole text when nothing is answered
  };
  const Case cases[] = {
      {"Housing.SLDPRT", u"Feature", "IModelDoc2.GetType#1", E_UNEXPECTED, u"CSldToDb::Export()"},
      {"Housing.SLDPRT", u"Feature", "ISldWorks.ActiveDoc#2", S_OK,
       u"CSldToDb::GetFeatures() error: error: invalid docType\n"},
      {"Housing.SLDPRT", u"Dimension", "IFeature.GetNextDisplayDimension#1", E_INVALIDARG,
       u"CSldToDb::ExportDimension()"},
      {"Housing.SLDPRT", u"Equation", "IModelDoc2.GetEquationMgr", S_OK,
       u"CSldToDb::ExportEquation() error: IHostEquationManager::GetCount: no object\n"},
      // A parent the host cannot report is no top-level configuration.
      {"Housing.SLDPRT", u"Config", "IConfiguration.GetParent#2", E_FAIL,
       u"CSldToDb::ExportConfig()"},
      // The document's own properties, after those of its two configurations.
      {"Housing.SLDPRT", u"property", "ICustomPropertyManager.GetAll#3", E_FAIL,
       u"CSldToDb::getModelProperty()"},
      {"Housing.SLDPRT", u"property", "ISldWorks.ActiveDoc#2", S_OK,
       u"CSldToDb::ExportProperty() error: error: invalid docType\n"},
      {"Gearbox.SLDASM", u"Parameter", "IComponent2.GetModelDoc2#3", E_FAIL,
       u"CSldToDb::ExportAsmParameter()"},
  };
  std::string open;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    if (open != c.sample) Open(open = c.sample);
    host_.ClearFaults();
    std::u16string expected = c.where;
    if (c.hr == S_OK) {
      host_.EmptyCall(c.call);
    } else {
      host_.FailCall(c.call, c.hr);
      const std::u16string op = Utf16(std::string(c.call).substr(0, std::string(c.call).find('#')));
      expected += u" error: " + op +
                  platform::FormatWide(platform::kUnlimited, u" failed (0x%08X): ",
                                       static_cast<unsigned>(c.hr)) +
                  op + u" failed in the simulated host\n";
    }
    errNumber_ = 0;
    EXPECT_EQ(S_FALSE, Export(c.tables));
    EXPECT_EQ(-1, errNumber_);
    EXPECT_EQ(expected, errDescription_);
    EXPECT_TRUE(Tables().empty());
  }
}

TEST_F(DriverTest, FailuresBeforeAnyTable) {
  Open("Housing.SLDPRT");
  errNumber_ = 77;
  errDescription_ = u"before";
  // An empty path (a private temporary database): an exception, the error fields untouched.
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, ExportWith(u"Feature", u""));
  EXPECT_EQ("No database file given.\n", ComErrorText());
  EXPECT_EQ(77, errNumber_);
  EXPECT_EQ(u"before", errDescription_);
  Model().type = sim::kDocTypeNone;
  EXPECT_EQ(S_FALSE, Export(u"Feature,Config"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(u"CSldToDb::Export():error: invalid docType", errDescription_);
  EXPECT_TRUE(Tables().empty());
  Model().type = sim::kDocTypePart;
  // The host cannot tell its revision: the exporter cannot be made.
  host_.FailCall("ISldWorks.RevisionNumber#1");
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, Export(u"Feature"));
  EXPECT_EQ(
      "ISldWorks.RevisionNumber failed (0x80004005): ISldWorks.RevisionNumber failed in the "
      "simulated host\n",
      ComErrorText());
}

TEST_F(DriverTest, NullArgumentsReadAsEmptyTexts) {
  Open("Housing.SLDPRT");
  ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
  ScopedBstr path(db_.u16string());
  EXPECT_EQ(S_OK, RefreshTables(application.Get(), dictionary_, workDir_, nullptr, path.Get(),
                                u"Harbolt.Harbolt.1", errNumber_, errDescription_));
  EXPECT_TRUE(Tables().empty());
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION,
            RefreshTables(application.Get(), dictionary_, workDir_, nullptr, nullptr,
                          u"Harbolt.Harbolt.1", errNumber_, errDescription_));
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION,
            RefreshTables(nullptr, dictionary_, workDir_, nullptr, path.Get(), u"Harbolt.Harbolt.1",
                          errNumber_, errDescription_));
  EXPECT_EQ("IHostApplication::RevisionNumber: no object\n", ComErrorText());
}

}  // namespace
}  // namespace export_test
