// Checked host calls, host lists read into values, configurations by name.
#include "hostutil/host_lists.h"

#include <gtest/gtest.h>

#include <functional>

#include "common/kvx_exception.h"
#include "hostutil/host_call.h"
#include "platform/text.h"
#include "sim/sim_host.h"
#include "tests/support/bound_host.h"

namespace hostutil {
namespace {

std::u16string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Dovbase::Kvx_Exception& error) {
    return error.message();
  }
  return u"(no exception)";
}

SAFEARRAY* TextArray(std::initializer_list<const char16_t*> texts) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size()));
  LONG i = 0;
  for (const char16_t* text : texts) {
    ScopedBstr element(text);
    SafeArrayPutElement(array, &i, element.Get());
    ++i;
  }
  return array;
}

class HostListsTest : public ::testing::Test {
 protected:
  HostListsTest()
      : gearbox_(testing_support::Bound(host_.Open(HARBOLT_SAMPLE_DIR "/Gearbox.SLDASM"))) {}
  sim::SimHost host_;
  ComPtr<IHostModelDoc> gearbox_;
};

TEST_F(HostListsTest, ListsReadIntoValues) {
  ScopedSafeArray texts(TextArray({u"a", nullptr, u"中文"}));
  EXPECT_EQ((std::vector<std::u16string>{u"a", u"", u"中文"}), ReadTextList(texts.Get(), u"op"));
  EXPECT_TRUE(ReadTextList(nullptr, u"op").empty());
  EXPECT_EQ(u"op: unexpected list of type 8", MessageOf([&] { ReadLongList(texts.Get(), u"op"); }));
  EXPECT_EQ(u"op: unexpected list of type 8",
            MessageOf([&] { ReadComponentList(texts.Get(), u"op"); }));
  ScopedSafeArray longs(SafeArrayCreateVector(VT_I4, 0, 2));
  LONG index = 1;
  LONG value = -7;
  SafeArrayPutElement(longs.Get(), &index, &value);
  EXPECT_EQ((std::vector<LONG>{0, -7}), ReadLongList(longs.Get(), u"op"));
  EXPECT_EQ(u"op: unexpected list of type 3", MessageOf([&] { ReadTextList(longs.Get(), u"op"); }));
  // A failing result without an error object: the operation and the code.
  EXPECT_EQ(u"(no exception)", MessageOf([] { CheckHost(S_FALSE, u"x"); }));
  EXPECT_EQ(u"x failed (0x80004005)", MessageOf([] { CheckHost(E_FAIL, u"x"); }));
  ScopedSafeArray objects(SafeArrayCreateVector(VT_DISPATCH, 0, 1));
  EXPECT_EQ(u"op: element 0 is no component",
            MessageOf([&] { ReadComponentList(objects.Get(), u"op"); }));
}

TEST_F(HostListsTest, ConfigurationsByName) {
  EXPECT_EQ((std::vector<std::u16string>{u"Default", u"Compact"}),
            ConfigurationNames(gearbox_.Get()));
  ComPtr<IHostConfiguration> compact = ConfigurationByName(gearbox_.Get(), u"Compact");
  EXPECT_EQ(u"Compact", HostGet(u"GetName", compact, &IHostConfiguration::GetName));
  EXPECT_EQ(
      u"IModelDoc2.GetConfigurationByName failed (0x80070057): the document has no "
      u"configuration \"Nope\"",
      MessageOf([&] { ConfigurationByName(gearbox_.Get(), u"Nope"); }));
  // A host that answers nothing is no configuration either.
  host_.EmptyCall("IModelDoc2.GetConfigurationByName");
  EXPECT_EQ(
      u"IModelDoc2.GetConfigurationByName failed (0x80070057): the document has no "
      u"configuration \"Compact\"",
      MessageOf([&] { ConfigurationByName(gearbox_.Get(), u"Compact"); }));
}

TEST(LoadedStateTest, OnlyResolvedStatesCountAsLoaded) {
  for (LONG state : {kComponentSuppressed, kComponentLightweight, kComponentFullyLightweight, -1}) {
    EXPECT_FALSE(IsLoadedState(state)) << state;
  }
  EXPECT_TRUE(IsLoadedState(kComponentFullyResolved) && IsLoadedState(kComponentResolved));
}

}  // namespace
}  // namespace hostutil
