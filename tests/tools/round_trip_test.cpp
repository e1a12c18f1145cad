// The program's commands run as processes on the sample and on generated
// models: what they print and what they leave in databases and model files.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "sim/model_reader.h"
#include "tests/tools/harbolt_runner.h"

namespace tools_test {
namespace {

// Every file of the bundled sample with its bytes.
std::map<std::string, std::string> SampleFiles() {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(Sample())) {
    files[entry.path().filename().string()] = ReadFile(entry.path());
  }
  return files;
}

// What one traced host call must match: its member's entry in the published facts.
std::string Mismatch(const nlohmann::json& facts, const nlohmann::json& call) {
  const std::string interfaceName = call.at("interface"), member = call.at("member"),
                    kind = call.at("kind");
  const std::string name = interfaceName + "." + member + " (" + kind + ")";
  if (!facts.contains(interfaceName) || !facts[interfaceName].contains(member)) {
    return name + ": no such published member";
  }
  const nlohmann::json& fact = facts[interfaceName][member];
  if (kind == "method" && fact.at("kind") != "method") return name + ": published as a property";
  if (kind != "method" && fact.at("kind") != "property") return name + ": published as a method";
  if (kind == "put" && fact.at("readonly") == true) return name + ": published read-only";
  const int expected = fact.at("params").get<int>() + (kind == "put" ? 1 : 0);
  if (call.at("args") != expected) {
    return name + ": " + call.at("args").dump() + " arguments, published " +
           std::to_string(expected);
  }
  if (call.at("hr") != "0x00000000") return name + ": failed with " + call.at("hr").dump();
  return {};
}

// With the host-call trace on: every call the add-in makes into the host is a
// member of the host's published interfaces (published_members.json), with its
// published kind and number of arguments.
TEST(DemoCommandTest, RunsTheWholeRoundTripThroughPublishedHostMembersOnly) {
  HarboltRunner harbolt(HarboltRunner::Registry::kEmpty);  // A user who never registered.
  const std::map<std::string, std::string> sample = SampleFiles();
  const std::filesystem::path trace = harbolt / "trace.jsonl";
  RunResult run = harbolt.Run({"demo", "--dir", "demo", "--trace-host", trace.string()});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  const std::filesystem::path demo = harbolt / "demo";
  for (const std::string& step : std::vector<std::string>{
           "Working folder: " + demo.string() + "\n",
           // Steps 1 to 9, with the private registry of a user who never registered.
           "    through a private registry and connected it",
           "    Clicked 1 \"Export model\": the caller received FireClickMenu",
           " 5. The caller answered with an export of all seven tables",
           " 8. Saved the model (SaveFile)", " 9. Opened the saved files",
           // Only the models whose values changed are saved.
           R"(the host wrote back the files the import changed:
      Housing.SLDPRT, Gearbox.SLDASM
    and left alone the files whose rows held their values already:
      Shaft.SLDPRT, Bearing.SLDPRT, BearingSet.SLDASM
)",
           R"(What changed in the model, from before.db to after.db:
  Feature    Housing-1                               description 外壳 -> Gearbox housing
  Dimension  D1@Distance1                            dimValue 5.0 -> 8.0, sysValue 0.005 -> 0.008
  Equation   "D1@Distance1" = "Gap" + 3              removed
  Equation   "D1@Distance1" = "Gap" + 6              added
  Config     Compact                                 description 紧凑型 -> Compact: short shafts
  Parameter  Default / Housing-1 / D1@Boss-Extrude1  paramValue 30.0mm -> 35.0mm
  property   Default / Gearbox / Revision            propertyValue A -> B

)"}) {
    EXPECT_TRUE(Contains(run.out, step)) << step << "\nin:\n" << run.out;
  }
  EXPECT_FALSE(std::filesystem::exists(harbolt.RegistryFile()));
  // What it leaves: the databases, the pictures, the saved model.
  EXPECT_EQ(1, TestDatabase(demo / "edits.db").Count("DADU_3_Equation", "DADU_flag = 1"));
  EXPECT_TRUE(std::filesystem::exists(demo / "previews" / "Housing.bmp"));
  EXPECT_TRUE(Contains(ReadFile(demo / "Gearbox.SLDASM"), "\"Gap\\\" + 6"));
  EXPECT_EQ(sample, SampleFiles());  // The bundled files stay as they are.

