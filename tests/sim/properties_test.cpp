// Custom properties: "Add2" adds only what is absent, "Set2" changes only
// what is present, each with its result codes; the document reads them per
// configuration name.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "sim/property_rules.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Take;
using sim_test::TakeLongs;
using sim_test::TakeTexts;

class PropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { document_ = host_.Open(sim_test::SampleDir() / "Housing.SLDPRT"); }

  ComPtr<IHostCustomPropertyManager> Manager(const char16_t* configuration) {
    ComPtr<IHostConfiguration> owner;
    if (*configuration) {
      ScopedBstr name(configuration);
      document_->GetConfiguration(name.Get(), owner.ReleaseAndGetAddressOf());
    } else {
      ComPtr<IHostConfigurationManager> access;
      document_->GetConfigurationManager(access.ReleaseAndGetAddressOf());
      access->GetDocumentConfiguration(owner.ReleaseAndGetAddressOf());
    }
    ComPtr<IHostCustomPropertyManager> manager;
    EXPECT_EQ(S_OK, owner->GetCustomPropertyManager(manager.ReleaseAndGetAddressOf()));
    return manager;
  }
  LONG Add(const char16_t* configuration, const char16_t* name, LONG type, const char16_t* value) {
    ScopedBstr n(name);
    ScopedBstr v(value);
    LONG result = 99;
    EXPECT_EQ(S_OK, Manager(configuration)->Add2(n.Get(), type, v.Get(), &result));
    return result;
  }
  LONG Set(const char16_t* configuration, const char16_t* name, const char16_t* value) {
    ScopedBstr n(name);
    ScopedBstr v(value);
    LONG result = 99;
    EXPECT_EQ(S_OK, Manager(configuration)->Set2(n.Get(), v.Get(), &result));
    return result;
  }
  // "name:type=value" of every property the manager holds.
  std::vector<std::string> All(const char16_t* configuration) {
    ComPtr<IHostCustomPropertyManager> manager = Manager(configuration);
    LONG count = -1;
    manager->GetCount(&count);
    SAFEARRAY* names = nullptr;
    SAFEARRAY* types = nullptr;
    SAFEARRAY* values = nullptr;
    EXPECT_EQ(S_OK, manager->GetAll(&names, &types, &values));
    std::vector<std::string> nameList = TakeTexts(names);
    std::vector<LONG> typeList = TakeLongs(types);
    std::vector<std::string> valueList = TakeTexts(values);
    EXPECT_EQ(static_cast<size_t>(count), nameList.size());
    std::vector<std::string> all;
    for (size_t i = 0; i < nameList.size(); ++i) {
      all.push_back(nameList[i] + ":" + std::to_string(typeList[i]) + "=" + valueList[i]);
    }
    return all;
  }

  SimHost host_;
  ComPtr<IHostModelDoc> document_;
};

TEST_F(PropertiesTest, ConfigurationAndDocumentPropertiesAreSeparate) {
  EXPECT_EQ((std::vector<std::string>{"PartNo:30=HSG-100H", "Material:30=Cast Steel"}),
            All(u"Heavy"));
  EXPECT_EQ(
      (std::vector<std::string>{"Material:30=铸铁 HT250", "Description:30=减速箱外壳",
                                "Weight:5=12.5", "Approved:11=Yes", "Released:64=2024-04-12"}),
      All(u""));
}

TEST_F(PropertiesTest, Add2AddsOnlyWhatIsAbsent) {
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"Finish", kPropertyTypeText, u"阳极氧化"));
  EXPECT_EQ(kAddPropertyPresent, Add(u"Default", u"Finish", kPropertyTypeText, u"Paint"));
  EXPECT_EQ(kAddPropertyPresent, Add(u"Default", u"PartNo", kPropertyTypeText, u"X"));
  EXPECT_EQ(kAddPropertyNotAdded, Add(u"Default", u"", kPropertyTypeText, u"X"));
  EXPECT_EQ(kAddPropertyNotAdded, Add(u"Default", u"Odd", 31, u"X"));
  EXPECT_EQ(kAddPropertyNotAdded, Add(u"Default", u"Count", kPropertyTypeNumber, u"some"));
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"Count", kPropertyTypeNumber, u"-12"));
  EXPECT_EQ((std::vector<std::string>{"PartNo:30=HSG-100", "Finish:30=阳极氧化", "Count:3=-12"}),
            All(u"Default"));
  // The document's own manager is separate from every configuration's.
  EXPECT_EQ(kAddPropertyAdded, Add(u"", u"Finish", kPropertyTypeText, u"Raw"));
  EXPECT_EQ(6u, All(u"").size());
}

TEST_F(PropertiesTest, Set2ChangesOnlyWhatIsPresent) {
  EXPECT_EQ(kSetPropertyDone, Set(u"Default", u"PartNo", u"HSG-200"));
  EXPECT_EQ(kSetPropertyMissing, Set(u"Default", u"Finish", u"Paint"));
  EXPECT_EQ(kSetPropertyMissing, Set(u"Default", u"partno", u"lower case is another name"));
  EXPECT_EQ(kSetPropertyDone, Set(u"", u"Weight", u"13.25"));
  EXPECT_EQ(kSetPropertyTypeMismatch, Set(u"", u"Weight", u"heavy"));
  EXPECT_EQ(kSetPropertyTypeMismatch, Set(u"", u"Approved", u"Maybe"));
  EXPECT_EQ(kSetPropertyTypeMismatch, Set(u"", u"Released", u"2024-13-01"));
  EXPECT_EQ(kSetPropertyDone, Set(u"", u"Released", u"2025/01/31"));
  EXPECT_EQ((std::vector<std::string>{"PartNo:30=HSG-200"}), All(u"Default"));
  EXPECT_EQ("Weight:5=13.25", All(u"")[2]);
  EXPECT_EQ("Released:64=2025/01/31", All(u"")[4]);
}

