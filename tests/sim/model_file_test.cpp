// Reading and writing model files: what a file holds, round trips, and the
// errors a malformed or inconsistent file gives.
#include <gtest/gtest.h>

#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "sim/model_writer.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

class ModelFileTest : public ::testing::Test {
 protected:
  // The error text of reading text as a file named name; "" when it reads.
  std::string Error(const std::string& name, const std::string& text) {
    std::filesystem::path path = dir_ / name;
    WriteFile(path, text);
    try {
      ReadModelFile(path);
    } catch (const ModelFileError& error) {
      // Name the file relative to the test directory to keep the expected
      // texts short.
      std::string what = error.what();
      std::string prefix = dir_.path().string() + "/";
      if (what.rfind(prefix, 0) == 0) what = what.substr(prefix.size());
      return what;
    }
    return "";
  }

  TempDir dir_;
};

TEST_F(ModelFileTest, ReadsEveryPartOfAPart) {
  ModelData model = ReadModelFile(sim_test::SampleDir() / "Housing.SLDPRT");
  EXPECT_EQ(kDocTypePart, model.type);
  EXPECT_EQ(u"Default", model.activeConfiguration);
  ASSERT_EQ(8u, model.features.size());
  const FeatureModel& extrude = model.features[5];
  EXPECT_EQ(u"Boss-Extrude1", extrude.name);
  EXPECT_EQ(u"Extrusion", extrude.typeName);
  EXPECT_EQ(u"基体拉伸", extrude.fields.description);
  EXPECT_EQ(7010, extrude.fields.createdVersion);
  EXPECT_TRUE(extrude.fields.isBase);
  EXPECT_TRUE(extrude.fields.uiState);
  ASSERT_EQ(1u, extrude.subFeatures.size());
  EXPECT_TRUE(extrude.subFeatures[0].inChain);
  EXPECT_TRUE(model.features[7].suppressed);
  EXPECT_EQ(10, model.features[7].displayDimensions[0].type);
  EXPECT_EQ(2u, model.features[7].displayDimensions[0].dimensions.size());
  ASSERT_EQ(7u, model.dimensions.size());
  EXPECT_EQ(kToleranceBilateral, model.dimensions[0].toleranceType);
  EXPECT_DOUBLE_EQ(-0.1, model.dimensions[0].toleranceMin);
  EXPECT_EQ(kDimensionParamAngle, model.dimensions[6].parameterType);
  ASSERT_EQ(4u, model.equations.size());
  EXPECT_TRUE(model.equations[3].suppressed);
  ASSERT_EQ(2u, model.configurations.size());
  EXPECT_EQ(u"Default", model.configurations[1].parent);
  EXPECT_EQ(kBomPartNumberUserSpecified, model.configurations[1].bomPartNumberSource);
  EXPECT_EQ(u"铸铁 HT250", model.properties[0].value);
  EXPECT_EQ(kPropertyTypeDouble, model.properties[2].type);
}

TEST_F(ModelFileTest, DefaultsFillWhatAFileLeavesOut) {
  WriteFile(dir_ / "Tiny.sldprt", R"({"type": "part", "equations": [{"text": "\"A\" = 2 * 3"}]})");
  ModelData model = ReadModelFile(dir_ / "Tiny.sldprt");
  ASSERT_EQ(1u, model.configurations.size());
  EXPECT_EQ(u"Default", model.configurations[0].name);
  EXPECT_EQ(u"mm", model.units);
  // An equation without a value is evaluated.
  EXPECT_DOUBLE_EQ(6, model.equations[0].value);
}

TEST_F(ModelFileTest, FormattingAndReadingGivesAnEqualModel) {
  for (const char* name : {"Housing.SLDPRT", "Shaft.SLDPRT", "Bearing.SLDPRT", "BearingSet.SLDASM",
                           "Gearbox.SLDASM", "Gearbox.SLDDRW"}) {
    SCOPED_TRACE(name);
    ModelData model = ReadModelFile(sim_test::SampleDir() / name);
    ModelData again = ParseModel(FormatModel(model), model.type, name);
    EXPECT_TRUE(model == again);
    // The text is stable too.
    EXPECT_EQ(FormatModel(model), FormatModel(again));
  }
}

