// The synthetic models, in-process: their content and size limits, and that
// the simulated host reads what the generator writes.
#include "tools/harbolt/model_generator.h"

#include <gtest/gtest.h>

#include "sim/model_reader.h"
#include "sim/sim_host.h"
#include "tests/support/temp_dir.h"

namespace modelgen {
namespace {

TEST(ModelGeneratorTest, BuildsPartsWithTheRequestedContent) {
  ModelSize size;
  size.features = 2;
  size.dimensions = 3;
  size.equations = 2;
  size.configurations = 2;
  size.parameters = 4;
  size.properties = 1;
  sim::ModelData part = ModelGenerator(size).Part(2);
  EXPECT_EQ(sim::kDocTypePart, part.type);
  ASSERT_EQ(3u, part.features.size());
  EXPECT_EQ(u"Origin", part.features[0].name);
  EXPECT_EQ(u"Extrude2", part.features[2].name);
  EXPECT_EQ(u"Sketch2", part.features[2].subFeatures[0].name);
  EXPECT_TRUE(part.features[2].subFeatures[0].inChain);
  // The sketches show the dimensions in turn.
  ASSERT_EQ(3u, part.dimensions.size());
  EXPECT_EQ(u"D2@Sketch1", part.dimensions[2].name);
  EXPECT_EQ(12.0, part.dimensions[2].value);
  EXPECT_EQ(2u, part.features[1].subFeatures[0].displayDimensions.size());
  ASSERT_EQ(2u, part.equations.size());
  EXPECT_EQ(u"\"V1\" = \"Base\" + 1", part.equations[1].text);
  EXPECT_EQ(11.0, part.equations[1].value);
  ASSERT_EQ(2u, part.configurations.size());
  EXPECT_EQ(u"Config2", part.configurations[1].name);
  EXPECT_EQ(u"Default", part.configurations[1].parent);
  ASSERT_EQ(4u, part.configurations[1].parameters.size());
  EXPECT_EQ(u"D1@Sketch2", part.configurations[1].parameters[1].name);
  EXPECT_EQ(u"11.0mm", part.configurations[1].parameters[1].value);
  EXPECT_EQ(u"Param4", part.configurations[1].parameters[3].name);
  EXPECT_EQ(u"Part2 Config2 1", part.configurations[1].properties[0].value);
  EXPECT_EQ(u"Part2 1", part.properties[0].value);
}

TEST(ModelGeneratorTest, WritesFilesTheHostOpens) {
  testing_support::TempDir dir;
  ModelSize size;
  size.components = 3;
  size.depth = 2;
  GeneratedModel model = ModelGenerator(size).Write(dir / "deep" / "models");
  ASSERT_EQ(5u, model.files.size());
  EXPECT_EQ(dir / "deep" / "models" / "Assembly2.SLDASM", model.top);
  EXPECT_EQ(dir / "deep" / "models" / "Part1.SLDPRT", model.files.front());

  sim::ModelData top = sim::ReadModelFile(model.top);
  ASSERT_EQ(3u, top.configurations[1].components.size());
  EXPECT_EQ(u"Assembly1-3", top.configurations[1].components[2].name);
  EXPECT_EQ(u"Assembly1.SLDASM", top.configurations[1].components[2].file);
  EXPECT_EQ(u"Config2", top.configurations[1].components[2].configuration);

  sim::SimHost host;
  ASSERT_TRUE(host.Open(model.top));
  EXPECT_EQ(5u, host.OpenDocuments().size());

  GeneratedModel single = ModelGenerator(ModelSize{.depth = 0}).Write(dir / "one");
  EXPECT_EQ((std::vector<std::filesystem::path>{dir / "one" / "Part1.SLDPRT"}), single.files);
  EXPECT_EQ(single.files.front(), single.top);
}

TEST(ModelGeneratorTest, RefusesSizesOutOfRange) {
  auto message = [](ModelSize size) -> std::string {
    try {
      ModelGenerator generator(size);
    } catch (const std::invalid_argument& error) {
      return error.what();
    }
    return "<accepted>";
  };
  EXPECT_EQ("components must be from 1 to 1000", message({.components = 0}));
  EXPECT_EQ("depth must be from 0 to 8", message({.depth = -1}));
  EXPECT_EQ("configurations must be from 1 to 100", message({.configurations = 101}));
  EXPECT_EQ("equations must be from 0 to 100000", message({.equations = -2}));
  EXPECT_EQ("dimensions need at least one feature", message({.features = 0, .dimensions = 1}));
  EXPECT_EQ("components^depth must not exceed 1000000 (the instances in the top assembly)",
            message({.components = 101, .depth = 3}));
  EXPECT_EQ("<accepted>", message({.components = 100, .depth = 3}));
  EXPECT_EQ("<accepted>", message({.features = 0, .dimensions = 0}));
}

}  // namespace
}  // namespace modelgen
