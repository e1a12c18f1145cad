// Configurations with parents and their fields, and the configuration
// parameters read and set through the document's configuration-parameter
// access.
#include <gtest/gtest.h>

#include "sim/safe_arrays.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Take;
using sim_test::TakeTexts;

class ConfigurationsTest : public ::testing::Test {
 protected:
  void SetUp() override { document_ = host_.Open(sim_test::SampleDir() / "Housing.SLDPRT"); }

  ComPtr<IHostConfiguration> Configuration(const char16_t* name) {
    ScopedBstr bstr(name);
    ComPtr<IHostConfiguration> configuration;
    document_->GetConfiguration(bstr.Get(), configuration.ReleaseAndGetAddressOf());
    return configuration;
  }
  ComPtr<IHostConfigurationManager> Manager() {
    ComPtr<IHostConfigurationManager> manager;
    EXPECT_EQ(S_OK, document_->GetConfigurationManager(manager.ReleaseAndGetAddressOf()));
    return manager;
  }
  // "name=value" of every parameter of the configuration.
  std::vector<std::string> Parameters(const char16_t* configuration) {
    ScopedBstr bstr(configuration);
    LONG count = -1;
    EXPECT_EQ(S_OK, Manager()->GetParameterCount(bstr.Get(), &count));
    SAFEARRAY* names = nullptr;
    SAFEARRAY* values = nullptr;
    EXPECT_EQ(S_OK, Manager()->GetParameters(bstr.Get(), &names, &values));
    std::vector<std::string> nameList = TakeTexts(names);
    std::vector<std::string> valueList = TakeTexts(values);
    EXPECT_EQ(static_cast<size_t>(count), nameList.size());
    std::vector<std::string> pairs;
    for (size_t i = 0; i < nameList.size(); ++i) pairs.push_back(nameList[i] + "=" + valueList[i]);
    return pairs;
  }
  VARIANT_BOOL Set(const char16_t* configuration, LONG count,
                   const std::vector<std::u16string>& names,
                   const std::vector<std::u16string>& values) {
    ScopedBstr bstr(configuration);
    ScopedSafeArray nameArray(MakeTextArray(names));
    ScopedSafeArray valueArray(MakeTextArray(values));
    VARIANT_BOOL done = 7;
    EXPECT_EQ(S_OK, Manager()->SetParameters(bstr.Get(), count, nameArray.Get(), valueArray.Get(),
                                             &done));
    return done;
  }

  SimHost host_;
  ComPtr<IHostModelDoc> document_;
};

