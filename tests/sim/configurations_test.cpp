// Configurations through IConfiguration and the configuration parameters
// through IConfigurationManager.
#include <gtest/gtest.h>

#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::AnswerText;
using sim_test::Arg;
using sim_test::ExpectAnswers;
using sim_test::Object;
using sim_test::Put;
using Lists = AnswerStyle::Lists;

// A list of texts in a VARIANT, as a typed array or one of VARIANTs.
ScopedVariant TextList(const std::vector<std::u16string>& texts, Lists form = Lists::kTyped) {
  ScopedVariant list;
  WriteValue(list.Get(), texts, AnswerStyle{form});
  return list;
}

class ConfigurationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document_ = host_.Open(sim_test::SampleDir() / "Housing.SLDPRT");
    manager_ = Object(document_.Get(), u"ConfigurationManager");
  }
  ComPtr<IDispatch> Configuration(const char16_t* name) {
    return Object(document_.Get(), u"GetConfigurationByName", {Arg(name)});
  }
  // The answer, the count, the names and the values of a configuration's
  // parameters: "-1 2 [D1, D2] [1mm, 2mm]".
  std::string Parameters(const char16_t* configuration) {
    ScopedVariant names(LONG{1});
    ScopedVariant values(LONG{1});
    ScopedVariant done = sim_test::Answer(
        manager_.Get(), u"GetConfigurationParams",
        {Arg(configuration), Arg::VariantRef(names.Get()), Arg::VariantRef(values.Get())});
    return AnswerText(*done.Get()) + " " +
           AnswerText(*sim_test::Answer(manager_.Get(), u"GetConfigurationParamsCount",
                                        {Arg(configuration)})
                           .Get()) +
           " " + AnswerText(*names.Get()) + " " + AnswerText(*values.Get());
  }
  bool Set(const char16_t* configuration, ScopedVariant names, ScopedVariant values) {
    return sim_test::Bool(
        manager_.Get(), u"SetConfigurationParams",
        {Arg(configuration), Arg::VariantRef(names.Get()), Arg::VariantRef(values.Get())});
  }

  SimHost host_;
  ComPtr<IDispatch> document_;
  ComPtr<IDispatch> manager_;
};

TEST_F(ConfigurationsTest, ConfigurationsAreFoundByNameAndTheirFieldsReadAndWrite) {
  ComPtr<IDispatch> heavy = Configuration(u"Heavy");
  ExpectAnswers({{document_.Get(), u"GetConfigurationCount", {}, "2"},
                 {document_.Get(), u"GetConfigurationNames", {}, "[Default, Heavy]"},
                 {document_.Get(), u"GetConfigurationByName", {Arg(u"Light")}, "null"},
                 {document_.Get(), u"GetConfigurationByName", {Arg(u"")}, "null"},
                 {Object(manager_.Get(), u"ActiveConfiguration").Get(), u"Name", {}, "Default"},
                 {Object(heavy.Get(), u"GetParent").Get(), u"Name", {}, "Default"},
                 {Configuration(u"Default").Get(), u"GetParent", {}, "null"},
                 {Object(heavy.Get(), u"CustomPropertyManager").Get(), u"Count", {}, "2"},
                 {heavy.Get(), u"AlternateName", {}, "HSG-H"},
                 {heavy.Get(), u"Description", {}, "加厚型"},
                 {heavy.Get(), u"Comment", {}, "Thicker walls"},
                 {heavy.Get(), u"Type", {}, "1"},
                 {heavy.Get(), u"BOMPartNoSource", {}, "8"},
                 {heavy.Get(), u"Lock", {}, "-1"},
                 {heavy.Get(), u"UseAlternateNameInBOM", {}, "-1"}});
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
            sim_test::Invoke(heavy.Get(), u"Type", DISPATCH_PROPERTYPUT, {Arg(2)}).hr);
  Put(heavy.Get(), u"Comment", {Arg(u"新注释")});
  Put(heavy.Get(), u"Description", {Arg(u"描述")});
  Put(heavy.Get(), u"Lock", {Arg(0)});
  Put(heavy.Get(), u"UseAlternateNameInBOM", {Arg(0)});
  const ConfigurationModel& model = host_.Model(document_.Get())->configurations[1];
  EXPECT_EQ(u"新注释", model.comment);
  EXPECT_EQ(u"描述", model.description);
  EXPECT_FALSE(model.locked || model.useAlternateNameInBom);
}

