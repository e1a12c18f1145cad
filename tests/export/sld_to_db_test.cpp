// The export driver: the table list, the tables and their order per document
// type, the transaction with commit or rollback, the three results, and the
// failures in the order an export meets them.
#include "export/sld_to_db.h"

#include <gtest/gtest.h>

#include "common/catch_pattern.h"
#include "tests/export/export_test_support.h"

namespace export_test {
namespace {

constexpr std::u16string_view kAllTables =
    u"Feature,Dimension,Parameter,Equation,Config,property,Componen";

TEST(HostRevisionTest, CutBeforeTheLastDotOfThreePartsPlusAHundredThousandth) {
  EXPECT_DOUBLE_EQ(20.30001, HostRevisionValue(u"20.3.0"));
  EXPECT_DOUBLE_EQ(20.30001, HostRevisionValue(u"20.3"));
  EXPECT_DOUBLE_EQ(20.00001, HostRevisionValue(u"20"));
  EXPECT_DOUBLE_EQ(18.40001, HostRevisionValue(u"18.4.1"));
  EXPECT_DOUBLE_EQ(1.20001, HostRevisionValue(u"1.2.3.4"));
  EXPECT_DOUBLE_EQ(19.10001, HostRevisionValue(u" 19.1.2"));
  EXPECT_DOUBLE_EQ(21.00001, HostRevisionValue(u"21beta"));
  EXPECT_DOUBLE_EQ(0.00001, HostRevisionValue(u""));
  EXPECT_DOUBLE_EQ(0.00001, HostRevisionValue(u"x20"));
}

class DriverTest : public ExportTest {};

TEST_F(DriverTest, AllTablesOfEveryDocumentType) {
  const std::pair<const char*, std::vector<size_t>> cases[] = {
      {"Housing.SLDPRT", {11, 7, 4, 4, 2, 8, 0}},
      {"Gearbox.SLDASM", {49, 9, 13, 2, 2, 28, 14}},
      {"Gearbox.SLDDRW", {3, 1, 0, 0, 1, 0, 0}},
  };
  for (const auto& [model, counts] : cases) {
    Open(model);
    ASSERT_EQ(S_OK, Export(kAllTables)) << Utf8(errDescription_);
    EXPECT_EQ((Row{"DADU_3_Feature", "DADU_3_Dimension", "DADU_3_Parameter", "DADU_3_Equation",
                   "DADU_3_Config", "DADU_3_property", "DADU_3_Componen"}),
              Tables());
    std::vector<size_t> rows;
    for (const std::string& table : Tables()) rows.push_back(Rows(Utf16(table)).size());
    EXPECT_EQ(counts, rows) << model;
  }
}

TEST_F(DriverTest, RowsAreWrittenInTheFixedOrderOfTheDocumentType) {
  // Operations only one table export calls, in the order of the sequences.
  const char* feature = "IFeature.CreatedBy";
  const char* dimension = "IDimension.FullName";
  const char* parameter = "IConfigurationManager.GetConfigurationParamsCount";
  const char* component = "IComponent2.GetConstrainedStatus";
  const char* equation = "IEquationMgr.GetCount";
  const char* config = "IConfiguration.BOMPartNoSource";
  const char* property = "ICustomPropertyManager.GetAll";
  const std::u16string reversed = u"Componen,property,Config,Equation,Parameter,Dimension,Feature";

  Open("Housing.SLDPRT");
  host_.ClearCalls();
  ASSERT_EQ(S_OK, Export(reversed));
  // Created in list order.
  EXPECT_EQ((Row{"DADU_3_Componen", "DADU_3_property", "DADU_3_Config", "DADU_3_Equation",
                 "DADU_3_Parameter", "DADU_3_Dimension", "DADU_3_Feature"}),
            Tables());
  std::vector<long> order;
  for (const char* operation : {feature, dimension, parameter, equation, config, property}) {
    order.push_back(FirstCall(operation));
  }
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << ::testing::PrintToString(order);
  EXPECT_EQ(-1, FirstCall(component));

  Open("Gearbox.SLDASM");
  host_.ClearCalls();
  ASSERT_EQ(S_OK, Export(reversed));
  order.clear();
  // In an assembly a parameter walk reads component states before the
  // component table: compare where each table's own work starts.
  for (const char* operation : {feature, dimension, "IConfiguration.GetRootComponent3", component,
                                equation, config, property}) {
    order.push_back(FirstCall(operation));
  }
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << ::testing::PrintToString(order);

  Open("Gearbox.SLDDRW");
  host_.ClearCalls();
  ASSERT_EQ(S_OK, Export(reversed));
  order.clear();
  for (const char* operation :
       {feature, dimension, parameter, "IConfiguration.GetRootComponent3", equation, config}) {
    order.push_back(FirstCall(operation));
  }
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << ::testing::PrintToString(order);
  EXPECT_EQ(-1, FirstCall(property));
}

TEST_F(DriverTest, TableListEdgeCases) {
  Open("Housing.SLDPRT");
  // Named twice: created twice, written once.
  ASSERT_EQ(S_OK, Export(u"Config,Config,"));
  EXPECT_EQ((Row{"DADU_3_Config"}), Tables());
  EXPECT_EQ(2u, Rows(u"DADU_3_Config").size());

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
  EXPECT_TRUE(Rows(u"DADU_3_Extra").empty());
  EXPECT_EQ((std::vector<Row>{{"Default"}, {"Heavy"}}),
            Select("select configName from DADU_3_Config order by rowid"));
}

TEST_F(DriverTest, ASecondExportGivesTheSameRows) {
  Open("Gearbox.SLDASM");
  ASSERT_EQ(S_OK, Export(kAllTables));
  std::vector<std::vector<Row>> first;
  for (const std::string& table : Tables()) first.push_back(Rows(Utf16(table)));
  ASSERT_EQ(S_OK, Export(kAllTables));
  std::vector<std::vector<Row>> second;
  for (const std::string& table : Tables()) second.push_back(Rows(Utf16(table)));
  EXPECT_EQ(first, second);
}

TEST_F(DriverTest, FailuresInTheOrderAnExportMeetsThem) {
  Open("Housing.SLDPRT");
  errNumber_ = 77;
  errDescription_ = u"before";

  // The database cannot be opened: an exception, the error fields untouched.
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION,
            ExportWith(u"Feature", (dir_.path() / "missing" / "x.db").u16string()));
  EXPECT_EQ("Unexpected error.\n", ComErrorText());
  EXPECT_EQ(77, errNumber_);
  EXPECT_EQ(u"before", errDescription_);
  // An empty path would open a private temporary database.
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, ExportWith(u"Feature", u""));
  EXPECT_EQ("No database file given.\n", ComErrorText());

