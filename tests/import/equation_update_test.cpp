// The equation step: changed, deleted and added rows applied in three passes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/import/import_test_support.h"

namespace import_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EquationUpdateTest : public ImportTest {
 protected:
  // Housing holds four equations:
  //   0 "Width" = 120
  //   1 "D1@Sketch1" = "Width"
  //   2 "D1@Boss-Extrude1" = "Width" / 4
  //   3 "D2@Sketch1" = 80 (suppressed)
  void SetUp() override {
    OpenSample("Housing.SLDPRT");
    Table("Equation");
  }
  void Equation(int index, const std::u16string& text, int flag, Value suppression = 0) {
    Row("Equation", {{"equIndex", index}, {"equation", text}, {"suppression", suppression}}, flag);
  }
  std::vector<std::u16string> Texts() {
    std::vector<std::u16string> texts;
    for (const sim::EquationModel& equation : Model("Housing.SLDPRT").equations) {
      texts.push_back(equation.text);
    }
    return texts;
  }
};

TEST_F(EquationUpdateTest, ChangedThenDeletedThenAdded) {
  Equation(1, u"\"D1@Sketch1\" = \"Width\" + 10", kChanged, 0);
  Equation(0, u"", kDeleted);
  Equation(17, u"\"Depth\" = 60", kAdded);
  Equation(3, u"\"D2@Sketch1\" = 80", kUnchanged, -1);

  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_THAT(Writes(), ElementsAre("IEquationMgr.put_Equation Housing.SLDPRT(1, \"D1@Sketch1\" = "
                                    "\"Width\" + 10)",
                                    "IEquationMgr.put_Suppression Housing.SLDPRT(1, false)",
                                    "IEquationMgr.Delete Housing.SLDPRT(0)",
                                    "IEquationMgr.Add2 Housing.SLDPRT(3, \"Depth\" = 60, true)"));
  // The count is read before the first pass and again before the added one.
  EXPECT_THAT(Journal("IEquationMgr.GetCount"),
              ElementsAre("IEquationMgr.GetCount Housing.SLDPRT()",
                          "IEquationMgr.GetCount Housing.SLDPRT()"));
  EXPECT_THAT(Texts(), ElementsAre(u"\"D1@Sketch1\" = \"Width\" + 10",
                                   u"\"D1@Boss-Extrude1\" = \"Width\" / 4", u"\"D2@Sketch1\" = 80",
                                   u"\"Depth\" = 60"));
  EXPECT_EQ(77, errNumber);
}

TEST_F(EquationUpdateTest, SuppressionFollowsTheRow) {
  Equation(3, u"\"D2@Sketch1\" = 80", kChanged, 0);
  Equation(2, u"\"D1@Boss-Extrude1\" = \"Width\" / 4", kChanged, -1);
  Equation(0, u"\"Width\" = 120", kChanged, nullptr);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  const std::vector<sim::EquationModel>& equations = Model("Housing.SLDPRT").equations;
  EXPECT_FALSE(equations[3].suppressed);
  EXPECT_TRUE(equations[2].suppressed);
  EXPECT_FALSE(equations[0].suppressed);
  EXPECT_THAT(Journal("IEquationMgr.put_Suppression"),
              ElementsAre("IEquationMgr.put_Suppression Housing.SLDPRT(3, false)",
                          "IEquationMgr.put_Suppression Housing.SLDPRT(2, true)",
                          "IEquationMgr.put_Suppression Housing.SLDPRT(0, false)"));
}

TEST_F(EquationUpdateTest, DeletionsGoLargestIndexFirst) {
  Equation(0, u"", kDeleted);
  Equation(2, u"", kDeleted);
  Equation(1, u"", kDeleted);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_THAT(Writes(), ElementsAre("IEquationMgr.Delete Housing.SLDPRT(2)",
                                    "IEquationMgr.Delete Housing.SLDPRT(1)",
                                    "IEquationMgr.Delete Housing.SLDPRT(0)"));
  EXPECT_THAT(Texts(), ElementsAre(u"\"D2@Sketch1\" = 80"));
}