TEST_F(ModelFileTest, WritingKeepsChangesAndUnicode) {
  ModelData model = ReadModelFile(sim_test::SampleDir() / "Housing.SLDPRT");
  model.features[5].fields.description = u"新的描述 'quoted'";
  model.dimensions[0].value = 0.1 + 0.2;
  model.configurations[0].properties.push_back(PropertyModel{u"Note", 30, u"注意", true});
  WriteModelFile(dir_ / "Copy.SLDPRT", model);
  ModelData read = ReadModelFile(dir_ / "Copy.SLDPRT");
  EXPECT_TRUE(model == read);
  EXPECT_EQ(0.1 + 0.2, read.dimensions[0].value);
}

TEST_F(ModelFileTest, WritingToAPlaceThatCannotHoldAFileFails) {
  ModelData model;
  model.configurations.push_back(ConfigurationModel{});
  model.configurations[0].name = u"Default";
  EXPECT_THROW(WriteModelFile(dir_ / "missing" / "X.SLDPRT", model), ModelFileError);
}

TEST_F(ModelFileTest, BrokenJsonNamesTheLineAndColumn) {
  std::string error = Error("Bad.SLDPRT", "{\n  \"type\": \"part\",\n  \"features\": [\n  }\n");
  EXPECT_EQ(0u, error.find("Bad.SLDPRT: line 4, column 3: broken JSON: ")) << error;
  EXPECT_EQ(0u, Error("Empty.SLDPRT", "").find("Empty.SLDPRT: line 1, column 1: broken JSON"));
}

TEST_F(ModelFileTest, AWrongTypeOrMemberNamesItsPointer) {
  EXPECT_EQ("A.SLDPRT: /features/1/name: expected a string, found an integer",
            Error("A.SLDPRT", R"({"type": "part", "features": [
                {"name": "F1", "typeName": "T"}, {"name": 7, "typeName": "T"}]})"));
  EXPECT_EQ("A.SLDPRT: /features/0/subFeatures/0: unknown member \"nmae\"",
            Error("A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "T",
                "subFeatures": [{"nmae": "S"}]}]})"));
  EXPECT_EQ("A.SLDPRT: /dimensions/0: missing member \"name\"",
            Error("A.SLDPRT", R"({"type": "part", "dimensions": [{"value": 1}]})"));
  EXPECT_EQ("A.SLDPRT: /: missing member \"type\"", Error("A.SLDPRT", "{}"));
  EXPECT_EQ("A.SLDPRT: /: expected an object, found an array", Error("A.SLDPRT", "[]"));
  EXPECT_EQ("A.SLDPRT: /equations/0/suppressed: expected true or false, found a string",
            Error("A.SLDPRT", R"({"type": "part", "equations": [
                {"text": "\"A\" = 1", "suppressed": "yes"}]})"));
  EXPECT_EQ("A.SLDPRT: /configurations/0/bomPartNumberSource: 3 is not one of 1, 2, 4, 8",
            Error("A.SLDPRT", R"({"type": "part", "configurations": [
                {"name": "C", "bomPartNumberSource": 3}]})"));
  EXPECT_EQ("A.SLDPRT: /dimensions/0/value: expected a number, found a string",
            Error("A.SLDPRT", R"({"type": "part", "dimensions": [{"name": "D", "value": "1"}]})"));
  EXPECT_EQ("A.SLDPRT: /configurations/0/type: integer out of range",
            Error("A.SLDPRT", R"({"type": "part", "configurations": [
                {"name": "C", "type": 4294967296}]})"));
}