  std::ifstream factsFile(std::filesystem::path(HARBOLT_TEST_DATA_DIR) / "published_members.json");
  const nlohmann::json facts = nlohmann::json::parse(factsFile);
  std::ifstream in(trace);
  std::set<std::string> mismatches;
  std::map<std::string, int> kinds;
  int calls = 0;
  for (std::string line; std::getline(in, line); ++calls) {
    const nlohmann::json call = nlohmann::json::parse(line);
    ++kinds[call.at("kind").get<std::string>()];
    if (std::string problem = Mismatch(facts, call); !problem.empty()) mismatches.insert(problem);
  }
  EXPECT_TRUE(mismatches.empty()) << *mismatches.begin() << " (and " << mismatches.size() - 1
                                  << " more)";
  // The whole round trip: export, import, save and the second export.
  EXPECT_GT(calls, 2000);
  EXPECT_TRUE(kinds["method"] > 0 && kinds["get"] > 0 && kinds["put"] > 0);
}

TEST(DemoCommandTest, WorksInAFolderOfItsOwnAndLeavesOthersAlone) {
  HarboltRunner harbolt;
  // Without --dir: harbolt-demo in the current folder, emptied on the next run.
  ASSERT_EQ(0, harbolt.Run({"demo"}).status);
  WriteFile(harbolt / "harbolt-demo" / "left.txt", "old");
  RunResult run = harbolt.Run({"demo"});
  EXPECT_TRUE(Contains(run.out, "Working folder: " + (harbolt / "harbolt-demo").string() + "\n"));
  EXPECT_FALSE(std::filesystem::exists(harbolt / "harbolt-demo" / "left.txt"));
  // A folder of that name that the demo did not make is passed over.
  const std::filesystem::path elsewhere = harbolt / "elsewhere";
  std::filesystem::create_directories(elsewhere / "harbolt-demo");
  WriteFile(elsewhere / "harbolt-demo" / "mine.txt", "keep");
  run = harbolt.Run({"demo"}, elsewhere);
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_TRUE(Contains(run.out, "Working folder: " + (elsewhere / "harbolt-demo-2").string()));
  run = harbolt.Run({"demo", "--dir", (elsewhere / "harbolt-demo").string()});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("harbolt demo: the folder " + (elsewhere / "harbolt-demo").string() +
                " is not empty and not one an earlier demo made; choose another with --dir\n",
            run.err);
  EXPECT_EQ("keep", ReadFile(elsewhere / "harbolt-demo" / "mine.txt"));
}

