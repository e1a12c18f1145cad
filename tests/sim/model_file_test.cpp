// Reading and writing model files: what a file holds, round trips, and the
// errors a malformed or inconsistent file gives, naming the file and the
// place.
#include <gtest/gtest.h>

#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "sim/model_writer.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using testing_support::WriteFile;

class ModelFileTest : public ::testing::Test {
 protected:
  // The error text of reading text as a file named name, the file named
  // relative to the test directory; "" when it reads.
  std::string Error(const std::string& name, const std::string& text) {
    WriteFile(dir_ / name, text);
    try {
      ReadModelFile(dir_ / name);
    } catch (const ModelFileError& error) {
      std::string what = error.what();
      return what.substr(what.rfind('/', what.find(": ")) + 1);
    }
    return "";
  }

  testing_support::TempDir dir_;
};

TEST_F(ModelFileTest, ReadsEveryPartOfAPartAndFillsDefaults) {
  ModelData model = ReadModelFile(sim_test::SampleDir() / "Housing.SLDPRT");
  EXPECT_EQ(kDocTypePart, model.type);
  ASSERT_EQ(8u, model.features.size());
  const FeatureModel& extrude = model.features[5];
  EXPECT_EQ(u"基体拉伸", extrude.fields.description);
  EXPECT_EQ(7010, extrude.fields.createdVersion);
  EXPECT_TRUE(extrude.fields.isBase && extrude.fields.uiState && extrude.subFeatures[0].inChain);
  EXPECT_TRUE(model.features[7].suppressed);
  EXPECT_EQ(2u, model.features[7].displayDimensions[0].dimensions.size());
  EXPECT_EQ(kToleranceBilateral, model.dimensions[0].toleranceType);
  EXPECT_DOUBLE_EQ(-0.1, model.dimensions[0].toleranceMin);
  EXPECT_EQ(kDimensionParamAngle, model.dimensions[6].parameterType);
  EXPECT_TRUE(model.equations[3].suppressed);
  EXPECT_EQ(u"Default", model.configurations[1].parent);
  EXPECT_EQ(kBomPartNumberUserSpecified, model.configurations[1].bomPartNumberSource);
  EXPECT_EQ(kPropertyTypeDouble, model.properties[2].type);
  WriteFile(dir_ / "Tiny.sldprt", R"({"type": "part", "equations": [{"text": "\"A\" = 2 * 3"}]})");
  ModelData tiny = ReadModelFile(dir_ / "Tiny.sldprt");
  EXPECT_EQ(u"Default", tiny.configurations.at(0).name);
  EXPECT_EQ(u"mm", tiny.units);
  EXPECT_DOUBLE_EQ(6, tiny.equations[0].value);  // evaluated when left out
}

TEST_F(ModelFileTest, WritingAndReadingGivesAnEqualModel) {
  for (const char* name : {"Housing.SLDPRT", "Shaft.SLDPRT", "Bearing.SLDPRT", "BearingSet.SLDASM",
                           "Gearbox.SLDASM", "Gearbox.SLDDRW"}) {
    ModelData model = ReadModelFile(sim_test::SampleDir() / name);
    ModelData again = ParseModel(FormatModel(model), model.type, name);
    EXPECT_TRUE(model == again) << name;
    EXPECT_EQ(FormatModel(model), FormatModel(again)) << name;
  }
  ModelData model = ReadModelFile(sim_test::SampleDir() / "Housing.SLDPRT");
  model.features[5].fields.description = u"新的描述 'quoted'";
  model.dimensions[0].value = 0.1 + 0.2;
  model.configurations[0].properties.push_back(PropertyModel{u"Note", 30, u"注意", true});
  WriteModelFile(dir_ / "Copy.SLDPRT", model);
  EXPECT_TRUE(model == ReadModelFile(dir_ / "Copy.SLDPRT"));
  EXPECT_THROW(WriteModelFile(dir_ / "missing" / "X.SLDPRT", model), ModelFileError);
  EXPECT_THROW(ReadModelFile(dir_ / "None.SLDPRT"), ModelFileError);
  std::filesystem::create_directory(dir_ / "Dir.SLDPRT");
  EXPECT_THROW(ReadModelFile(dir_ / "Dir.SLDPRT"), ModelFileError);
}