TEST_F(ModelFileTest, AFileThatContradictsItselfNamesThePlace) {
  EXPECT_EQ(
      "A.SLDASM: /type: \"part\" does not match the file's extension, which stands for a "
      "assembly",
      Error("A.SLDASM", R"({"type": "part"})"));
  EXPECT_EQ("A.txt: unknown model file extension \".txt\" (expected .SLDPRT, .SLDASM or .SLDDRW)",
            Error("A.txt", R"({"type": "part"})"));
  EXPECT_EQ("A.SLDPRT: /features/0/displayDimensions/0/dimensions/0: no dimension named \"D9\"",
            Error("A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "T",
                "displayDimensions": [{"dimensions": ["D9"]}]}]})"));
  EXPECT_EQ(
      "A.SLDPRT: /features/0/displayDimensions/0/dimensions: a display dimension of type "
      "10 holds 2 dimensions",
      Error("A.SLDPRT", R"({"type": "part", "dimensions": [{"name": "D"}],
                "features": [{"name": "F", "typeName": "T",
                "displayDimensions": [{"type": 10, "dimensions": ["D"]}]}]})"));
  EXPECT_EQ("A.SLDPRT: /features/1/subFeatures/0/name: duplicate feature name \"F\"",
            Error("A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "T"},
                {"name": "G", "typeName": "T", "subFeatures": [{"name": "F", "typeName": "T"}]}]})"));
  EXPECT_EQ("A.SLDPRT: /configurations/1/parent: no configuration named \"X\"",
            Error("A.SLDPRT", R"({"type": "part", "configurations": [{"name": "C"},
                {"name": "D", "parent": "X"}]})"));
  EXPECT_EQ("A.SLDPRT: /configurations/0/parent: the parents of configuration \"C\" form a loop",
            Error("A.SLDPRT", R"({"type": "part", "configurations": [
                {"name": "C", "parent": "D"}, {"name": "D", "parent": "C"}]})"));
  EXPECT_EQ("A.SLDPRT: /activeConfiguration: no configuration named \"Z\"",
            Error("A.SLDPRT", R"({"type": "part", "activeConfiguration": "Z"})"));
  EXPECT_EQ("A.SLDPRT: /configurations/0/components: only an assembly has components",
            Error("A.SLDPRT", R"({"type": "part", "configurations": [{"name": "C",
                "components": []}]})"));
  EXPECT_EQ(
      "A.SLDASM: /configurations/0/components/0/file: \"x.txt\" is not a part or assembly "
      "file (.SLDPRT, .SLDASM)",
      Error("A.SLDASM", R"({"type": "assembly", "configurations": [{"name": "C",
                "components": [{"name": "X-1", "file": "x.txt"}]}]})"));
  EXPECT_EQ("A.SLDPRT: /properties/0/value: \"many\" does not fit property type 3",
            Error("A.SLDPRT", R"({"type": "part", "properties": [
                {"name": "Count", "type": 3, "value": "many"}]})"));
  EXPECT_EQ("A.SLDPRT: /configurations: a model has at least one configuration",
            Error("A.SLDPRT", R"({"type": "part", "configurations": []})"));
  EXPECT_EQ(
      "A.SLDPRT: /features/0/typeName: \"Reference\" features come from the components "
      "of an assembly",
      Error("A.SLDPRT", R"({"type": "part", "features": [{"name": "F",
                "typeName": "REFERENCE"}]})"));
}

TEST_F(ModelFileTest, AMissingOrUnreadableFileIsAnError) {
  EXPECT_THROW(ReadModelFile(dir_ / "None.SLDPRT"), ModelFileError);
  std::filesystem::create_directory(dir_ / "Dir.SLDPRT");
  EXPECT_THROW(ReadModelFile(dir_ / "Dir.SLDPRT"), ModelFileError);
}

TEST_F(ModelFileTest, ExtensionsAreMatchedWithoutRegardToCase) {
  EXPECT_EQ(kDocTypePart, DocTypeFromPath("a/b.sldprt"));
  EXPECT_EQ(kDocTypeAssembly, DocTypeFromPath("B.SldAsm"));
  EXPECT_EQ(kDocTypeDrawing, DocTypeFromPath("c.SLDDRW"));
  EXPECT_EQ(kDocTypeNone, DocTypeFromPath("c.SLDDRW.bak"));
  EXPECT_EQ(kDocTypeNone, DocTypeFromPath("noextension"));
}

}  // namespace
}  // namespace sim