  // No dictionary, then one that failed to parse.
  dictionary_.free();
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(0, errNumber_);
  EXPECT_EQ(u"", errDescription_);
  SetDictionary("<dd>");
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(1, errNumber_);
  EXPECT_EQ(u"Document not parsed successfully. \n", errDescription_);
  SetDictionary(testing_support::ReadFile(SampleDir() / "dictionary.xml"));

  // A name without a tab stops before any table of a later name is made,
  // and the earlier tables are rolled back.
  for (const char16_t* list :
       {u"Feature, Dimension", u"Feature,,Dimension", u"Component", u"feature"}) {
    errNumber_ = 0;
    EXPECT_EQ(S_FALSE, Export(list));
    EXPECT_EQ(-1, errNumber_);
    EXPECT_EQ(u"CSldToDb::CreateTable():tabNode is nothing", errDescription_);
    EXPECT_TRUE(Tables().empty()) << Utf8(list);
  }

  // A failing CREATE TABLE (two columns of one name).
  SetDictionary(
      "<dd><tabs><tab name='Feature'><f><fld name='a'/><fld name='a'/></f></tab></tabs></dd>");
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(u"Unexpected error.\n", errDescription_);
  SetDictionary(testing_support::ReadFile(SampleDir() / "dictionary.xml"));

  // A document of no known type; no document at all.
  Model().type = sim::kDocTypeNone;
  EXPECT_EQ(S_FALSE, Export(u"Feature,Config"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(u"CSldToDb::Export():error: invalid docType", errDescription_);
  EXPECT_TRUE(Tables().empty());
  Model().type = sim::kDocTypePart;
  host_.FailCall("IModelDoc2.GetType#1", E_UNEXPECTED);
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(
      u"CSldToDb::Export() error: IModelDoc2.GetType failed (0x8000FFFF): IModelDoc2.GetType "
      u"failed in the simulated host\n",
      errDescription_);
  host_.ClearFaults();
  host_.EmptyCall("ISldWorks.ActiveDoc#1");
  EXPECT_EQ(S_FALSE, Export(u"Feature"));
  EXPECT_EQ(u"CSldToDb::Export():error: invalid docType", errDescription_);
  EXPECT_TRUE(Tables().empty());
  host_.ClearFaults();

  // The host cannot tell its revision: the exporter cannot be made.
  host_.FailCall("ISldWorks.RevisionNumber#1");
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, Export(u"Feature"));
  EXPECT_EQ(
      "ISldWorks.RevisionNumber failed (0x80004005): ISldWorks.RevisionNumber failed in the "
      "simulated host\n",
      ComErrorText());
  host_.ClearFaults();

  // A column the table lacks: the insert fails, everything is rolled back.
  std::string dictionary = testing_support::ReadFile(SampleDir() / "dictionary.xml");
  dictionary.replace(dictionary.find("<fld name=\"visible\" dt=\"1\"/>"), 28, "");
  SetDictionary(dictionary);
  EXPECT_EQ(S_FALSE, Export(u"Config,Feature"));
  EXPECT_EQ(-1, errNumber_);
  EXPECT_EQ(
      u"CSldToDb::ExportFeature() error: SQLITE_ERROR[1]: table DADU_3_Feature has no "
      u"column named visible\n",
      errDescription_);
  EXPECT_TRUE(Tables().empty());
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
