// The sample model set: every model loads, and saving and loading again
// gives an equal model.
#include <gtest/gtest.h>

#include "sim/model_reader.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

TEST(SamplesTest, EveryModelLoadsAndSurvivesASaveUnchanged) {
  testing_support::TempDir dir;
  sim_test::CopySamples(dir.path());
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    if (DocTypeFromPath(entry.path()) != kDocTypeNone) files.push_back(entry.path());
  }
  ASSERT_EQ(6u, files.size());
  for (const std::filesystem::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    SimHost host;
    ComPtr<IHostModelDoc> document = host.Open(file);
    ASSERT_TRUE(document);
    ModelData before = *host.Model(document.Get());
    ASSERT_EQ(S_OK, document->Save(VARIANT_TRUE));
    EXPECT_TRUE(before == ReadModelFile(file));
    // And the host reads the saved file as it read the original.
    SimHost again;
    ComPtr<IHostModelDoc> reopened = again.Open(file);
    EXPECT_TRUE(before == *again.Model(reopened.Get()));
    document = nullptr;
    reopened = nullptr;
    EXPECT_EQ(0, host.LiveObjects());
    EXPECT_EQ(0, again.References());
  }
}

TEST(SamplesTest, TheSampleSetCoversWhatTheExportReads) {
  SimHost host;
  host.Open(sim_test::SampleDir() / "Gearbox.SLDDRW");
  ModelData* gearbox = host.Model(sim_test::SampleDir() / "Gearbox.SLDASM");
  ModelData* housing = host.Model(sim_test::SampleDir() / "Housing.SLDPRT");
  ModelData* drawing = host.Model(sim_test::SampleDir() / "Gearbox.SLDDRW");
  ASSERT_TRUE(gearbox && housing && drawing);
  EXPECT_EQ(2u, gearbox->configurations.size());
  EXPECT_EQ(u"Default", gearbox->configurations[1].parent);
  bool suppressed = false;
  for (const ComponentModel& component : gearbox->configurations[1].components) {
    suppressed = suppressed || component.state == kComponentSuppressed;
  }
  EXPECT_TRUE(suppressed);
  EXPECT_FALSE(housing->equations.empty());
  EXPECT_FALSE(housing->configurations[0].parameters.empty());
  EXPECT_FALSE(housing->configurations[0].properties.empty());
  EXPECT_FALSE(housing->properties.empty());
  EXPECT_EQ(kDocTypeDrawing, drawing->type);
  EXPECT_EQ(6u, host.OpenDocuments().size());
}

}  // namespace
}  // namespace sim
