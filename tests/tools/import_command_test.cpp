// harbolt import, run as a process on a copy of the sample: the caller
// exports, changes rows and flags them, imports and saves; the saved model
// files hold the changes.
#include <gtest/gtest.h>

#include "sim/model_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/harbolt_runner.h"
#include "tests/tools/test_database.h"

namespace tools_test {
namespace {

class ImportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = harbolt_.CopySample("model");
    RunResult run = harbolt_.Run({"export", Model().string(), "--dd",
                                  (folder_ / "dictionary.xml").string(), "--db", "model.db"});
    ASSERT_EQ(0, run.status) << run.err;
  }

  std::filesystem::path Model(const std::string& name = "Gearbox.SLDASM") const {
    return folder_ / name;
  }
  void Change(const std::string& sql) { TestDatabase(harbolt_ / "model.db").Execute(sql); }
  RunResult Import(const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {"import", Model().string(), "--db", "model.db"};
    args.insert(args.end(), more.begin(), more.end());
    return harbolt_.Run(args);
  }
  sim::ModelData Saved(const std::string& name) { return sim::ReadModelFile(Model(name)); }
  std::string Bytes(const std::string& name) { return testing_support::ReadFile(Model(name)); }

  HarboltRunner harbolt_;
  std::filesystem::path folder_;
};

const sim::PropertyModel* FindProperty(const std::vector<sim::PropertyModel>& properties,
                                       std::u16string_view name) {
  for (const auto& property : properties) {
    if (property.name == name) return &property;
  }
  return nullptr;
}