TEST_F(ConfigurationsTest, TheAlternateNameGoesWithAUserSpecifiedPartNumber) {
  ComPtr<IDispatch> heavy = Configuration(u"Heavy");
  Put(heavy.Get(), u"BOMPartNoSource", {Arg(3)});  // no source: ignored
  ExpectAnswers({{heavy.Get(), u"AlternateName", {}, "HSG-H"}});
  Put(heavy.Get(), u"BOMPartNoSource", {Arg(kBomPartNumberConfigurationName)});
  ExpectAnswers(
      {{heavy.Get(), u"BOMPartNoSource", {}, "2"}, {heavy.Get(), u"AlternateName", {}, ""}});
  EXPECT_EQ(u"", host_.Model(document_.Get())->configurations[1].alternateName);
  // Kept whatever the source, shown only when user specified.
  Put(heavy.Get(), u"AlternateName", {Arg(u"HSG-X")});
  ExpectAnswers({{heavy.Get(), u"AlternateName", {}, ""}});
  Put(heavy.Get(), u"BOMPartNoSource", {Arg(kBomPartNumberUserSpecified)});
  ExpectAnswers({{heavy.Get(), u"AlternateName", {}, "HSG-X"}});
}

TEST_F(ConfigurationsTest, ParametersAreReadChangedAddedAndMadeWithTheirConfiguration) {
  EXPECT_EQ("-1 2 [D1@Boss-Extrude1, $STATE@Chamfer1] [30.0mm, S]", Parameters(u"Default"));
  EXPECT_EQ("-1 2 [D1@Boss-Extrude1, $STATE@Chamfer1] [45.0mm, U]", Parameters(u"Heavy"));
  EXPECT_EQ("0 0 empty empty", Parameters(u"Light"));
  EXPECT_TRUE(Set(u"Default", TextList({u"$STATE@Chamfer1", u"D9@Sketch1"}),
                  TextList({u"U", u"5mm"}, Lists::kVariants)));
  EXPECT_EQ("-1 3 [D1@Boss-Extrude1, $STATE@Chamfer1, D9@Sketch1] [30.0mm, U, 5mm]",
            Parameters(u"Default"));
  EXPECT_TRUE(Set(u"Light", TextList({u"D1@Boss-Extrude1"}), TextList({u"20.0mm"})));
  EXPECT_EQ("-1 1 [D1@Boss-Extrude1] [20.0mm]", Parameters(u"Light"));
  ExpectAnswers({{document_.Get(), u"GetConfigurationCount", {}, "3"},
                 {Configuration(u"Light").Get(), u"GetParent", {}, "null"}});
  // Refused: an empty name, lists of other lengths or types.
  ScopedVariant numbers;
  WriteValue(numbers.Get(), std::vector<LONG>{1}, AnswerStyle{});
  EXPECT_FALSE(Set(u"", TextList({u"A"}), TextList({u"1"})));
  EXPECT_FALSE(Set(u"Default", TextList({u"A", u"B"}), TextList({u"1"})));
  EXPECT_FALSE(Set(u"Default", TextList({u"A"}), std::move(numbers)));
  EXPECT_EQ(0, Parameters(u"Default").find("-1 3 "));
  // The lists come by reference.
  ScopedVariant names = TextList({u"A"});
  sim_test::Outcome outcome =
      sim_test::Invoke(manager_.Get(), u"SetConfigurationParams", DISPATCH_METHOD,
                       {Arg(u"Default"), Arg::VariantRef(names.Get()), Arg(u"1")});
  EXPECT_EQ(DISP_E_TYPEMISMATCH, outcome.hr);
  EXPECT_EQ(0u, outcome.argErr);
}

}  // namespace
}  // namespace sim
