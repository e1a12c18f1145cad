// The parameter step: every row not flagged deleted, handed to the host one
// configuration at a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ParameterUpdateTest : public ImportTest {
 protected:
  void SetUp() override { Tables(); }
  void Parameter(Value configuration, const std::u16string& name, const std::u16string& value,
                 int flag, const std::u16string& component = u"Housing.SLDPRT") {
    Row("Parameter",
        {{"configName", configuration},
         {"compName", component},
         {"paramName", name},
         {"paramValue", value}},
        flag);
  }
  std::vector<std::pair<std::u16string, std::u16string>> Parameters(const std::string& file,
                                                                    size_t configuration) {
    std::vector<std::pair<std::u16string, std::u16string>> parameters;
    for (const sim::ParameterModel& parameter :
         Model(file).configurations[configuration].parameters) {
      parameters.emplace_back(parameter.name, parameter.value);
    }
    return parameters;
  }
  using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;
  // The models and configurations the parameters were handed to, in order:
  // "Housing.SLDPRT(Heavy, array, array)".
  std::vector<std::string> Handed() const {
    std::vector<std::string> handed;
    for (const std::string& call : Journal("IConfigurationManager.SetConfigurationParams")) {
      handed.push_back(call.substr(call.find(' ') + 1));
    }
    return handed;
  }
};

TEST_F(ParameterUpdateTest, OneCallPerConfigurationInNameOrder) {
  OpenSample("Housing.SLDPRT");
  Parameter(u"Heavy", u"D1@Boss-Extrude1", u"50.0mm", kChanged);
  Parameter(u"Default", u"D1@Boss-Extrude1", u"32.0mm", kUnchanged);
  Parameter(u"Heavy", u"$STATE@Chamfer1", u"S", kAdded);
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  EXPECT_THAT(Handed(), ElementsAre("Housing.SLDPRT(Default, array, array)",
                                    "Housing.SLDPRT(Heavy, array, array)"));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 0),
            (Pairs{{u"D1@Boss-Extrude1", u"32.0mm"}, {u"$STATE@Chamfer1", u"S"}}));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 1),
            (Pairs{{u"D1@Boss-Extrude1", u"50.0mm"}, {u"$STATE@Chamfer1", u"S"}}));
}

TEST_F(ParameterUpdateTest, DeletedRowsAreLeftOut) {
  OpenSample("Housing.SLDPRT");
  Parameter(u"Heavy", u"D1@Boss-Extrude1", u"46.0mm", kChanged);
  Parameter(u"Heavy", u"$STATE@Chamfer1", u"S", kDeleted);
  Parameter(u"Default", u"D1@Boss-Extrude1", u"1.0mm", kDeleted);
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  EXPECT_THAT(Handed(), ElementsAre("Housing.SLDPRT(Heavy, array, array)"));
  // Nothing is removed from the model, and the deleted row's value is not
  // taken.
  EXPECT_EQ(Parameters("Housing.SLDPRT", 1),
            (Pairs{{u"D1@Boss-Extrude1", u"46.0mm"}, {u"$STATE@Chamfer1", u"U"}}));
}

// Rows without a configuration name form a group of their own, which names
// no configuration of the host: it is not handed over.
TEST_F(ParameterUpdateTest, RowsWithoutConfigurationNameReachNoConfiguration) {
  OpenSample("Housing.SLDPRT");
  Parameter(u"Default", u"A", u"1", kChanged);
  Parameter(nullptr, u"B", u"2", kChanged);
  Parameter(u"", u"C", u"3", kChanged);
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  EXPECT_THAT(Handed(), ElementsAre("Housing.SLDPRT(Default, array, array)"));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 0),
            (Pairs{{u"D1@Boss-Extrude1", u"30.0mm"}, {u"$STATE@Chamfer1", u"S"}, {u"A", u"1"}}));
  EXPECT_EQ(2u, Model("Housing.SLDPRT").configurations.size());
}

