// Equations by index: reading, changing, suppressing, deleting and adding,
// with evaluation of the right side.
#include <gtest/gtest.h>

#include "sim/equation_evaluator.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Take;

class EquationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document_ = host_.Open(sim_test::SampleDir() / "Housing.SLDPRT");
    ASSERT_EQ(S_OK, document_->GetEquationManager(equations_.ReleaseAndGetAddressOf()));
  }
  std::vector<std::string> Texts() {
    LONG count = 0;
    equations_->GetCount(&count);
    std::vector<std::string> texts;
    for (LONG i = 0; i < count; ++i) {
      BSTR text = nullptr;
      EXPECT_EQ(S_OK, equations_->GetEquation(i, &text));
      texts.push_back(Take(text));
    }
    return texts;
  }
  double Value(LONG index) {
    double value = 0;
    EXPECT_EQ(S_OK, equations_->GetValue(index, &value));
    return value;
  }
  LONG Add(LONG index, const char16_t* text) {
    ScopedBstr bstr(text);
    LONG added = -2;
    EXPECT_EQ(S_OK, equations_->Add(index, bstr.Get(), VARIANT_TRUE, &added));
    return added;
  }
  double DimensionValue(std::u16string_view name) {
    return FindDimension(*host_.Model(document_.Get()), name)->value;
  }

  SimHost host_;
  ComPtr<IHostModelDoc> document_;
  ComPtr<IHostEquationManager> equations_;
};

TEST_F(EquationsTest, ReadsByIndexAndBadIndicesSaySo) {
  EXPECT_EQ(
      (std::vector<std::string>{"\"Width\" = 120", "\"D1@Sketch1\" = \"Width\"",
                                "\"D1@Boss-Extrude1\" = \"Width\" / 4", "\"D2@Sketch1\" = 80"}),
      Texts());
  EXPECT_DOUBLE_EQ(30, Value(2));
  EXPECT_DOUBLE_EQ(-1, Value(4));
  EXPECT_DOUBLE_EQ(-1, Value(-1));
  VARIANT_BOOL suppressed = VARIANT_FALSE;
  EXPECT_EQ(S_OK, equations_->GetSuppression(3, &suppressed));
  EXPECT_EQ(VARIANT_TRUE, suppressed);
  EXPECT_EQ(E_INVALIDARG, equations_->GetSuppression(4, &suppressed));
  BSTR text = nullptr;
  EXPECT_EQ(E_INVALIDARG, equations_->GetEquation(4, &text));
  EXPECT_EQ(nullptr, text);
}

TEST_F(EquationsTest, ChangingATextEvaluatesItAndDrivesItsDimension) {
  ScopedBstr width(u"\"Width\" = 150");
  EXPECT_EQ(S_OK, equations_->SetEquation(0, width.Get()));
  EXPECT_DOUBLE_EQ(150, Value(0));
  ScopedBstr depth(u"\"D1@Boss-Extrude1\" = (\"Width\" + 10) / 4");
  EXPECT_EQ(S_OK, equations_->SetEquation(2, depth.Get()));
  EXPECT_DOUBLE_EQ(40, Value(2));
  EXPECT_DOUBLE_EQ(40, DimensionValue(u"D1@Boss-Extrude1"));
  // A suppressed equation does not drive its dimension.
  ScopedBstr height(u"\"D2@Sketch1\" = 95");
  EXPECT_EQ(S_OK, equations_->SetEquation(3, height.Get()));
  EXPECT_DOUBLE_EQ(95, Value(3));
  EXPECT_DOUBLE_EQ(80, DimensionValue(u"D2@Sketch1"));
  EXPECT_EQ(S_OK, equations_->SetSuppression(3, VARIANT_FALSE));
  EXPECT_DOUBLE_EQ(95, DimensionValue(u"D2@Sketch1"));
  // Refused: a bad index, no "=", a left side another equation has.
  ScopedBstr noSign(u"Width 3");
  ScopedBstr twice(u"\"Width\" = 1");
  EXPECT_EQ(E_INVALIDARG, equations_->SetEquation(4, width.Get()));
  EXPECT_EQ(E_INVALIDARG, equations_->SetEquation(1, noSign.Get()));
  EXPECT_EQ(E_INVALIDARG, equations_->SetEquation(1, twice.Get()));
  EXPECT_EQ(E_INVALIDARG, equations_->SetSuppression(-1, VARIANT_TRUE));
  // A right side that cannot be evaluated gives 0.
  ScopedBstr unknown(u"\"D1@Sketch1\" = \"Nothing\" * 2");
  EXPECT_EQ(S_OK, equations_->SetEquation(1, unknown.Get()));
  EXPECT_DOUBLE_EQ(0, Value(1));
  EXPECT_TRUE(FindDimension(*host_.Model(document_.Get()), u"D1@Sketch1"));
}