TEST(ExportCommandTest, ExportsTheTablesOfAssembliesPartsAndDrawings) {
  HarboltRunner harbolt;
  auto exportTo = [&](const std::string& model, const std::string& db,
                      std::vector<std::string> more = {}) {
    std::vector<std::string> args = {
        "export", Sample(model).string(), "--dd", Sample("dictionary.xml").string(), "--db", db};
    args.insert(args.end(), more.begin(), more.end());
    return harbolt.Run(args);
  };
  RunResult run = exportTo("Gearbox.SLDASM", "out.db", {"--workdir", "previews"});
  ASSERT_EQ(0, run.status) << run.err;
  // Output to a file: no progress line.
  EXPECT_EQ("Exported " + Sample("Gearbox.SLDASM").string() + R"( into out.db.
  7 tables, 117 rows: Feature 49, Dimension 9, Equation 2, Config 2, Parameter 13,
  Componen 14, property 28
  4 preview pictures in previews
)",
            run.out + run.err);
  TestDatabase db(harbolt / "out.db");
  EXPECT_EQ(7u, db.Tables().size());
  // The values are those the demo's diff shows; here: no row flagged.
  for (const std::string& table : db.Tables()) {
    EXPECT_EQ(0, db.Count(table, "DADU_flag != 0")) << table;
  }
  // One picture per part or subassembly, named after it, in the work folder.
  std::vector<std::string> previews = db.Column(
      "select distinct previewBitmap from DADU_3_Componen where previewBitmap != '' order by 1");
  ASSERT_EQ(4u, previews.size());
  for (const std::filesystem::path preview : previews) {
    EXPECT_TRUE(is_regular_file(preview) && preview.parent_path() == harbolt / "previews")
        << preview;
  }
  // A second export replaces the database; blanks and repeats in the list are forgiven.
  run = exportTo("Housing.SLDPRT", "out.db", {"--tables", " Dimension , Feature,Dimension"});
  EXPECT_TRUE(Contains(run.out, " into out.db.\n  2 tables, 18 rows: Dimension 7, Feature 11\n"))
      << run.out;
  TestDatabase part(harbolt / "out.db");
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Dimension", "DADU_3_Feature"}), part.Tables());
  EXPECT_EQ("120.0", part.Value("select dimValue from DADU_3_Dimension where "
                                "dimFullName = 'D1@Sketch1'"));
  run = exportTo("Gearbox.SLDDRW", "drawing.db");
  ASSERT_EQ(0, run.status) << run.err;
  TestDatabase drawing(harbolt / "drawing.db");
  EXPECT_EQ(7u, drawing.Tables().size());
  EXPECT_EQ("RD1@Drawing View1", drawing.Value("select dimFullName from DADU_3_Dimension"));
  EXPECT_FALSE(Contains(run.out, "preview"));  // No work folder: no pictures.
}

class ImportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(0, Run("export", "model.db").status); }
  // Runs export or import of the model with the database and more arguments.
  RunResult Run(const std::string& command, const std::string& db,
                const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {command, Model().string(), "--db", db};
    if (command == "export") args.insert(args.end(), {"--dd", Sample("dictionary.xml").string()});
    args.insert(args.end(), more.begin(), more.end());
    return harbolt_.Run(args);
  }
  std::filesystem::path Model() const { return folder_ / "Gearbox.SLDASM"; }
  void Change(const std::string& sql) { TestDatabase(harbolt_ / "model.db").Execute(sql); }

  HarboltRunner harbolt_;
  std::filesystem::path folder_ = harbolt_.CopySample("model");
};

