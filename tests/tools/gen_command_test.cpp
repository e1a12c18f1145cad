// harbolt gen, run as a process, and the generated models taken through
// export, import and save by the program.
#include <gtest/gtest.h>

#include "sim/model_reader.h"
#include "tests/tools/harbolt_runner.h"
#include "tests/tools/test_database.h"

namespace tools_test {
namespace {

class GenCommandTest : public ::testing::Test {
 protected:
  RunResult Gen(const std::vector<std::string>& sizes) {
    std::vector<std::string> args = {"gen", "--out", "models"};
    args.insert(args.end(), sizes.begin(), sizes.end());
    return harbolt_.Run(args);
  }
  RunResult Export(const std::string& model, const std::string& database) {
    return harbolt_.Run({"export", (harbolt_ / "models" / model).string(), "--dd",
                         Sample("dictionary.xml").string(), "--db", database});
  }

  HarboltRunner harbolt_;
};

TEST_F(GenCommandTest, WritesAnAssemblyTreeThatExportsTheRowsItsSizeGives) {
  // 2 components an assembly, 2 levels: 4 model files.
  RunResult run =
      Gen({"--components", "2", "--depth", "2", "--features", "3", "--dimensions", "4",
           "--equations", "3", "--configurations", "2", "--parameters", "5", "--properties", "2"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Wrote 4 model files into models; open models/Assembly2.SLDASM\n", run.out);
  for (const char* file :
       {"Part1.SLDPRT", "Part2.SLDPRT", "Assembly1.SLDASM", "Assembly2.SLDASM"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(harbolt_ / "models" / file)) << file;
  }

  run = Export("Assembly2.SLDASM", "tree.db");
  ASSERT_EQ(0, run.status) << run.err;
  TestDatabase db(harbolt_ / "tree.db");
  // Each configuration's tree: the root, 2 subassemblies, 4 parts.
  const long long components = 1 + 2 + 4;
  EXPECT_EQ(2 * components, db.Count("DADU_3_Componen"));
  EXPECT_EQ(components, db.Count("DADU_3_Componen", "configName = 'Config2'"));
  EXPECT_EQ(2, db.Count("DADU_3_Config"));
  EXPECT_EQ(3, db.Count("DADU_3_Equation"));
  // Every model in the tree: 2 configurations of 5 parameters each.
  EXPECT_EQ(components * 2 * 5, db.Count("DADU_3_Parameter"));
  // Every model: 2 properties in each configuration and 2 of the document.
  EXPECT_EQ(components * (2 + 1) * 2, db.Count("DADU_3_property"));
  // The parts share their dimension names; a name is written once.
  EXPECT_EQ(4, db.Count("DADU_3_Dimension"));
  // The top's 2 features and 2 components, then below them: Coincident1;
  // each subassembly's 2 features and 2 components; their Coincident1; each
  // part instance's origin and 3 extrusions; the extrusions' sketches.
  EXPECT_EQ(4 + 1 + 2 * 4 + 2 + 4 * 4 + 4 * 3, db.Count("DADU_3_Feature"));
  EXPECT_EQ("Assembly1-2/Part2-1",
            db.Value("select compName from DADU_3_Componen where parentComp = 'Assembly1-2' "
                     "and configName = 'Default' order by rowid desc",
                     "compName"));
}

TEST_F(GenCommandTest, WritesASinglePartAtDepthZero) {
  RunResult run = Gen({"--depth", "0", "--features", "5", "--dimensions", "7", "--equations", "4",
                       "--configurations", "3", "--parameters", "2", "--properties", "1"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Wrote 1 model file into models; open models/Part1.SLDPRT\n", run.out);
  run = Export("Part1.SLDPRT", "part.db");
  ASSERT_EQ(0, run.status) << run.err;
  TestDatabase db(harbolt_ / "part.db");
  EXPECT_EQ(1 + 5 + 5, db.Count("DADU_3_Feature"));
  EXPECT_EQ(7, db.Count("DADU_3_Dimension"));
  EXPECT_EQ(4, db.Count("DADU_3_Equation"));
  EXPECT_EQ(3, db.Count("DADU_3_Config"));
  EXPECT_EQ(3 * 2, db.Count("DADU_3_Parameter"));
  EXPECT_EQ(3 * 1 + 1, db.Count("DADU_3_property"));
  EXPECT_EQ(0, db.Count("DADU_3_Componen"));
  EXPECT_EQ("\"V3\" = \"Base\" + 3",
            db.Value("select equation from DADU_3_Equation where equIndex = 3", "equation"));
}

TEST_F(GenCommandTest, AGeneratedModelGoesThroughImportAndSave) {
  ASSERT_EQ(0, Gen({"--components", "2", "--depth", "2"}).status);
  ASSERT_EQ(0, Export("Assembly2.SLDASM", "edit.db").status);
  {
    TestDatabase db(harbolt_ / "edit.db");
    db.Execute(
        "update DADU_3_Config set description = 'renamed', DADU_flag = 2 "
        "where configName = 'Config2'");
    db.Execute(
        "update DADU_3_property set propertyValue = 'changed', DADU_flag = 2 "
        "where compName = 'Assembly1-1/Part1-1' and configName = 'Default' "
        "and propertyName = 'Prop1'");
  }
  RunResult run = harbolt_.Run(
      {"import", (harbolt_ / "models" / "Assembly2.SLDASM").string(), "--db", "edit.db", "--save"});
  if (Contains(run.err, "(E_NOTIMPL)")) GTEST_SKIP() << "pending in the add-in: " << run.err;
  ASSERT_EQ(0, run.status) << run.err;

  sim::ModelData top = sim::ReadModelFile(harbolt_ / "models" / "Assembly2.SLDASM");
  EXPECT_EQ(u"renamed", top.configurations[1].description);
  EXPECT_EQ(u"Assembly2 Default", top.configurations[0].description);
  // The property of the part instance went to the part's file, although a
  // second instance of the part holds the old value.
  sim::ModelData part = sim::ReadModelFile(harbolt_ / "models" / "Part1.SLDPRT");
  EXPECT_EQ(u"changed", part.configurations[0].properties[0].value);
  EXPECT_EQ(u"Part1 Config2 1", part.configurations[1].properties[0].value);
}

TEST_F(GenCommandTest, RejectsSizesOutOfRange) {
  struct Case {
    std::vector<std::string> sizes;
    std::string message;
  };
  const Case cases[] = {
      {{"--components", "0"}, "harbolt gen: --components takes a whole number from 1 to 1000"},
      {{"--depth", "9"}, "harbolt gen: --depth takes a whole number from 0 to 8, not \"9\""},
      {{"--configurations", "0"}, "harbolt gen: --configurations takes a whole number from 1"},
      {{"--features", "-1"}, "harbolt gen: --features takes a whole number from 0 to 100000"},
      {{"--features", "0", "--dimensions", "1"},
       "harbolt gen: dimensions need at least one feature"},
      {{"--components", "1000", "--depth", "3"},
       "harbolt gen: components^depth must not exceed 1000000"},
  };
  for (const Case& c : cases) {
    RunResult run = Gen(c.sizes);
    EXPECT_EQ(64, run.status) << c.message;
    EXPECT_TRUE(run.err.starts_with(c.message)) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(harbolt_ / "models"));
}

}  // namespace
}  // namespace tools_test
