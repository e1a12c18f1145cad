// harbolt export, run as a process on the sample: the tables it leaves in
// the database, the preview pictures, and the messages for user errors.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/tools/harbolt_runner.h"
#include "tests/tools/test_database.h"

namespace tools_test {
namespace {

class ExportCommandTest : public ::testing::Test {
 protected:
  RunResult Export(const std::filesystem::path& model, const std::vector<std::string>& more) {
    std::vector<std::string> args = {"export", model.string(), "--dd", dictionary_.string()};
    args.insert(args.end(), more.begin(), more.end());
    return harbolt_.Run(args);
  }
  void WriteFile(const std::string& name, const std::string& text) {
    std::ofstream(harbolt_ / name, std::ios::binary) << text;
  }

  HarboltRunner harbolt_;
  std::filesystem::path model_ = Sample("Gearbox.SLDASM");
  std::filesystem::path dictionary_ = Sample("dictionary.xml");
};

TEST_F(ExportCommandTest, ExportsAllSevenTablesOfTheSampleAssembly) {
  RunResult run = Export(model_, {"--db", "out.db", "--workdir", "previews"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ("", run.err);
  EXPECT_TRUE(Contains(run.out,
                       "  7 tables, 117 rows: Feature 49, Dimension 9, Equation 2, Config 2, "
                       "Parameter 13,\n  Componen 14, property 28\n"))
      << run.out;
  EXPECT_TRUE(Contains(run.out, "4 preview pictures in previews\n")) << run.out;

  TestDatabase db(harbolt_ / "out.db");
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Componen", "DADU_3_Config", "DADU_3_Dimension",
                                      "DADU_3_Equation", "DADU_3_Feature", "DADU_3_Parameter",
                                      "DADU_3_property"}),
            db.Tables());
  EXPECT_EQ(2, db.Count("DADU_3_Config"));
  EXPECT_EQ("紧凑型", db.Value("select description from DADU_3_Config where configName = "
                               "'Compact'",
                               "description"));
  EXPECT_EQ("Default", db.Value("select parentConfig from DADU_3_Config where configName = "
                                "'Compact'",
                                "parentConfig"));
  EXPECT_EQ((std::vector<std::string>{"\"Gap\" = 2", "\"D1@Distance1\" = \"Gap\" + 3"}),
            db.Column("select equation from DADU_3_Equation order by equIndex", "equation"));
  EXPECT_EQ("外壳", db.Value("select description from DADU_3_Feature where featName = "
                             "'Housing-1'",
                             "description"));
  // Every row as the export writes it: not flagged.
  for (const std::string& table : db.Tables()) {
    EXPECT_EQ(0, db.Count(table, "DADU_flag != 0")) << table;
  }
  // One picture per part or subassembly, named after it, in the work folder.
  std::vector<std::string> previews = db.Column(
      "select distinct previewBitmap from DADU_3_Componen where previewBitmap != '' order by 1",
      "previewBitmap");
  ASSERT_EQ(4u, previews.size());
  for (const std::string& preview : previews) {
    EXPECT_EQ((harbolt_ / "previews").string(), std::filesystem::path(preview).parent_path());
    EXPECT_TRUE(std::filesystem::is_regular_file(preview)) << preview;
  }
  EXPECT_TRUE(std::filesystem::exists(harbolt_ / "previews" / "Housing.bmp"));