TEST_F(PropertiesTest, ALinkedPropertyIsNotSet) {
  host_.Model(document_.Get())->configurations[0].properties[0].linked = true;
  EXPECT_EQ(kSetPropertyLinked, Set(u"Default", u"PartNo", u"X"));
  EXPECT_EQ((std::vector<std::string>{"PartNo:30=HSG-100"}), All(u"Default"));
}

TEST_F(PropertiesTest, TheDocumentReadsPropertiesPerConfigurationName) {
  ScopedBstr whole(u"");
  ScopedBstr heavy(u"Heavy");
  ScopedBstr missing(u"Light");
  LONG count = 0;
  EXPECT_EQ(S_OK, document_->GetCustomPropertyCount(whole.Get(), &count));
  EXPECT_EQ(5, count);
  EXPECT_EQ(S_OK, document_->GetCustomPropertyCount(heavy.Get(), &count));
  EXPECT_EQ(2, count);
  EXPECT_EQ(E_INVALIDARG, document_->GetCustomPropertyCount(missing.Get(), &count));
  SAFEARRAY* names = nullptr;
  EXPECT_EQ(S_OK, document_->GetCustomPropertyNames(nullptr, &names));
  EXPECT_EQ((std::vector<std::string>{"Material", "Description", "Weight", "Approved", "Released"}),
            TakeTexts(names));
  ScopedBstr material(u"Material");
  BSTR value = nullptr;
  EXPECT_EQ(S_OK, document_->GetCustomPropertyValue(whole.Get(), material.Get(), &value));
  EXPECT_EQ("铸铁 HT250", Take(value));
  EXPECT_EQ(S_OK, document_->GetCustomPropertyValue(heavy.Get(), material.Get(), &value));
  EXPECT_EQ("Cast Steel", Take(value));
  LONG type = 0;
  ScopedBstr weight(u"Weight");
  EXPECT_EQ(S_OK, document_->GetCustomPropertyType(whole.Get(), weight.Get(), &type));
  EXPECT_EQ(kPropertyTypeDouble, type);
  ScopedBstr absent(u"Absent");
  EXPECT_EQ(S_FALSE, document_->GetCustomPropertyValue(whole.Get(), absent.Get(), &value));
  EXPECT_EQ(nullptr, value);
  EXPECT_EQ(S_FALSE, document_->GetCustomPropertyType(whole.Get(), absent.Get(), &type));
  EXPECT_EQ(0, type);
}

TEST(PropertyRulesTest, ValuesFitTheirTypes) {
  EXPECT_TRUE(ValueFitsType(kPropertyTypeNumber, u"42"));
  EXPECT_FALSE(ValueFitsType(kPropertyTypeNumber, u"4.2"));
  EXPECT_TRUE(ValueFitsType(kPropertyTypeDouble, u"4.2"));
  EXPECT_TRUE(ValueFitsType(kPropertyTypeDouble, u"-1e3"));
  EXPECT_FALSE(ValueFitsType(kPropertyTypeDouble, u""));
  EXPECT_TRUE(ValueFitsType(kPropertyTypeYesNo, u"No"));
  EXPECT_FALSE(ValueFitsType(kPropertyTypeYesNo, u"no"));
  EXPECT_TRUE(ValueFitsType(kPropertyTypeDate, u"2024-02-29"));
  EXPECT_FALSE(ValueFitsType(kPropertyTypeDate, u"2024-02-3"));
  EXPECT_FALSE(ValueFitsType(kPropertyTypeDate, u"2024-02/03"));
  EXPECT_TRUE(ValueFitsType(kPropertyTypeText, u"anything"));
  EXPECT_TRUE(ValueFitsType(kPropertyTypeUnknown, u""));
}

// The host finds properties by name through an index of each list; a list
// changed directly (as a test or a loader does) must still give the right
// answers.
TEST_F(PropertiesTest, LookupsFollowListsChangedBehindTheirBack) {
  std::vector<PropertyModel>& list = host_.Model(document_.Get())->configurations[0].properties;
  list.clear();
  for (int i = 0; i < 50; ++i) {
    const std::u16string name = u"P" + platform::Utf8ToUtf16(std::to_string(i));
    ASSERT_EQ(kAddPropertyAdded, Add(u"Default", name.c_str(), kPropertyTypeText, u"x"));
  }
  EXPECT_EQ(kSetPropertyDone, Set(u"Default", u"P49", u"y"));
  list.erase(list.begin());    // P0 goes, every later property moves up
  list[10].name = u"Renamed";  // and P11 is known by another name
  EXPECT_EQ(kSetPropertyDone, Set(u"Default", u"P49", u"z"));
  EXPECT_EQ(u"z", list.back().value);
  EXPECT_EQ(kSetPropertyMissing, Set(u"Default", u"P11", u"gone"));
  EXPECT_EQ(kSetPropertyDone, Set(u"Default", u"Renamed", u"r"));
  EXPECT_EQ(u"r", list[10].value);
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"P11", kPropertyTypeText, u"again"));
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"P0", kPropertyTypeText, u"again"));
  EXPECT_EQ(kAddPropertyPresent, Add(u"Default", u"P1", kPropertyTypeText, u"X"));
  list.clear();
  EXPECT_EQ(kSetPropertyMissing, Set(u"Default", u"P49", u"none"));
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"P49", kPropertyTypeText, u"new"));
  EXPECT_EQ((std::vector<std::string>{"P49:30=new"}), All(u"Default"));
}

}  // namespace
}  // namespace sim