TEST_F(EquationUpdateTest, TwoRowsDeletingOneEquationDeleteItOnce) {
  // Deleting index 1 twice would take the equation that moved into its
  // place, which no row asked for.
  Equation(1, u"", kDeleted);
  Equation(1, u"", kDeleted);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_THAT(Writes(), ElementsAre("IEquationMgr.Delete Housing.SLDPRT(1)"));
  EXPECT_THAT(Texts(), ElementsAre(u"\"Width\" = 120", u"\"D1@Boss-Extrude1\" = \"Width\" / 4",
                                   u"\"D2@Sketch1\" = 80"));
}

TEST_F(EquationUpdateTest, AddedEquationsGoAfterTheLastInRowOrder) {
  Equation(0, u"\"A\" = 1", kAdded);
  Equation(0, u"\"B\" = \"A\" * 2", kAdded);
  Equation(99, u"\"C\" = 3", kAdded);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_THAT(Writes(), ElementsAre("IEquationMgr.Add2 Housing.SLDPRT(4, \"A\" = 1, true)",
                                    "IEquationMgr.Add2 Housing.SLDPRT(5, \"B\" = \"A\" * "
                                    "2, true)",
                                    "IEquationMgr.Add2 Housing.SLDPRT(6, \"C\" = 3, true)"));
  EXPECT_EQ(7u, Model("Housing.SLDPRT").equations.size());
  EXPECT_EQ(2, Model("Housing.SLDPRT").equations[5].value);
}

TEST_F(EquationUpdateTest, AChangedIndexOutsideTheEquationsFails) {
  for (const Value& index : {Value(4), Value(-1), Value(100)}) {
    Execute(u"delete from 'DADU_3_Equation'");
    Equation(0, u"\"Width\" = 130", kChanged);
    Row("Equation", {{"equIndex", index}, {"equation", u"\"X\" = 1"}}, kChanged);
    Equation(2, u"\"D1@Boss-Extrude1\" = 1", kChanged);
    Equation(3, u"", kDeleted);
    ASSERT_EQ(S_FALSE, Import(u"Equation"));
    EXPECT_EQ(-1, errNumber);
    EXPECT_EQ(u"CDbToSld::UpdateEquation():index cross the border", errDescription);
    EXPECT_THAT(Writes(),
                ElementsAre("IEquationMgr.put_Equation Housing.SLDPRT(0, \"Width\" = 130)",
                            "IEquationMgr.put_Suppression Housing.SLDPRT(0, false)"));
    EXPECT_EQ(u"\"Width\" = 130", Texts()[0]);
    EXPECT_EQ(4u, Texts().size());
    EXPECT_THAT(ImportLog(), ElementsAre("Import in", "delete pDb_", "Import out"));
  }
}

TEST_F(EquationUpdateTest, ANullIndexAddressesTheFirstEquation) {
  Row("Equation", {{"equation", u"\"Width\" = 150"}}, kChanged);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_EQ(u"\"Width\" = 150", Texts()[0]);
  EXPECT_EQ(150, Model("Housing.SLDPRT").equations[0].value);

  Model("Housing.SLDPRT").equations.clear();
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(u"CDbToSld::UpdateEquation():index cross the border", errDescription);
}

TEST_F(EquationUpdateTest, ADeletedIndexOutsideTheEquationsDeletesNothing) {
  Equation(1, u"", kDeleted);
  Equation(4, u"", kDeleted);
  Equation(0, u"\"Late\" = 1", kAdded);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::UpdateEquation():index cross the border", errDescription);
  EXPECT_THAT(Writes(), IsEmpty());
  EXPECT_EQ(4u, Texts().size());
}

