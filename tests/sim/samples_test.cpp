// The sample model set: every model loads, saving and loading again gives
// an equal model, and it holds what the export reads.
#include <gtest/gtest.h>

#include "sim/model_reader.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Arg;

TEST(SamplesTest, EveryModelLoadsAndSurvivesASaveUnchanged) {
  testing_support::TempDir dir;
  sim_test::CopySamples(dir.path());
  size_t models = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (DocTypeFromPath(entry.path()) == kDocTypeNone) continue;
    ++models;
    SimHost host;
    ComPtr<IDispatch> document = host.Open(entry.path());
    ModelData before = *host.Model(document.Get());
    LONG errors = 0;
    EXPECT_TRUE(sim_test::Bool(document.Get(), u"Save3",
                               {Arg(1), Arg::LongRef(&errors), Arg::LongRef(&errors)}));
    EXPECT_TRUE(before == ReadModelFile(entry.path())) << entry.path();
    SimHost again;
    EXPECT_TRUE(before == *again.Model(again.Open(entry.path()).Get())) << entry.path();
    document = nullptr;
    EXPECT_EQ(0, host.LiveObjects());
    EXPECT_EQ(0, again.References());
  }
  EXPECT_EQ(6u, models);
}

TEST(SamplesTest, TheSampleSetCoversWhatTheExportReads) {
  SimHost host;
  host.Open(sim_test::SampleDir() / "Gearbox.SLDDRW");
  ModelData* gearbox = host.Model(sim_test::SampleDir() / "Gearbox.SLDASM");
  ModelData* housing = host.Model(sim_test::SampleDir() / "Housing.SLDPRT");
  ASSERT_TRUE(gearbox && housing);
  EXPECT_EQ(u"Default", gearbox->configurations.at(1).parent);
  EXPECT_EQ(kComponentSuppressed, gearbox->configurations[1].components.at(2).state);
  EXPECT_FALSE(housing->equations.empty() || housing->configurations[0].parameters.empty() ||
               housing->configurations[0].properties.empty() || housing->properties.empty());
  EXPECT_EQ(6u, host.OpenDocuments().size());
}

}  // namespace
}  // namespace sim
