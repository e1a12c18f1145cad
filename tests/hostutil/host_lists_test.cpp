// Host lists read into values, configurations by name, and the component
// tree walk: order, passing a subtree over, and failures that raise.
#include "hostutil/host_lists.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

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

  ComPtr<IHostComponent> Root(std::u16string_view configuration) {
    return HostGet(u"GetRootComponent", ConfigurationByName(gearbox_.Get(), configuration),
                   &IHostConfiguration::GetRootComponent);
  }

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

TEST_F(HostListsTest, TheWalkGoesDepthFirstAndPassesSubtreesOver) {
  ComPtr<IHostComponent> root = Root(u"Default");
  std::vector<std::string> visited;
  auto visit = [&](IHostComponent* component, int depth) -> std::optional<int> {
    std::u16string name = HostGet(u"GetName", component, &IHostComponent::GetName);
    visited.push_back(std::to_string(depth) + ":" + platform::Utf16ToUtf8(name));
    if (name == u"BearingSet-1") return std::nullopt;
    return depth + 1;
  };
  WalkComponentTree(root.Get(), 0, visit);
  EXPECT_EQ(
      (std::vector<std::string>{"0:", "1:Housing-1", "1:Shaft-1", "1:Shaft-2", "1:BearingSet-1"}),
      visited);

  visited.clear();
  auto all = [&](IHostComponent* component, int depth) -> std::optional<int> {
    visited.push_back(
        std::to_string(depth) + ":" +
        platform::Utf16ToUtf8(HostGet(u"GetName", component, &IHostComponent::GetName)));
    return depth + 1;
  };
  WalkComponentTree(root.Get(), 0, all);
  EXPECT_EQ(
      (std::vector<std::string>{"0:", "1:Housing-1", "1:Shaft-1", "1:Shaft-2", "1:BearingSet-1",
                                "2:BearingSet-1/Bearing-1", "2:BearingSet-1/Bearing-2"}),
      visited);
}

TEST_F(HostListsTest, AFailedChildListRaisesInsteadOfDroppingTheSubtree) {
  ComPtr<IHostComponent> root = Root(u"Default");
  EXPECT_EQ(4u, ComponentChildren(root.Get()).size());
  // The list is one host call.
  host_.FailCall("IComponent2.GetChildren#1", E_OUTOFMEMORY);
  EXPECT_EQ(
      u"IComponent2.GetChildren failed (0x8007000E): IComponent2.GetChildren failed in the "
      u"simulated host",
      MessageOf([&] { ComponentChildren(root.Get()); }));
  host_.EmptyCall("IComponent2.GetChildren#1");
  EXPECT_TRUE(ComponentChildren(root.Get()).empty());
}

TEST(LoadedStateTest, OnlyResolvedStatesCountAsLoaded) {
  EXPECT_FALSE(IsLoadedState(kComponentSuppressed));
  EXPECT_FALSE(IsLoadedState(kComponentLightweight));
  EXPECT_TRUE(IsLoadedState(kComponentFullyResolved));
  EXPECT_TRUE(IsLoadedState(kComponentResolved));
  EXPECT_FALSE(IsLoadedState(kComponentFullyLightweight));
  EXPECT_FALSE(IsLoadedState(-1));
}

}  // namespace
}  // namespace hostutil