TEST_F(ImportCommandTest, AppliesTheFlaggedRowsAndSavesTheModelFiles) {
  Change(
      "update DADU_3_Feature set description = 'Cast housing', DADU_flag = 2 "
      "where featName = 'Housing-1'");
  Change("update DADU_3_Equation set DADU_flag = 3 where equIndex = 1");
  Change(
      "insert into DADU_3_Equation (equIndex, equation, DADU_flag) "
      "values (9, '\"Clearance\" = \"Gap\" * 2', 1)");
  Change(
      "update DADU_3_Config set description = 'Short', DADU_flag = 2 "
      "where configName = 'Compact'");
  Change(
      "update DADU_3_Parameter set paramValue = '35.0mm', DADU_flag = 2 where configName = "
      "'Default' and compName = 'Housing-1' and paramName = 'D1@Boss-Extrude1'");
  Change(
      "update DADU_3_property set propertyValue = 'B', DADU_flag = 2 where configName = "
      "'Default' and compName = 'Gearbox' and propertyName = 'Revision'");

  RunResult run = Import({"--save"});
  if (Contains(run.err, "(E_NOTIMPL)")) GTEST_SKIP() << "pending in the add-in: " << run.err;
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  EXPECT_TRUE(
      run.out.starts_with("Imported the flagged rows of model.db into model/"
                          "Gearbox.SLDASM:\n"
                          "  Feature    1 changed\n"
                          "  Dimension  no flagged rows\n"
                          "  Equation   1 added, 1 deleted\n"
                          "  Config     1 changed\n"
                          "  Parameter  1 changed (13 rows handed to the host)\n"
                          "  property   1 changed (28 rows handed to the host)\n"
                          "Saved: "))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "model/Gearbox.SLDASM")) << run.out;

  sim::ModelData gearbox = Saved("Gearbox.SLDASM");
  ASSERT_EQ(2u, gearbox.equations.size());
  EXPECT_EQ(u"\"Gap\" = 2", gearbox.equations[0].text);
  EXPECT_EQ(u"\"Clearance\" = \"Gap\" * 2", gearbox.equations[1].text);
  EXPECT_EQ(4, gearbox.equations[1].value);
  ASSERT_EQ(2u, gearbox.configurations.size());
  EXPECT_EQ(u"Short", gearbox.configurations[1].description);
  EXPECT_EQ(u"Full gearbox", gearbox.configurations[0].description);
  const sim::PropertyModel* revision =
      FindProperty(gearbox.configurations[0].properties, u"Revision");
  ASSERT_NE(nullptr, revision);
  EXPECT_EQ(u"B", revision->value);
  EXPECT_EQ(u"Cast housing", gearbox.configurations[0].components[0].feature.description);
  // A component's parameter goes to the part it came from.
  sim::ModelData housing = Saved("Housing.SLDPRT");
  EXPECT_EQ(u"35.0mm", housing.configurations[0].parameters[0].value);
  EXPECT_EQ(u"45.0mm", housing.configurations[1].parameters[0].value);

  // The import only reads the database.
  TestDatabase db(harbolt_ / "model.db");
  EXPECT_EQ(5, db.Count("DADU_3_Feature", "DADU_flag != 0") +
                   db.Count("DADU_3_Config", "DADU_flag != 0") +
                   db.Count("DADU_3_Parameter", "DADU_flag != 0") +
                   db.Count("DADU_3_property", "DADU_flag != 0") +
                   db.Count("DADU_3_Equation", "DADU_flag = 1"));

  // Exported again, the saved model shows the changes.
  run = harbolt_.Run({"export", Model().string(), "--dd", (folder_ / "dictionary.xml").string(),
                      "--db", "again.db"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("Short", TestDatabase(harbolt_ / "again.db")
                         .Value("select description from DADU_3_Config where configName = "
                                "'Compact'",
                                "description"));
}

TEST_F(ImportCommandTest, WithoutSaveTheModelFilesStayAsTheyWere) {
  Change(
      "update DADU_3_Config set description = 'Short', DADU_flag = 2 "
      "where configName = 'Compact'");
  const std::string before = Bytes("Gearbox.SLDASM");
  RunResult run = Import({"--tables", "Config"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ(
      "Imported the flagged rows of model.db into model/Gearbox.SLDASM:\n"
      "  Config     1 changed\n"
      "Not saved: the changes live in the host's memory only (add --save to write the "
      "model files).\n",
      run.out);
  EXPECT_EQ(before, Bytes("Gearbox.SLDASM"));
}

TEST_F(ImportCommandTest, PassesOnTheImportersErrors) {
  const std::string before = Bytes("Gearbox.SLDASM");
  // The model has two equations: index 5 is out of range.
  Change("update DADU_3_Equation set equIndex = 5, DADU_flag = 3 where equIndex = 1");
  RunResult run = Import({"--tables", "Equation", "--save"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "harbolt import: UpdateTable returned S_FALSE: error -1: "
      "CDbToSld::UpdateEquation():index cross the border\n",
      run.err);
  EXPECT_EQ("", run.out);

  // A flagged feature the model does not have: the import stops without a
  // message of its own.
  Change("update DADU_3_Feature set featName = 'Nope', DADU_flag = 2 where featName = 'Origin'");
  run = Import({"--tables", "Feature", "--save"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "harbolt import: UpdateTable returned S_FALSE: error 0: (no description)\n"
      "The import stopped at a flagged row whose feature, dimension or configuration the "
      "model does not have; the rows before it were applied.\n",
      run.err);
  // Nothing was saved.
  EXPECT_EQ(before, Bytes("Gearbox.SLDASM"));
}

TEST_F(ImportCommandTest, ChecksTheDatabaseBeforeImporting) {
  RunResult run = harbolt_.Run({"import", Model().string(), "--db", "nope.db"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("harbolt import: the database nope.db does not exist\n", run.err);
  EXPECT_FALSE(std::filesystem::exists(harbolt_ / "nope.db"));

  ASSERT_EQ(0, harbolt_
                   .Run({"export", Model().string(), "--dd", (folder_ / "dictionary.xml").string(),
                         "--db", "two.db", "--tables", "Feature,Config"})
                   .status);
  run = harbolt_.Run({"import", Model().string(), "--db", "two.db"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "harbolt import: the database two.db has no table DADU_3_Dimension (the table "
      "\"Dimension\"); export it first, or leave it out with --tables\n",
      run.err);
  EXPECT_EQ(0, harbolt_
                   .Run({"import", Model().string(), "--db", "two.db", "--tables",
                         "Config,Feature,Componen"})
                   .status);

  testing_support::WriteFile(harbolt_ / "text.db", "not a database at all, just some text\n");
  run = harbolt_.Run({"import", Model().string(), "--db", "text.db"});
  EXPECT_EQ(1, run.status);
  EXPECT_TRUE(run.err.starts_with("harbolt import: cannot read the database text.db: ")) << run.err;
}

}  // namespace
}  // namespace tools_test