TEST_F(ModelFileTest, AMalformedOrInconsistentFileNamesThePlace) {
  struct Case {
    const char* name;
    const char* text;
    const char* error;
  } cases[] = {
      {"A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "T"}, {"name": 7}]})",
       "A.SLDPRT: /features/1/name: expected a string, found an integer"},
      {"A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "T",
          "subFeatures": [{"nmae": "S"}]}]})",
       "A.SLDPRT: /features/0/subFeatures/0: unknown member \"nmae\""},
      {"A.SLDPRT", R"({"type": "part", "dimensions": [{"value": 1}]})",
       "A.SLDPRT: /dimensions/0: missing member \"name\""},
      {"A.SLDPRT", "{}", "A.SLDPRT: /: missing member \"type\""},
      {"A.SLDPRT", "[]", "A.SLDPRT: /: expected an object, found an array"},
      {"A.SLDPRT", R"({"type": "part", "equations": [{"text": "\"A\" = 1", "suppressed": "y"}]})",
       "A.SLDPRT: /equations/0/suppressed: expected true or false, found a string"},
      {"A.SLDPRT",
       R"({"type": "part", "configurations": [{"name": "C", "bomPartNumberSource": 3}]})",
       "A.SLDPRT: /configurations/0/bomPartNumberSource: 3 is not one of 1, 2, 4, 8"},
      {"A.SLDPRT", R"({"type": "part", "dimensions": [{"name": "D", "value": "1"}]})",
       "A.SLDPRT: /dimensions/0/value: expected a number, found a string"},
      {"A.SLDPRT", R"({"type": "part", "configurations": [{"name": "C", "type": 4294967296}]})",
       "A.SLDPRT: /configurations/0/type: integer out of range"},
      {"A.SLDASM", R"({"type": "part"})",
       "A.SLDASM: /type: \"part\" does not match the file's extension, which stands for a "
       "assembly"},
      {"A.txt", R"({"type": "part"})",
       "A.txt: unknown model file extension \".txt\" (expected .SLDPRT, .SLDASM or .SLDDRW)"},
      {"A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "T",
          "displayDimensions": [{"dimensions": ["D9"]}]}]})",
       "A.SLDPRT: /features/0/displayDimensions/0/dimensions/0: no dimension named \"D9\""},
      {"A.SLDPRT", R"({"type": "part", "dimensions": [{"name": "D"}], "features": [{"name": "F",
          "typeName": "T", "displayDimensions": [{"type": 10, "dimensions": ["D"]}]}]})",
       "A.SLDPRT: /features/0/displayDimensions/0/dimensions: a display dimension of type 10 "
       "holds 2 dimensions"},
      {"A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "T"},
          {"name": "G", "typeName": "T", "subFeatures": [{"name": "F", "typeName": "T"}]}]})",
       "A.SLDPRT: /features/1/subFeatures/0/name: duplicate feature name \"F\""},
      {"A.SLDPRT", R"({"type": "part", "configurations": [{"name": "C"}, {"name": "D",
          "parent": "X"}]})",
       "A.SLDPRT: /configurations/1/parent: no configuration named \"X\""},
      {"A.SLDPRT", R"({"type": "part", "configurations": [{"name": "C", "parent": "D"},
          {"name": "D", "parent": "C"}]})",
       "A.SLDPRT: /configurations/0/parent: the parents of configuration \"C\" form a loop"},
      {"A.SLDPRT", R"({"type": "part", "activeConfiguration": "Z"})",
       "A.SLDPRT: /activeConfiguration: no configuration named \"Z\""},
      {"A.SLDPRT", R"({"type": "part", "configurations": [{"name": "C", "components": []}]})",
       "A.SLDPRT: /configurations/0/components: only an assembly has components"},
      {"A.SLDASM", R"({"type": "assembly", "configurations": [{"name": "C",
          "components": [{"name": "X-1", "file": "x.txt"}]}]})",
       "A.SLDASM: /configurations/0/components/0/file: \"x.txt\" is not a part or assembly file "
       "(.SLDPRT, .SLDASM)"},
      {"A.SLDPRT", R"({"type": "part", "properties": [{"name": "N", "type": 3, "value": "many"}]})",
       "A.SLDPRT: /properties/0/value: \"many\" does not fit property type 3"},
      {"A.SLDPRT", R"({"type": "part", "configurations": []})",
       "A.SLDPRT: /configurations: a model has at least one configuration"},
      {"A.SLDPRT", R"({"type": "part", "features": [{"name": "F", "typeName": "REFERENCE"}]})",
       "A.SLDPRT: /features/0/typeName: \"Reference\" features come from the components of an "
       "assembly"}};
  for (const Case& c : cases) EXPECT_EQ(c.error, Error(c.name, c.text)) << c.text;
  // Broken JSON names the line and the column.
  EXPECT_EQ(0u, Error("Bad.SLDPRT", "{\n  \"type\": \"part\",\n  \"features\": [\n  }\n")
                    .find("Bad.SLDPRT: line 4, column 3: broken JSON: "));
  EXPECT_EQ(0u, Error("Empty.SLDPRT", "").find("Empty.SLDPRT: line 1, column 1: broken JSON"));
}

TEST(ModelReaderTest, ExtensionsAreMatchedWithoutRegardToCase) {
  EXPECT_EQ(kDocTypePart, DocTypeFromPath("a/b.sldprt"));
  EXPECT_EQ(kDocTypeAssembly, DocTypeFromPath("B.SldAsm"));
  EXPECT_EQ(kDocTypeDrawing, DocTypeFromPath("c.SLDDRW"));
  EXPECT_EQ(kDocTypeNone, DocTypeFromPath("c.SLDDRW.bak"));
  EXPECT_EQ(kDocTypeNone, DocTypeFromPath("noextension"));
}

}  // namespace
}  // namespace sim
