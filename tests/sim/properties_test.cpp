// Custom properties through ICustomPropertyManager: "Add2" adds only what is
// absent, "Set2" changes only what is present, each with its result codes;
// the managers of the document and of each configuration are separate.
#include <gtest/gtest.h>

#include "host/published/published_ids.h"
#include "platform/text.h"
#include "sim/property_rules.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Answer;
using sim_test::AnswerText;
using sim_test::Arg;
using sim_test::Long;

class PropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { document_ = host_.Open(sim_test::SampleDir() / "Housing.SLDPRT"); }

  // The manager of a configuration, "" for the document's own.
  ComPtr<IDispatch> Manager(const char16_t* configuration) {
    return sim_test::Object(sim_test::Object(document_.Get(), u"Extension").Get(),
                            u"CustomPropertyManager", {Arg(configuration)});
  }
  LONG Add(const char16_t* configuration, const std::u16string& name, const char16_t* value,
           LONG type = kPropertyTypeText) {
    return Long(Manager(configuration).Get(), u"Add2", {Arg(name), Arg(type), Arg(value)});
  }
  LONG Set(const char16_t* configuration, const char16_t* name, const char16_t* value) {
    return Long(Manager(configuration).Get(), u"Set2", {Arg(name), Arg(value)});
  }
  // The count, then the names, type codes and values GetAll gives; GetNames
  // and Count must agree.
  std::string All(const char16_t* configuration) {
    ComPtr<IDispatch> manager = Manager(configuration);
    ScopedVariant names(LONG{1});
    ScopedVariant types(LONG{1});
    ScopedVariant values(LONG{1});
    LONG count = Long(manager.Get(), u"GetAll",
                      {Arg::VariantRef(names.Get()), Arg::VariantRef(types.Get()),
                       Arg::VariantRef(values.Get())});
    EXPECT_EQ(count, Long(manager.Get(), u"Count"));
    EXPECT_EQ(AnswerText(*names.Get()), AnswerText(*Answer(manager.Get(), u"GetNames").Get()));
    return std::to_string(count) + " " + AnswerText(*names.Get()) + " " + AnswerText(*types.Get()) +
           " " + AnswerText(*values.Get());
  }

  SimHost host_;
  ComPtr<IDispatch> document_;
};

TEST_F(PropertiesTest, TheDocumentAndEachConfigurationHaveTheirOwn) {
  EXPECT_EQ("2 [PartNo, Material] [30, 30] [HSG-100H, Cast Steel]", All(u"Heavy"));
  EXPECT_EQ(
      "5 [Material, Description, Weight, Approved, Released] [30, 30, 5, 11, 64] "
      "[铸铁 HT250, 减速箱外壳, 12.5, Yes, 2024-04-12]",
      All(u""));
  EXPECT_FALSE(Manager(u"Light"));
  host_.Model(document_.Get())->configurations[0].properties.clear();
  EXPECT_EQ("0 empty empty empty", All(u"Default"));
}

TEST_F(PropertiesTest, Get6AndGetType2ReadOneProperty) {
  ComPtr<IDispatch> manager = Manager(u"");
  struct Case {
    const char16_t* name;
    LONG result;
    const char* value;
    LONG type;
  } cases[] = {
      {u"Weight", published::swCustomInfoGetResult_CachedValue, "12.5", kPropertyTypeDouble},
      {u"Material", published::swCustomInfoGetResult_CachedValue, "铸铁 HT250", kPropertyTypeText},
      {u"weight", published::swCustomInfoGetResult_NotPresent, "", kPropertyTypeUnknown}};
  for (const Case& c : cases) {
    ScopedBstr value;
    ScopedBstr resolved;
    ScopedVariant wasResolved;
    ScopedVariant linked;
    EXPECT_EQ(c.result, Long(manager.Get(), u"Get6",
                             {Arg(c.name), Arg(0), Arg::BstrRef(value.Receive()),
                              Arg::BstrRef(resolved.Receive()), Arg::VariantRef(wasResolved.Get()),
                              Arg::VariantRef(linked.Get())}));
    EXPECT_EQ(c.value, sim_test::Utf8(value.View()));
    EXPECT_EQ(c.value, sim_test::Utf8(resolved.View()));
    EXPECT_EQ("0 0", AnswerText(*wasResolved.Get()) + " " + AnswerText(*linked.Get()));
    EXPECT_EQ(c.type, Long(manager.Get(), u"GetType2", {Arg(c.name)}));
  }
}