TEST_F(EquationsTest, DeletingByIndexGivesZeroOrMinusOne) {
  LONG result = 7;
  EXPECT_EQ(S_OK, equations_->Delete(4, &result));
  EXPECT_EQ(-1, result);
  EXPECT_EQ(S_OK, equations_->Delete(-1, &result));
  EXPECT_EQ(-1, result);
  EXPECT_EQ(S_OK, equations_->Delete(2, &result));
  EXPECT_EQ(0, result);
  EXPECT_EQ(S_OK, equations_->Delete(0, &result));
  EXPECT_EQ(0, result);
  EXPECT_EQ((std::vector<std::string>{"\"D1@Sketch1\" = \"Width\"", "\"D2@Sketch1\" = 80"}),
            Texts());
}

TEST_F(EquationsTest, AddingInsertsAtTheIndexOrAppends) {
  EXPECT_EQ(4, Add(-1, u"\"Depth\" = \"Width\" / 2"));
  EXPECT_DOUBLE_EQ(60, Value(4));
  EXPECT_EQ(0, Add(0, u"\"Base\" = 2 ^ 3"));
  EXPECT_EQ(6, Add(6, u"\"Last\" = -1.5e1"));
  EXPECT_EQ(
      (std::vector<std::string>{"\"Base\" = 2 ^ 3", "\"Width\" = 120", "\"D1@Sketch1\" = \"Width\"",
                                "\"D1@Boss-Extrude1\" = \"Width\" / 4", "\"D2@Sketch1\" = 80",
                                "\"Depth\" = \"Width\" / 2", "\"Last\" = -1.5e1"}),
      Texts());
  EXPECT_DOUBLE_EQ(8, Value(0));
  EXPECT_DOUBLE_EQ(-15, Value(6));
  // Refused with -1: an existing left side, no "=", an index past the end.
  EXPECT_EQ(-1, Add(-1, u"\"Width\" = 5"));
  EXPECT_EQ(-1, Add(-1, u"no sign"));
  EXPECT_EQ(-1, Add(8, u"\"Other\" = 5"));
  EXPECT_EQ(-1, Add(-2, u"\"Other\" = 5"));
  EXPECT_EQ(7u, Texts().size());
  EXPECT_TRUE(host_.Model(document_.Get())->equations.size() == 7);
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
  EXPECT_FALSE(EvaluateExpression(u"\"B\" + 1", names));
  EXPECT_FALSE(EvaluateExpression(u"1 / 0", none));
  EXPECT_FALSE(EvaluateExpression(u"1 +", none));
  EXPECT_FALSE(EvaluateExpression(u"sin(1)", none));
  EXPECT_FALSE(EvaluateExpression(u"", none));
  EXPECT_EQ(u"D1@Sketch1", EquationLeftName(u"  \"D1@Sketch1\" = 3"));
  EXPECT_EQ(u"Width", EquationLeftName(u"Width=3"));
  EXPECT_EQ(u"", EquationLeftName(u"no sign"));
}

}  // namespace
}  // namespace sim