TEST_F(ImportCommandTest, AppliesTheFlaggedRowsAndSavesTheModelFiles) {
  Change(
      R"(update DADU_3_Feature set description = 'Cast', DADU_flag = 2 where featName = 'Housing-1';
    update DADU_3_Equation set DADU_flag = 3 where equIndex = 1;
    insert into DADU_3_Equation (equIndex, equation, DADU_flag) values (9, '"Clearance" = "Gap" * 2', 1);
    update DADU_3_Config set description = 'Short', DADU_flag = 2 where configName = 'Compact';
    update DADU_3_Parameter set paramValue = '35.0mm', DADU_flag = 2 where configName = 'Default'
      and compName = 'Housing-1' and paramName = 'D1@Boss-Extrude1';
    update DADU_3_property set propertyValue = 'B', DADU_flag = 2 where configName = 'Default'
      and compName = 'Gearbox' and propertyName = 'Revision')");
  RunResult run = Run("import", "model.db", {"--save"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  EXPECT_TRUE(
      run.out.starts_with(R"(Imported the flagged rows of model.db into model/Gearbox.SLDASM:
  Feature    1 changed
  Dimension  no flagged rows
  Equation   1 added, 1 deleted
  Config     1 changed
  Parameter  1 changed (13 rows handed to the host)
  property   1 changed (28 rows handed to the host)
Saved: )"))
      << run.out;
  EXPECT_TRUE(Contains(run.out.substr(run.out.find("Saved: ")), "model/Gearbox.SLDASM"));
  // The saved files; the demo's diff shows the other changes.
  sim::ModelData gearbox = sim::ReadModelFile(Model());
  ASSERT_EQ(2u, gearbox.equations.size());
  EXPECT_EQ(u"\"Clearance\" = \"Gap\" * 2", gearbox.equations[1].text);
  EXPECT_EQ(4, gearbox.equations[1].value);
  EXPECT_EQ(u"Full gearbox", gearbox.configurations[0].description);
  EXPECT_EQ(u"Cast", gearbox.configurations[0].components[0].feature.description);
  // A component's parameter goes to the part it came from.
  sim::ModelData housing = sim::ReadModelFile(folder_ / "Housing.SLDPRT");
  EXPECT_EQ(u"35.0mm", housing.configurations[0].parameters[0].value);
  EXPECT_EQ(u"45.0mm", housing.configurations[1].parameters[0].value);
  // The import only reads the database.
  EXPECT_EQ(1, TestDatabase(harbolt_ / "model.db").Count("DADU_3_Config", "DADU_flag = 2"));
}

TEST_F(ImportCommandTest, SavesNothingWithoutSaveOrAfterAFailure) {
  Change(
      "update DADU_3_Config set description = 'Short', DADU_flag = 2 where configName = 'Compact'");
  const std::string before = ReadFile(Model());
  RunResult run = Run("import", "model.db", {"--tables", "Config"});
  EXPECT_EQ(R"(Imported the flagged rows of model.db into model/Gearbox.SLDASM:
  Config     1 changed
Not saved: the changes live in the host's memory only (add --save to write the model files).
)",
            run.out + run.err);
  // The model has two equations: index 5 is out of range. A flagged feature
  // the model does not have stops the import without a message of its own.
  Change(R"(update DADU_3_Equation set equIndex = 5, DADU_flag = 3 where equIndex = 1;
    update DADU_3_Feature set featName = 'Nope', DADU_flag = 2 where featName = 'Origin')");
  ASSERT_EQ(0, Run("export", "two.db", {"--tables", "Feature,Config"}).status);
  const struct {
    std::vector<std::string> args;
    std::string db, message;
  } cases[] = {
      {{"--tables", "Equation", "--save"},
       "model.db",
       "harbolt import: UpdateTable returned S_FALSE: error -1: "
       "CDbToSld::UpdateEquation():index cross the border\n"},
      {{"--tables", "Feature", "--save"},
       "model.db",
       "harbolt import: UpdateTable returned S_FALSE: error 0: (no description)\n"
       "The import stopped at a flagged row whose feature, dimension or configuration the "
       "model does not have; the rows before it were applied.\n"},
      {{"--save"},
       "two.db",
       "harbolt import: the database two.db has no table DADU_3_Dimension (the table "
       "\"Dimension\"); export it first, or leave it out with --tables\n"},
  };
  for (const auto& c : cases) {
    run = Run("import", c.db, c.args);
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(c.message, run.out + run.err);
  }
  EXPECT_EQ(before, ReadFile(Model()));
  EXPECT_EQ(0, Run("import", "two.db", {"--tables", "Config,Feature,Componen"}).status);
}

TEST(GenCommandTest, WritesAnAssemblyTreeThatExportsImportsAndSaves) {
  HarboltRunner harbolt;
  // 2 components an assembly, 2 levels: 4 model files.
  RunResult run = harbolt.Run({"gen", "--out", "models", "--components", "2", "--depth", "2",
                               "--features", "3", "--dimensions", "4", "--equations", "3",
                               "--configurations", "2", "--parameters", "5", "--properties", "2"});
  EXPECT_EQ("Wrote 4 model files into models; open models/Assembly2.SLDASM\n", run.out + run.err);
  const std::string top = (harbolt / "models" / "Assembly2.SLDASM").string();
  run = harbolt.Run({"export", top, "--dd", Sample("dictionary.xml").string(), "--db", "gen.db"});
  ASSERT_EQ(0, run.status) << run.err;
  TestDatabase db(harbolt / "gen.db");
  // Per configuration a tree of 7: the root, 2 subassemblies, 4 parts. Each of the 7 models has
  // 2 x 5 parameters and (2 + 1) x 2 properties. Features: the top's 2 and 2 components,
  // Coincident1, each subassembly's 2 and 2 components, their Coincident1, each part instance's
  // origin, 3 extrusions and 3 sketches: 4 + 1 + 2 x 4 + 2 + 4 x 4 + 4 x 3. The parts share
  // their 4 dimension names.
  const std::pair<const char*, long long> counts[] = {
      {"Componen", 14}, {"Config", 2},    {"Equation", 3}, {"Parameter", 70},
      {"property", 42}, {"Dimension", 4}, {"Feature", 43}};
  for (const auto& [table, count] : counts) {
    EXPECT_EQ(count, db.Count(std::string("DADU_3_") + table)) << table;
  }
  EXPECT_EQ(7, db.Count("DADU_3_Componen", "configName = 'Config2'"));
  EXPECT_EQ("Assembly1-2/Part2-1",
            db.Value("select compName from DADU_3_Componen where parentComp = 'Assembly1-2' "
                     "and configName = 'Default' order by rowid desc"));

  db.Execute(
      R"(update DADU_3_Config set description = 'renamed', DADU_flag = 2 where configName = 'Config2';
    update DADU_3_property set propertyValue = 'changed', DADU_flag = 2 where compName = 'Assembly1-1/Part1-1'
      and configName = 'Default' and propertyName = 'Prop1')");
  run = harbolt.Run({"import", top, "--db", "gen.db", "--save"});
  ASSERT_EQ(0, run.status) << run.err;
  sim::ModelData assembly = sim::ReadModelFile(top);
  EXPECT_EQ(u"renamed", assembly.configurations[1].description);
  EXPECT_EQ(u"Assembly2 Default", assembly.configurations[0].description);
  // The property of the part instance went to the part's file, although a
  // second instance of the part holds the old value.
  sim::ModelData part = sim::ReadModelFile(harbolt / "models" / "Part1.SLDPRT");
  EXPECT_EQ(u"changed", part.configurations[0].properties[0].value);
  EXPECT_EQ(u"Part1 Config2 1", part.configurations[1].properties[0].value);
  // At depth 0 a single part.
  EXPECT_EQ("Wrote 1 model file into one; open one/Part1.SLDPRT\n",
            harbolt.Run({"gen", "--out", "one", "--depth", "0"}).out);
}

TEST(MenuAndDepsCommandTest, PrintWhatTheAddinBuildsAndFinds) {
  HarboltRunner harbolt;
  const std::string model = Sample("Gearbox.SLDASM").string();
  RunResult run = harbolt.Run(
      {"menu", model, "--menu", Sample("menu.xml").string(), "--click=3", "--click", "1"});
  auto clicked = [&](const std::string& id, const std::string& caption, const std::string& action) {
    return "Clicked " + id + " \"" + caption + "\": the caller received FireClickMenu with\n" +
           "  handle:      harbolt\n  document:    " + model + "\n  menu item:   <mnu id=\"" + id +
           "\" caption=\"" + caption + "\" action=\"" + action + "\"/>\n";
  };
  EXPECT_EQ("The add-in built these menus in the host from " + Sample("menu.xml").string() + R"(:
  Harbolt   (group 1)
     1  Export model
     2  Import changes
        ----
        logout
  Harbolt\Tools   (group 2)
     3  Show dependencies
     4  Open drawing
)" + clicked("3", "Show dependencies", "deps") +
                clicked("1", "Export model", "export"),
            run.out + run.err);
  run = harbolt.Run({"deps", model});
  EXPECT_EQ(model + " depends on:\n  " + Sample("Housing.SLDPRT").string() + "\n  " +
                Sample("Shaft.SLDPRT").string() + "\n  " + Sample("BearingSet.SLDASM").string() +
                "\n  " + Sample("Bearing.SLDPRT").string() + "\n",
            run.out + run.err);
  run = harbolt.Run({"deps", Sample("Housing.SLDPRT").string()});
  EXPECT_EQ(Sample("Housing.SLDPRT").string() + " depends on no other file.\n", run.out + run.err);
}

}  // namespace
}  // namespace tools_test