TEST_F(PropertiesTest, Add2AddsOnlyWhatIsAbsentAndSet2ChangesOnlyWhatIsPresent) {
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"Finish", u"阳极氧化"));
  EXPECT_EQ(kAddPropertyPresent, Add(u"Default", u"Finish", u"Paint"));
  EXPECT_EQ(kAddPropertyNotAdded, Add(u"Default", u"", u"X"));
  EXPECT_EQ(kAddPropertyNotAdded, Add(u"Default", u"Odd", u"X", 31));
  EXPECT_EQ(kAddPropertyNotAdded, Add(u"Default", u"Count", u"some", kPropertyTypeNumber));
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"Count", u"-12", kPropertyTypeNumber));
  EXPECT_EQ(kAddPropertyAdded, Add(u"", u"Finish", u"Raw"));
  struct Case {
    const char16_t* name;
    const char16_t* value;
    LONG result;
  } cases[] = {{u"Finish", u"Paint", kSetPropertyDone},
               {u"Gone", u"Paint", kSetPropertyMissing},
               {u"finish", u"x", kSetPropertyMissing},
               {u"Weight", u"13.25", kSetPropertyDone},
               {u"Weight", u"heavy", kSetPropertyTypeMismatch},
               {u"Approved", u"Maybe", kSetPropertyTypeMismatch},
               {u"Released", u"2024-13-01", kSetPropertyTypeMismatch},
               {u"Released", u"2025/01/31", kSetPropertyDone}};
  for (const Case& c : cases)
    EXPECT_EQ(c.result, Set(u"", c.name, c.value)) << sim_test::Utf8(c.value);
  host_.Model(document_.Get())->properties[0].linked = true;
  EXPECT_EQ(kSetPropertyLinked, Set(u"", u"Material", u"X"));
  EXPECT_EQ("3 [PartNo, Finish, Count] [30, 30, 3] [HSG-100, 阳极氧化, -12]", All(u"Default"));
  EXPECT_EQ(
      "6 [Material, Description, Weight, Approved, Released, Finish] "
      "[30, 30, 5, 11, 64, 30] [铸铁 HT250, 减速箱外壳, 13.25, Yes, 2025/01/31, Paint]",
      All(u""));
}

// The host finds properties by name through an index of each list; a list
// changed directly (as a test or a loader does) must still give the right
// answers.
TEST_F(PropertiesTest, LookupsFollowListsChangedBehindTheirBack) {
  std::vector<PropertyModel>& list = host_.Model(document_.Get())->configurations[0].properties;
  list.clear();
  for (int i = 0; i < 20; ++i)
    Add(u"Default", u"P" + platform::Utf8ToUtf16(std::to_string(i)), u"x");
  EXPECT_EQ(kSetPropertyDone, Set(u"Default", u"P19", u"y"));
  list.erase(list.begin());    // P0 goes, every later property moves up
  list[10].name = u"Renamed";  // and P11 is known by another name
  EXPECT_EQ(kSetPropertyDone, Set(u"Default", u"P19", u"z"));
  EXPECT_EQ(u"z", list.back().value);
  EXPECT_EQ(kSetPropertyMissing, Set(u"Default", u"P11", u"gone"));
  EXPECT_EQ(kSetPropertyDone, Set(u"Default", u"Renamed", u"r"));
  EXPECT_EQ(u"r", list[10].value);
  EXPECT_EQ(kAddPropertyPresent, Add(u"Default", u"P1", u"X"));
  list.clear();
  EXPECT_EQ(kSetPropertyMissing, Set(u"Default", u"P19", u"none"));
  EXPECT_EQ(kAddPropertyAdded, Add(u"Default", u"P19", u"new"));
  EXPECT_EQ("1 [P19] [30] [new]", All(u"Default"));
}

}  // namespace
}  // namespace sim