TEST_F(ParameterUpdateTest, WithoutRowsTheHostIsNotAsked) {
  OpenSample("Housing.SLDPRT");
  Parameter(u"Default", u"A", u"1", kDeleted);
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  EXPECT_THAT(Journal(), ElementsAre("ISldWorks.ActiveDoc application()",
                                     "IModelDoc2.GetType Housing.SLDPRT()"));
}

TEST_F(ParameterUpdateTest, ConfigAndParameterTogetherKeepTheirOwnConditions) {
  OpenSample("Housing.SLDPRT");
  Row("Config", {{"configName", u"Heavy"}, {"comment", u"c"}, {"bomPartNoSrc", 2}}, kChanged);
  Parameter(u"Default", u"X", u"0", kUnchanged);
  Parameter(u"Default", u"Y", u"1", kAdded);
  ASSERT_EQ(S_OK, Import(u"Parameter,Config"));
  EXPECT_THAT(Handed(), ElementsAre("Housing.SLDPRT(Default, array, array)"));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 0), (Pairs{{u"D1@Boss-Extrude1", u"30.0mm"},
                                                    {u"$STATE@Chamfer1", u"S"},
                                                    {u"X", u"0"},
                                                    {u"Y", u"1"}}));
  EXPECT_EQ(u"c", Model("Housing.SLDPRT").configurations[1].comment);
}

TEST_F(ParameterUpdateTest, AStatementThatFailsReportsSqliteCodeAndMessage) {
  OpenSample("Housing.SLDPRT");
  Execute(u"drop table 'DADU_3_Parameter'");
  Table("Parameter", {"configName Text", "paramName Text"});
  ASSERT_EQ(S_FALSE, Import(u"Parameter"));
  EXPECT_EQ(1, errNumber);
  EXPECT_EQ(u"SQLITE_ERROR[1]: no such column: paramValue", errDescription);
  EXPECT_THAT(ImportLog(),
              ElementsAre("Import in",
                          "D: exec sql [select configName,paramName,paramValue from "
                          "'DADU_3_Parameter' where DADU_flag != 3 order by configName] error: "
                          "SQLITE_ERROR[1]: no such column: paramValue ",
                          "", "delete pDb_", "Import out"));
}