TEST_F(ConfigurationsTest, NamesComeInTheHostsOrderAndUnknownNamesFail) {
  LONG count = 0;
  document_->GetConfigurationCount(&count);
  EXPECT_EQ(2, count);
  SAFEARRAY* names = nullptr;
  ASSERT_EQ(S_OK, document_->GetConfigurationNames(&names));
  EXPECT_EQ((std::vector<std::string>{"Default", "Heavy"}), TakeTexts(names));
  ComPtr<IHostConfiguration> none;
  ScopedBstr missing(u"Light");
  EXPECT_EQ(E_INVALIDARG,
            document_->GetConfiguration(missing.Get(), none.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(none);
  ScopedBstr empty(u"");
  EXPECT_EQ(E_INVALIDARG, document_->GetConfiguration(empty.Get(), none.ReleaseAndGetAddressOf()));
  ComPtr<IHostConfiguration> active;
  ASSERT_EQ(S_OK, document_->GetActiveConfiguration(active.ReleaseAndGetAddressOf()));
  BSTR name = nullptr;
  active->GetName(&name);
  EXPECT_EQ("Default", Take(name));
}

TEST_F(ConfigurationsTest, ADerivedConfigurationHasItsParent) {
  ComPtr<IHostConfiguration> parent;
  EXPECT_EQ(S_OK, Configuration(u"Heavy")->GetParent(parent.ReleaseAndGetAddressOf()));
  ASSERT_TRUE(parent);
  BSTR name = nullptr;
  parent->GetName(&name);
  EXPECT_EQ("Default", Take(name));
  ComPtr<IHostConfiguration> none;
  EXPECT_EQ(S_OK, parent->GetParent(none.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(none);
}

TEST_F(ConfigurationsTest, FieldsReadAndWrite) {
  ComPtr<IHostConfiguration> heavy = Configuration(u"Heavy");
  BSTR text = nullptr;
  heavy->GetAlternateName(&text);
  EXPECT_EQ("HSG-H", Take(text));
  heavy->GetDescription(&text);
  EXPECT_EQ("加厚型", Take(text));
  heavy->GetComment(&text);
  EXPECT_EQ("Thicker walls", Take(text));
  LONG number = 0;
  heavy->GetType(&number);
  EXPECT_EQ(1, number);
  VARIANT_BOOL flag = VARIANT_FALSE;
  heavy->GetLocked(&flag);
  EXPECT_EQ(VARIANT_TRUE, flag);
  heavy->GetUseAlternateNameInBom(&flag);
  EXPECT_EQ(VARIANT_TRUE, flag);

  // The alternate name reads empty unless the part number is user specified,
  // and is kept all the same.
  EXPECT_EQ(S_OK, heavy->SetBomPartNumberSource(kBomPartNumberConfigurationName));
  heavy->GetAlternateName(&text);
  EXPECT_EQ("", Take(text));
  ScopedBstr alternate(u"HSG-X");
  EXPECT_EQ(S_OK, heavy->SetAlternateName(alternate.Get()));
  EXPECT_EQ(E_INVALIDARG, heavy->SetBomPartNumberSource(3));
  EXPECT_EQ(S_OK, heavy->SetBomPartNumberSource(kBomPartNumberUserSpecified));
  heavy->GetAlternateName(&text);
  EXPECT_EQ("HSG-X", Take(text));
  ScopedBstr comment(u"新注释");
  EXPECT_EQ(S_OK, heavy->SetComment(comment.Get()));
  EXPECT_EQ(S_OK, heavy->SetLocked(VARIANT_FALSE));
  EXPECT_EQ(S_OK, heavy->SetUseAlternateNameInBom(VARIANT_FALSE));
  const ConfigurationModel& model = host_.Model(document_.Get())->configurations[1];
  EXPECT_EQ(u"HSG-X", model.alternateName);
  EXPECT_EQ(u"新注释", model.comment);
  EXPECT_FALSE(model.locked);
  EXPECT_FALSE(model.useAlternateNameInBom);
  // A part has no component tree.
  ComPtr<IHostComponent> root;
  EXPECT_EQ(S_OK, heavy->GetRootComponent(root.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(root);
}

TEST_F(ConfigurationsTest, ParametersReadPerConfiguration) {
  EXPECT_EQ((std::vector<std::string>{"D1@Boss-Extrude1=30.0mm", "$STATE@Chamfer1=S"}),
            Parameters(u"Default"));
  EXPECT_EQ((std::vector<std::string>{"D1@Boss-Extrude1=45.0mm", "$STATE@Chamfer1=U"}),
            Parameters(u"Heavy"));
  ScopedBstr missing(u"Light");
  LONG count = 0;
  EXPECT_EQ(E_INVALIDARG, Manager()->GetParameterCount(missing.Get(), &count));
}

TEST_F(ConfigurationsTest, SettingParametersChangesAddsAndCreatesConfigurations) {
  EXPECT_EQ(VARIANT_TRUE, Set(u"Default", 2, {u"$STATE@Chamfer1", u"D9@Sketch1", u"ignored"},
                              {u"U", u"5mm", u"x"}));
  EXPECT_EQ(
      (std::vector<std::string>{"D1@Boss-Extrude1=30.0mm", "$STATE@Chamfer1=U", "D9@Sketch1=5mm"}),
      Parameters(u"Default"));
  EXPECT_EQ(VARIANT_TRUE, Set(u"Light", 1, {u"D1@Boss-Extrude1"}, {u"20.0mm"}));
  EXPECT_EQ((std::vector<std::string>{"D1@Boss-Extrude1=20.0mm"}), Parameters(u"Light"));
  LONG count = 0;
  document_->GetConfigurationCount(&count);
  EXPECT_EQ(3, count);
  ComPtr<IHostConfiguration> parent;
  Configuration(u"Light")->GetParent(parent.ReleaseAndGetAddressOf());
  EXPECT_FALSE(parent);
  // Refused: an empty configuration name, a count beyond the arrays.
  EXPECT_EQ(VARIANT_FALSE, Set(u"", 1, {u"A"}, {u"1"}));
  EXPECT_EQ(VARIANT_FALSE, Set(u"Default", 2, {u"A"}, {u"1"}));
  EXPECT_EQ(VARIANT_FALSE, Set(u"Default", -1, {u"A"}, {u"1"}));
  EXPECT_EQ(3u, host_.Model(document_.Get())->configurations.size());
}

TEST_F(ConfigurationsTest, TheDocumentConfigurationHasNoNameAndTheDocumentsProperties) {
  ComPtr<IHostConfiguration> whole;
  ASSERT_EQ(S_OK, Manager()->GetDocumentConfiguration(whole.ReleaseAndGetAddressOf()));
  BSTR text = nullptr;
  EXPECT_EQ(S_OK, whole->GetName(&text));
  EXPECT_EQ("", Take(text));
  ComPtr<IHostConfiguration> parent;
  EXPECT_EQ(S_OK, whole->GetParent(parent.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(parent);
  ScopedBstr comment(u"x");
  EXPECT_EQ(E_FAIL, whole->SetComment(comment.Get()));
  ComPtr<IHostCustomPropertyManager> properties;
  ASSERT_EQ(S_OK, whole->GetCustomPropertyManager(properties.ReleaseAndGetAddressOf()));
  LONG count = 0;
  properties->GetCount(&count);
  EXPECT_EQ(5, count);
}

}  // namespace
}  // namespace sim