  // A second export replaces the database.
  run = Export(model_, {"--db", "out.db", "--tables", "Config"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Config"}),
            TestDatabase(harbolt_ / "out.db").Tables());
  EXPECT_TRUE(Contains(run.out, "1 table, 2 rows: Config 2\n")) << run.out;
}

TEST_F(ExportCommandTest, ExportsTheListedTablesOfPartsAndDrawings) {
  RunResult run = Export(Sample("Housing.SLDPRT"),
                         {"--db", "part.db", "--tables", " Dimension , Feature,Dimension"});
  ASSERT_EQ(0, run.status) << run.err;
  EXPECT_TRUE(Contains(run.out, "Exported " + Sample("Housing.SLDPRT").string() +
                                    " into part.db.\n  2 tables, 18 rows: Dimension 7, "
                                    "Feature 11\n"))
      << run.out;
  TestDatabase part(harbolt_ / "part.db");
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Dimension", "DADU_3_Feature"}), part.Tables());
  EXPECT_EQ("120.0", part.Value("select dimValue from DADU_3_Dimension where dimFullName = "
                                "'D1@Sketch1'",
                                "dimValue"));

  run = Export(Sample("Gearbox.SLDDRW"), {"--db", "drawing.db"});
  ASSERT_EQ(0, run.status) << run.err;
  TestDatabase drawing(harbolt_ / "drawing.db");
  EXPECT_EQ(7u, drawing.Tables().size());
  EXPECT_EQ("RD1@Drawing View1",
            drawing.Value("select dimFullName from DADU_3_Dimension", "dimFullName"));
  // No work folder: no pictures.
  EXPECT_FALSE(Contains(run.out, "preview"));
}

TEST_F(ExportCommandTest, ExplainsMissingAndBrokenInputs) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  WriteFile("Broken.SLDPRT", "{\"type\": \"part\",\n");
  WriteFile("Wrong.SLDPRT", "{\"type\": \"assembly\"}");
  WriteFile("broken.xml", "<dd><tabs>");
  WriteFile("file.txt", "");
  const std::string dd = dictionary_.string();
  const std::string model = model_.string();
  const std::string folder = harbolt_.dir().string();
  const Case cases[] = {
      {{"export", "Nope.SLDASM", "--dd", dd, "--db", "x.db"},
       "harbolt export: the model file Nope.SLDASM does not exist\n"},
      {{"export", "Broken.SLDPRT", "--dd", dd, "--db", "x.db"},
       "harbolt export: the host cannot open the model:\n  " + folder +
           "/Broken.SLDPRT: line 2, column 1: broken JSON: "},
      {{"export", "Wrong.SLDPRT", "--dd", dd, "--db", "x.db"},
       "harbolt export: the host cannot open the model:\n  " + folder + "/Wrong.SLDPRT: "},
      {{"export", model, "--dd", "none.xml", "--db", "x.db"},
       "harbolt export: the dictionary none.xml does not exist\n"},
      {{"export", model, "--dd", "broken.xml", "--db", "x.db"},
       "harbolt export: the dictionary broken.xml is not well-formed XML (SetDD returned "
       "E_INVALIDARG)\n"},
      {{"export", model, "--dd", dd, "--db", "missing/x.db"},
       "harbolt export: cannot write the database missing/x.db: the folder " + folder +
           "/missing does not exist\n"},
      {{"export", model, "--dd", dd, "--db", "file.txt/x.db"},
       "harbolt export: cannot write the database file.txt/x.db: " + folder +
           "/file.txt is not a folder\n"},
      {{"export", model, "--dd", dd, "--db", folder},
       "harbolt export: cannot write the database " + folder + ": it is a folder\n"},
  };
  for (const Case& c : cases) {
    RunResult run = harbolt_.Run(c.args);
    EXPECT_EQ(1, run.status) << c.message;
    EXPECT_EQ("", run.out) << c.message;
    EXPECT_TRUE(run.err.starts_with(c.message)) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(harbolt_ / "x.db"));
}

TEST_F(ExportCommandTest, PassesOnTheAddinsErrorNumberAndDescription) {
  // A dictionary without the table "Componen".
  WriteFile("partial.xml",
            "<dd><tabs><tab name=\"Config\"><flds><fld name=\"configName\" dt=\"4\"/></flds>"
            "</tab></tabs></dd>");
  RunResult run = harbolt_.Run({"export", model_.string(), "--dd", "partial.xml", "--db", "x.db",
                                "--tables", "Config,Componen"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "harbolt export: RefreshTable returned S_FALSE: error -1: "
      "CSldToDb::CreateTable():tabNode is nothing\n"
      "The dictionary partial.xml has no <tab name=\"...\"> for one of the tables asked for "
      "(Config, Componen).\n",
      run.err);
  // The failed export was rolled back: the database holds no table.
  EXPECT_TRUE(TestDatabase(harbolt_ / "x.db").Tables().empty());

  // A dictionary whose columns the export cannot fill.
  WriteFile("odd.xml",
            "<dd><tabs><tab name=\"Config\"><flds><fld name=\"configName\" dt=\"4\"/></flds>"
            "</tab></tabs></dd>");
  run = harbolt_.Run(
      {"export", model_.string(), "--dd", "odd.xml", "--db", "x.db", "--tables", "Config"});
  EXPECT_EQ(1, run.status);
  EXPECT_TRUE(
      run.err.starts_with("harbolt export: RefreshTable returned S_FALSE: error -1: "
                          "CSldToDb::ExportConfig() error: "))
      << run.err;
}

TEST_F(ExportCommandTest, ShowsNoProgressWhenTheOutputIsAFile) {
  RunResult run = Export(model_, {"--db", "out.db"});
  ASSERT_EQ(0, run.status);
  EXPECT_FALSE(Contains(run.out, "\r"));
  EXPECT_FALSE(Contains(run.out, "exporting"));
}

}  // namespace
}  // namespace tools_test