TEST_F(ParameterUpdateTest, AHostFailureInsideTheStepIsReportedWithItsName) {
  OpenSample("Housing.SLDPRT");
  Parameter(u"Default", u"A", u"1", kChanged);
  FailCall("IModelDoc2.ConfigurationManager", E_UNEXPECTED);
  ASSERT_EQ(S_FALSE, Import(u"Parameter"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateParameter() error: IModelDoc2.ConfigurationManager failed (0x8000FFFF): "
      u"IModelDoc2.ConfigurationManager failed in the simulated host\n",
      errDescription);
}

// An assembly's parameter rows come from the models of its components (and
// the assembly's own from its root, whose name is empty): each goes back to
// the model it came from. Handing them all to the assembly would write the
// parts' parameters into it and create configurations there.
TEST_F(ParameterUpdateTest, AnAssemblysRowsGoBackToTheirModels) {
  OpenSample("Gearbox.SLDASM");
  Parameter(u"Default", u"$STATE@Shaft-2", u"S", kChanged, u"");
  Parameter(u"Default", u"D1@Boss-Extrude1", u"33.0mm", kChanged, u"Housing-1");
  Parameter(u"Long", u"D1@Sketch1", u"210.0mm", kChanged, u"Shaft-1");
  Parameter(u"Short", u"D1@Sketch1", u"120.0mm", kUnchanged, u"Shaft-1");
  Parameter(u"Default", u"$STATE@Bearing-2", u"S", kChanged, u"BearingSet-1");
  Parameter(u"Default", u"D1@Sketch1", u"53.0mm", kChanged, u"BearingSet-1/Bearing-2");
  Parameter(u"Default", u"D1@Sketch1", u"1.0mm", kDeleted, u"BearingSet-1/Bearing-1");
  Parameter(u"Default", u"Nowhere", u"x", kChanged, u"Missing-1");

  ASSERT_EQ(S_OK, Import(u"Parameter"));
  // Short's D1@Sketch1 holds 120.0mm already: nothing to hand over.
  EXPECT_THAT(
      Handed(),
      ElementsAre("Gearbox.SLDASM(Default, array, array)", "Housing.SLDPRT(Default, array, array)",
                  "Shaft.SLDPRT(Long, array, array)", "BearingSet.SLDASM(Default, array, array)",
                  "Bearing.SLDPRT(Default, array, array)"));
  EXPECT_EQ(2u, Model("Gearbox.SLDASM").configurations.size());
  EXPECT_EQ(Parameters("Gearbox.SLDASM", 0), (Pairs{{u"$STATE@Shaft-2", u"S"}}));
  EXPECT_EQ(Parameters("Housing.SLDPRT", 0),
            (Pairs{{u"D1@Boss-Extrude1", u"33.0mm"}, {u"$STATE@Chamfer1", u"S"}}));
  EXPECT_EQ(Parameters("Shaft.SLDPRT", 0), (Pairs{{u"D1@Sketch1", u"210.0mm"}}));
  EXPECT_EQ(Parameters("BearingSet.SLDASM", 0), (Pairs{{u"$STATE@Bearing-2", u"S"}}));
  EXPECT_EQ(Parameters("Bearing.SLDPRT", 0), (Pairs{{u"D1@Sketch1", u"53.0mm"}}));
}

// Shaft-1 and Shaft-2 are two instances of one model, each with its rows: an
// unchanged row of one must not undo the change the caller made through the
// other, whichever is visited last.
TEST_F(ParameterUpdateTest, AChangeThroughOneInstanceIsNotUndoneByAnother) {
  OpenSample("Gearbox.SLDASM");
  Parameter(u"Long", u"D1@Sketch1", u"200.0mm", kUnchanged, u"Shaft-1");
  Parameter(u"Short", u"D1@Sketch1", u"125.0mm", kChanged, u"Shaft-1");
  Parameter(u"Long", u"D1@Sketch1", u"200.0mm", kUnchanged, u"Shaft-2");
  Parameter(u"Short", u"D1@Sketch1", u"120.0mm", kUnchanged, u"Shaft-2");
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  // Only the changed value differs from the model's: the only one handed.
  EXPECT_THAT(Handed(), ElementsAre("Shaft.SLDPRT(Short, array, array)"));
  EXPECT_EQ(Parameters("Shaft.SLDPRT", 1), (Pairs{{u"D1@Sketch1", u"125.0mm"}}));

  // The change made through the instance visited last.
  Execute(u"delete from 'DADU_3_Parameter'");
  Parameter(u"Short", u"D1@Sketch1", u"125.0mm", kUnchanged, u"Shaft-1");
  Parameter(u"Short", u"D1@Sketch1", u"130.0mm", kChanged, u"Shaft-2");
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  EXPECT_EQ(Parameters("Shaft.SLDPRT", 1), (Pairs{{u"D1@Sketch1", u"130.0mm"}}));
}

TEST_F(ParameterUpdateTest, ComponentsThatAreNotLoadedArePassedOver) {
  OpenSample("Gearbox.SLDASM");
  // Shaft-2 is suppressed in both configurations now, BearingSet-1 is
  // lightweight in Compact and suppressed in Default.
  Model("Gearbox.SLDASM").configurations[0].components[2].state = kComponentSuppressed;
  Model("Gearbox.SLDASM").configurations[0].components[3].state = kComponentSuppressed;
  Parameter(u"Short", u"D1@Sketch1", u"99.0mm", kChanged, u"Shaft-2");
  Parameter(u"Default", u"D1@Sketch1", u"99.0mm", kChanged, u"BearingSet-1/Bearing-1");
  ASSERT_EQ(S_OK, Import(u"Parameter"));
  EXPECT_THAT(Handed(), IsEmpty());
  EXPECT_EQ(Parameters("Shaft.SLDPRT", 1), (Pairs{{u"D1@Sketch1", u"120.0mm"}}));
}

}  // namespace
}  // namespace import_test