TEST_F(EquationUpdateTest, ARefusedDeletionStopsTheStep) {
  // A negative index goes to the host, whose answer decides: the larger
  // indices are already deleted.
  Equation(2, u"", kDeleted);
  Equation(-1, u"", kDeleted);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::UpdateEquation():index cross the border", errDescription);
  EXPECT_THAT(Writes(), ElementsAre("IEquationMgr.Delete Housing.SLDPRT(2)",
                                    "IEquationMgr.Delete Housing.SLDPRT(-1)"));
  EXPECT_EQ(3u, Texts().size());

  FailCall("IEquationMgr.Delete", E_UNEXPECTED);
  Execute(u"delete from 'DADU_3_Equation'");
  Equation(0, u"", kDeleted);
  // A failing call is the host's failure, reported with its code.
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(
      u"CDbToSld::UpdateEquation() error: IEquationMgr.Delete failed (0x8000FFFF): "
      u"IEquationMgr.Delete failed in the simulated host\n",
      errDescription);
  EXPECT_EQ(3u, Texts().size());
}

TEST_F(EquationUpdateTest, AnEquationTheHostRefusesFailsTheStep) {
  // A text without "=" is not an equation: the old one would silently stay.
  Equation(0, u"Width 130", kChanged);
  Equation(1, u"", kDeleted);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateEquation() error: equation 0 not changed to Width 130 "
      u"(hr=0x80070057)\n",
      errDescription);
  EXPECT_EQ(4u, Texts().size());
  EXPECT_EQ(u"\"Width\" = 120", Texts()[0]);

  // An added equation whose left side exists already is not added, and
  // every later one would have gone to a wrong index.
  Execute(u"delete from 'DADU_3_Equation'");
  Equation(0, u"\"New\" = 1", kAdded);
  Equation(0, u"\"Width\" = 5", kAdded);
  Equation(0, u"\"Other\" = 2", kAdded);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(
      u"CDbToSld::UpdateEquation() error: equation 5 not added as \"Width\" = 5 "
      u"(hr=0x00000000)\n",
      errDescription);
  EXPECT_THAT(Texts(), ElementsAre(u"\"Width\" = 120", u"\"D1@Sketch1\" = \"Width\"",
                                   u"\"D1@Boss-Extrude1\" = \"Width\" / 4", u"\"D2@Sketch1\" = 80",
                                   u"\"New\" = 1"));
}

TEST_F(EquationUpdateTest, WithoutFlaggedRowsThreeEmptyPassesChangeNothing) {
  Equation(0, u"\"Width\" = 999", kUnchanged);
  Equation(1, u"\"D1@Sketch1\" = 1", 7);
  ASSERT_EQ(S_OK, Import(u"Equation"));
  EXPECT_THAT(Writes(), IsEmpty());
  EXPECT_EQ(u"\"Width\" = 120", Texts()[0]);
}

TEST_F(EquationUpdateTest, FailuresInsideTheStepAreReportedWithItsName) {
  // A table without one of the selected columns fails the pass's query.
  Execute(u"drop table 'DADU_3_Equation'");
  Table("Equation", {"equIndex Integer", "equation Text"});
  Row("Equation", {{"equIndex", 0}, {"equation", u"\"Width\" = 5"}}, kChanged);
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(-1, errNumber);
  EXPECT_EQ(u"CDbToSld::UpdateEquation():ExecQuery is failed", errDescription);

  // The host handing out no equation manager.
  Execute(u"drop table 'DADU_3_Equation'");
  Table("Equation");
  EmptyCall("IModelDoc2.GetEquationMgr");
  ASSERT_EQ(S_FALSE, Import(u"Equation"));
  EXPECT_EQ(
      u"CDbToSld::UpdateEquation() error: IHostModelDoc::GetEquationManager gave no "
      u"object (hr=0x00000000)\n",
      errDescription);
}

}  // namespace
}  // namespace import_test
