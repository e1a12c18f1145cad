// Equations through IEquationMgr: reading, changing, suppressing, deleting
// and adding by index, with evaluation of the right side, and the status a
// failed call leaves.
#include <gtest/gtest.h>

#include "sim/equation_evaluator.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Arg;
using sim_test::Bool;
using sim_test::ExpectAnswers;
using sim_test::Long;
using sim_test::Text;

class EquationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document_ = host_.Open(sim_test::SampleDir() / "Housing.SLDPRT");
    equations_ = sim_test::Object(document_.Get(), u"GetEquationMgr");
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (LONG i = 0, count = Long(equations_.Get(), u"GetCount"); i < count; ++i) {
      texts.push_back(Text(equations_.Get(), u"Equation", {Arg(i)}));
    }
    return texts;
  }
  LONG Status() { return Long(equations_.Get(), u"Status"); }
  std::string Value(LONG index) {
    return sim_test::AnswerText(*sim_test::Answer(equations_.Get(), u"Value", {Arg(index)}).Get());
  }
  void SetText(LONG index, const char16_t* text) {
    sim_test::Put(equations_.Get(), u"Equation", {Arg(index), Arg(text)});
  }
  double DimensionValue(std::u16string_view name) {
    return FindDimension(*host_.Model(document_.Get()), name)->value;
  }

  SimHost host_;
  ComPtr<IDispatch> document_;
  ComPtr<IDispatch> equations_;
};

TEST_F(EquationsTest, ABadIndexReadsEmptyAndTheStatusSaysItFailed) {
  EXPECT_EQ(
      (std::vector<std::string>{"\"Width\" = 120", "\"D1@Sketch1\" = \"Width\"",
                                "\"D1@Boss-Extrude1\" = \"Width\" / 4", "\"D2@Sketch1\" = 80"}),
      Texts());
  ExpectAnswers({{equations_.Get(), u"Status", {}, "0"},
                 {equations_.Get(), u"Value", {Arg(2)}, "30"},
                 {equations_.Get(), u"Suppression", {Arg(3)}, "-1"}});
  struct Case {
    const char16_t* member;
    LONG index;
    VARTYPE type;
    const char* answer;
  } bad[] = {{u"Equation", 4, VT_BSTR, ""},
             {u"Equation", -1, VT_BSTR, ""},
             {u"Suppression", 4, VT_BOOL, "0"},
             {u"Value", 9, VT_R8, "-1"}};
  for (const Case& c : bad) {
    SCOPED_TRACE(sim_test::Utf8(c.member));
    ScopedVariant answer = sim_test::Answer(equations_.Get(), c.member, {Arg(c.index)});
    EXPECT_EQ(-1, Status());
    EXPECT_EQ(c.type, answer.Type());
    EXPECT_EQ(c.answer, sim_test::AnswerText(*answer.Get()));
  }
  // The next call that works says so.
  EXPECT_EQ(4, Long(equations_.Get(), u"GetCount"));
  EXPECT_EQ(0, Status());
}

TEST_F(EquationsTest, ChangingATextEvaluatesItAndDrivesItsDimension) {
  SetText(0, u"\"Width\" = 150");
  EXPECT_EQ("150", Value(0));
  SetText(2, u"\"D1@Boss-Extrude1\" = (\"Width\" + 10) / 4");
  EXPECT_EQ(0, Status());
  EXPECT_DOUBLE_EQ(40, DimensionValue(u"D1@Boss-Extrude1"));
  // A suppressed equation does not drive its dimension.
  SetText(3, u"\"D2@Sketch1\" = 95");
  EXPECT_EQ("95", Value(3));
  EXPECT_DOUBLE_EQ(80, DimensionValue(u"D2@Sketch1"));
  sim_test::Put(equations_.Get(), u"Suppression", {Arg(3), Arg(0)});
  EXPECT_DOUBLE_EQ(95, DimensionValue(u"D2@Sketch1"));
  // Refused, nothing changed: a bad index, no "=", a left side another
  // equation has.
  std::vector<std::string> before = Texts();
  for (auto [index, text] : {std::pair<LONG, const char16_t*>{4, u"\"X\" = 1"},
                             {1, u"Width 3"},
                             {1, u"\"Width\" = 1"}}) {
    SetText(index, text);
    EXPECT_EQ(-1, Status()) << sim_test::Utf8(text);
  }
  sim_test::Put(equations_.Get(), u"Suppression", {Arg(-1), Arg(-1)});
  EXPECT_EQ(-1, Status());
  EXPECT_EQ(before, Texts());
  // A right side that cannot be evaluated gives 0.
  SetText(1, u"\"D1@Sketch1\" = \"Nothing\" * 2");
  EXPECT_EQ("0", Value(1));
}

TEST_F(EquationsTest, DeletingAndAddingByIndex) {
  EXPECT_EQ(-1, Long(equations_.Get(), u"Delete", {Arg(4)}));
  EXPECT_EQ(-1, Status());
  EXPECT_EQ(0, Long(equations_.Get(), u"Delete", {Arg(2)}));
  EXPECT_EQ(0, Long(equations_.Get(), u"Delete", {Arg(0)}));
  EXPECT_EQ((std::vector<std::string>{"\"D1@Sketch1\" = \"Width\"", "\"D2@Sketch1\" = 80"}),
            Texts());
  auto add = [&](LONG index, const char16_t* text) {
    return Long(equations_.Get(), u"Add2", {Arg(index), Arg(text), Arg(-1)});
  };
  EXPECT_EQ(2, add(-1, u"\"Depth\" = 2 ^ 3"));
  EXPECT_EQ(0, add(0, u"\"Base\" = -1.5e1"));
  EXPECT_EQ("8", Value(3));
  EXPECT_EQ("-15", Value(0));
  // Refused with -1: an existing left side, no "=", an index past the end.
  for (auto [index, text] : {std::pair<LONG, const char16_t*>{-1, u"\"Depth\" = 5"},
                             {-1, u"no sign"},
                             {5, u"\"Other\" = 5"},
                             {-2, u"\"Other\" = 5"}}) {
    EXPECT_EQ(-1, add(index, text));
    EXPECT_EQ(-1, Status());
  }
  EXPECT_EQ(4u, host_.Model(document_.Get())->equations.size());
}

TEST(EquationEvaluatorTest, EvaluatesArithmeticAndNames) {
  auto none = [](std::u16string_view) -> std::optional<double> { return std::nullopt; };
  auto names = [](std::u16string_view name) -> std::optional<double> {
    if (name == u"A") return 4.0;
    return std::nullopt;
  };
  EXPECT_EQ(7.0, EvaluateExpression(u" 1 + 2 * 3 ", none));
  EXPECT_EQ(9.0, EvaluateExpression(u"(1 + 2) * 3", none));
  EXPECT_EQ(512.0, EvaluateExpression(u"2 ^ 3 ^ 2", none));
  EXPECT_EQ(-2.0, EvaluateExpression(u"-\"A\" / 2", names));
  EXPECT_EQ(0.25, EvaluateExpression(u"2.5e-1", none));
  for (const char16_t* bad : {u"\"B\" + 1", u"1 / 0", u"1 +", u"sin(1)", u""}) {
    EXPECT_FALSE(EvaluateExpression(bad, names)) << sim_test::Utf8(bad);
  }
  EXPECT_EQ(u"D1@Sketch1", EquationLeftName(u"  \"D1@Sketch1\" = 3"));
  EXPECT_EQ(u"Width", EquationLeftName(u"Width=3"));
  EXPECT_EQ(u"", EquationLeftName(u"no sign"));
}

}  // namespace
}  // namespace sim
