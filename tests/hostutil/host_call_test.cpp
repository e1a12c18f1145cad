// Checked host calls: a failing HRESULT or a null object becomes the
// program's exception naming the operation; the results come back owned.
#include "hostutil/host_call.h"

#include <gtest/gtest.h>

#include "common/kvx_exception.h"
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

class HostCallTest : public ::testing::Test {
 protected:
  HostCallTest()
      : document_(testing_support::Bound(host_.Open(HARBOLT_SAMPLE_DIR "/Housing.SLDPRT"))) {}

  sim::SimHost host_;
  ComPtr<IHostModelDoc> document_;
};

TEST_F(HostCallTest, ResultsComeBackAsValuesAndOwnedReferences) {
  EXPECT_EQ(u"Housing.SLDPRT",
            HostGet(u"IHostModelDoc::GetTitle", document_, &IHostModelDoc::GetTitle));
  EXPECT_EQ(sim::kDocTypePart,
            HostGet(u"IHostModelDoc::GetType", document_, &IHostModelDoc::GetType));
  long before = host_.References();
  {
    ComPtr<IHostFeature> first = HostGet(u"IHostModelDoc::GetFirstFeature", document_.Get(),
                                         &IHostModelDoc::GetFirstFeature);
    ASSERT_TRUE(first);
    EXPECT_EQ(u"Comments", HostGet(u"IHostFeature::GetName", first, &IHostFeature::GetName));
    ScopedSafeArray names = HostGet(u"IHostModelDoc::GetConfigurationNames", document_,
                                    &IHostModelDoc::GetConfigurationNames);
    EXPECT_EQ(2, names.Count());
    ScopedBstr configuration(u"Heavy");
    ComPtr<IHostConfiguration> heavy =
        HostGet(u"IHostModelDoc::GetConfiguration", document_, &IHostModelDoc::GetConfiguration,
                configuration.Get());
    EXPECT_EQ(u"Heavy",
              HostGet(u"IHostConfiguration::GetName", heavy, &IHostConfiguration::GetName));
  }
  EXPECT_EQ(before, host_.References());
}

TEST_F(HostCallTest, AFailureOrANullObjectRaisesNamingTheOperation) {
  host_.FailCall("IModelDoc2.GetTitle", E_ACCESSDENIED);
  EXPECT_EQ(
      u"IModelDoc2.GetTitle failed (0x80070005): IModelDoc2.GetTitle failed in the "
      u"simulated host",
      MessageOf([&] { HostGet(u"IHostModelDoc::GetTitle", document_, &IHostModelDoc::GetTitle); }));
  // S_OK with nothing is an answer, not a failure.
  host_.EmptyCall("IModelDoc2.FirstFeature");
  EXPECT_FALSE(
      HostGet(u"IHostModelDoc::GetFirstFeature", document_, &IHostModelDoc::GetFirstFeature));
  ComPtr<IHostModelDoc> none;
  EXPECT_EQ(u"IHostModelDoc::GetType: no object",
            MessageOf([&] { HostGet(u"IHostModelDoc::GetType", none, &IHostModelDoc::GetType); }));
  EXPECT_EQ(u"(no exception)", MessageOf([] { CheckHost(S_FALSE, u"x"); }));
  EXPECT_EQ(u"x failed (0x80004005)", MessageOf([] { CheckHost(E_FAIL, u"x"); }));
}

}  // namespace
}  // namespace hostutil
