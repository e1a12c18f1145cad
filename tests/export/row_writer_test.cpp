// The row literals and the row writer: texts that cannot alter a statement,
// bound values that store what their literals stored, reals that read back
// exactly, insert-if-absent comparing column by column, and a failing insert
// that is logged with its statement text and raised.
#include "export/row_writer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>

#include "db/db_connection.h"
#include "export/sld_to_db.h"
#include "tests/export/export_test_support.h"
#include "tools/harbolt/model_generator.h"

namespace export_test {
namespace {

TEST(SqlLiteralTest, TextsAreQuotedSoNoTextEndsTheLiteral) {
  EXPECT_EQ(u"''", SqlText(u""));
  EXPECT_EQ(u"'Boss-Extrude1'", SqlText(u"Boss-Extrude1"));
  EXPECT_EQ(u"'it''s'", SqlText(u"it's"));
  EXPECT_EQ(u"''''''", SqlText(u"''"));
  EXPECT_EQ(u"'x''); drop table t; --'", SqlText(u"x'); drop table t; --"));
  EXPECT_EQ(u"'100% \\ \"D1@Sketch1\" 中文'", SqlText(u"100% \\ \"D1@Sketch1\" 中文"));
  EXPECT_EQ(u"'a'||char(0)||'b'", SqlText(std::u16string(u"a\0b", 3)));
  // A surrogate pair stays; an unpaired surrogate, which SQLite would pair
  // with the quote after it, becomes U+FFFD.
  EXPECT_EQ(u"'\U0001F600'", SqlText(u"\U0001F600"));
  EXPECT_EQ(u"'\uFFFD'''", SqlText(std::u16string(1, char16_t(0xD800)) + u"'"));
  EXPECT_EQ(u"'\uFFFDx'", SqlText(std::u16string(1, char16_t(0xDC00)) + u"x"));
}

TEST(SqlLiteralTest, IntegersAreDecimal) {
  EXPECT_EQ(u"0", SqlInteger(0));
  EXPECT_EQ(u"-1", SqlInteger(-1));
  EXPECT_EQ(u"2147483647", SqlInteger(INT32_MAX));
  EXPECT_EQ(u"-2147483648", SqlInteger(INT32_MIN));
}

TEST(SqlLiteralTest, RealsAreTheShortestTextThatReadsBackTheSameDouble) {
  // Where "%g" is exact, its text.
  EXPECT_EQ(u"0.0254", SqlReal(0.0254));
  EXPECT_EQ(u"10", SqlReal(10));
  EXPECT_EQ(u"0", SqlReal(0));
  EXPECT_EQ(u"-2.5", SqlReal(-2.5));
  EXPECT_EQ(u"1e+20", SqlReal(1e20));
  EXPECT_EQ(u"1e-07", SqlReal(1e-7));
  // Where "%g" rounds, more digits.
  EXPECT_EQ(u"123.4567", SqlReal(123.4567));
  EXPECT_EQ(u"123456789", SqlReal(123456789));
  EXPECT_EQ(u"0.30000000000000004", SqlReal(0.1 + 0.2));
  EXPECT_EQ(u"0.3333333333333333", SqlReal(1.0 / 3));
  EXPECT_EQ(u"1.7976931348623157e+308", SqlReal(DBL_MAX));
  EXPECT_EQ(u"4.94066e-324", SqlReal(std::numeric_limits<double>::denorm_min()));
  EXPECT_EQ(u"2.2250738585072014e-308", SqlReal(DBL_MIN));
  EXPECT_EQ(u"9e999", SqlReal(HUGE_VAL));
  EXPECT_EQ(u"-9e999", SqlReal(-HUGE_VAL));
  EXPECT_EQ(u"NULL", SqlReal(std::nan("")));
}

// Reads the type and the value of every column of every row of a query, as
// SQLite stores them: "integer:10", "real:0x3F9A027525460AA6" (the bits),
// "text:...", "null".
std::vector<std::string> TypedValues(const std::filesystem::path& file, const std::string& sql) {
  std::vector<std::string> values;
  sqlite3* db = nullptr;
  sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      switch (sqlite3_column_type(statement, i)) {
        case SQLITE_INTEGER:
          values.push_back("integer:" + std::to_string(sqlite3_column_int64(statement, i)));
          break;
        case SQLITE_FLOAT: {
          double real = sqlite3_column_double(statement, i);
          uint64_t bits = 0;
          std::memcpy(&bits, &real, sizeof bits);
          char text[32];
          std::snprintf(text, sizeof text, "real:0x%016llX", static_cast<unsigned long long>(bits));
          values.push_back(text);
          break;
        }
        case SQLITE_NULL:
          values.push_back("null");
          break;
        default:
          values.push_back("text:" + Database::Value(statement, i));
      }
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return values;
}

// Two lists of TypedValues equal, but for reals one unit in the last place
// apart: SQLite reads a few shortest literals that far off.
void ExpectSameStoredValues(const std::vector<std::string>& literal,
                            const std::vector<std::string>& bound, const std::string& what) {
  ASSERT_EQ(literal.size(), bound.size()) << what;
  for (size_t i = 0; i < bound.size(); ++i) {
    if (literal[i] == bound[i]) continue;
    const bool reals = literal[i].rfind("real:", 0) == 0 && bound[i].rfind("real:", 0) == 0;
    const auto bits = [](const std::string& value) {
      return std::stoull(value.substr(5), nullptr, 16);
    };
    EXPECT_TRUE(reals && (bits(literal[i]) - bits(bound[i]) + 1) <= 2)
        << what << ", value " << i << ": " << literal[i] << " written as text, " << bound[i]
        << " bound";
  }
}

class RowWriterTest : public ::testing::Test {
 protected:
  RowWriterTest() : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()) {
    db_.open((dir_ / "rows.db").u16string());
    db_.execute(u"create table 'DADU_3_T' (a Text,b Integer,c Real,DADU_flag Integer)");
    writer_.SetTable(u"DADU_3_T");
  }
  std::vector<Row> Rows() {
    return Database(dir_ / "rows.db").Query("select * from DADU_3_T order by rowid");
  }
  void Write(std::u16string_view a, int64_t b, bool once = false) {
    writer_.BeginRow();
    writer_.AddText(u"a", a);
    writer_.AddInteger(u"b", b);
    once ? writer_.InsertRowIfAbsent() : writer_.InsertRow();
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv drive_;
  DbConnection db_;
  RowWriter writer_{&db_};
};

// The values a row may hold, each written into a column of every affinity
// through the bound statements and as the statement text the writer ran
// before: both forms store the same types and values.
TEST_F(RowWriterTest, BoundValuesStoreWhatTheirLiteralsStored) {
  const double kReals[] = {
      0.0254,    10,        -3,           1e6,
      1234567,   1e16,      1e17,         1e20,
      0.1 + 0.2, 1.0 / 3,   -0.0,         0,
      DBL_MAX,   -DBL_MAX,  DBL_MIN,      std::numeric_limits<double>::denorm_min(),
      HUGE_VAL,  -HUGE_VAL, std::nan(""), 123456789012.5};
  const int64_t kIntegers[] = {0, -1, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN};
  const std::u16string kTexts[] = {u"",
                                   u"x",
                                   u"it's '' 中文 \U0001F600",
                                   std::u16string(u"a\0b", 3),
                                   std::u16string(1, char16_t(0xD800)) + u"'",
                                   u"12",
                                   u"1e3"};
  const char16_t* const kColumns[] = {u"t", u"i", u"r", u"n"};
  const std::u16string layout = u"(t Text,i Integer,r Real,n,DADU_flag Integer)";
  db_.execute(u"create table 'DADU_3_Bound' " + layout);
  db_.execute(u"create table 'DADU_3_Text' " + layout);
  RowWriter text(&db_, RowWriter::Statements::kText);
  for (RowWriter* writer : {&writer_, &text}) {
    writer->SetTable(writer == &text ? u"DADU_3_Text" : u"DADU_3_Bound");
    for (const char16_t* column : kColumns) {
      for (double real : kReals) {
        writer->BeginRow();
        writer->AddReal(column, real);
        writer->InsertRow();
      }
      for (int64_t integer : kIntegers) {
        writer->BeginRow();
        writer->AddInteger(column, integer);
        writer->InsertRow();
      }
      for (const std::u16string& value : kTexts) {
        writer->BeginRow();
        writer->AddText(column, value);
        writer->InsertRow();
      }
    }
  }
  ExpectSameStoredValues(TypedValues(dir_ / "rows.db", "select * from DADU_3_Text order by rowid"),
                         TypedValues(dir_ / "rows.db", "select * from DADU_3_Bound order by rowid"),
                         "values of every kind in every affinity");
}

// Reals are bound as doubles: each reads back bit for bit, where a literal
// could be read one unit in the last place off.
TEST_F(RowWriterTest, EveryRealReadsBackExactly) {
  std::mt19937_64 random(20261207);
  std::vector<double> reals = {DBL_MAX,
                               -DBL_MAX,
                               DBL_MIN,
                               std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::denorm_min(),
                               0.1 + 0.2};
  while (reals.size() < 100000) {
    uint64_t bits = random();
    // A quarter subnormal: exponent bits zero.
    if (reals.size() % 4 == 0) bits &= 0x800FFFFFFFFFFFFFull;
    double real = 0;
    std::memcpy(&real, &bits, sizeof real);
    if (std::isfinite(real)) reals.push_back(real);
  }
  db_.execute(u"begin");
  for (double real : reals) {
    writer_.BeginRow();
    writer_.AddReal(u"c", real);
    writer_.InsertRow();
  }
  db_.execute(u"commit");
  sqlite3* db = nullptr;
  sqlite3_open_v2((dir_ / "rows.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "select c from DADU_3_T order by rowid", -1, &statement, nullptr);
  size_t exact = 0;
  for (double real : reals) {
    if (sqlite3_step(statement) != SQLITE_ROW) break;
    exact += sqlite3_column_double(statement, 0) == real;
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  EXPECT_EQ(reals.size(), exact);

  // Signed zero: its literal is the integer 0, and SQLite keeps no sign for
  // it, bound or not: a Real column reads 0.0, an untyped one the integer 0.
  db_.execute(u"create table 'DADU_3_Z' (r Real,n,DADU_flag Integer)");
  writer_.SetTable(u"DADU_3_Z");
  writer_.AddReal(u"r", -0.0);
  writer_.AddReal(u"n", -0.0);
  writer_.InsertRow();
  EXPECT_EQ((std::vector<std::string>{"real:0x0000000000000000", "integer:0", "integer:0"}),
            TypedValues(dir_ / "rows.db", "select * from DADU_3_Z"));
}

TEST_F(RowWriterTest, ARowIsWrittenWithTheFlagColumn) {
  Write(u"x", 1);
  // A second write of the same buffers appends no second flag.
  writer_.InsertRow();
  EXPECT_EQ(u"insert into 'DADU_3_T' (a,b,DADU_flag) values ('x',1,0)", writer_.statementText());
  writer_.BeginRow();
  writer_.AddReal(u"c", 123.4567);
  writer_.InsertRow();
  EXPECT_EQ(
      (std::vector<Row>{
          {"x", "1", "NULL", "0"}, {"x", "1", "NULL", "0"}, {"NULL", "NULL", "123.4567", "0"}}),
      Rows());
}

TEST_F(RowWriterTest, InsertIfAbsentComparesColumnByColumn) {
  Write(u"ab", 1, true);
  Write(u"a", 11, true);  // joined, "ab" 1 and "a" 11 read the same
  Write(u"ab", 1, true);  // equal: skipped
  EXPECT_EQ((std::vector<Row>{{"ab", "1", "NULL", "0"}, {"a", "11", "NULL", "0"}}), Rows());

  // Other columns with the same values make another row.
  writer_.BeginRow();
  writer_.AddText(u"a", u"ab");
  writer_.InsertRowIfAbsent();
  EXPECT_EQ(3u, Rows().size());

  // Per table; and forgotten once the table was emptied.
  db_.execute(u"create table 'DADU_3_U' (a Text,b Integer,DADU_flag Integer)");
  writer_.SetTable(u"DADU_3_U");
  Write(u"ab", 1, true);
  writer_.SetTable(u"DADU_3_T");
  Write(u"ab", 1, true);
  EXPECT_EQ(3u, Rows().size());
  db_.execute(u"delete from DADU_3_T");
  writer_.ForgetRows(u"DADU_3_T");
  Write(u"ab", 1, true);
  EXPECT_EQ((std::vector<Row>{{"ab", "1", "NULL", "0"}}), Rows());
}

TEST_F(RowWriterTest, AFailingInsertIsLoggedAndRaisedWithSqlitesMessage) {
  std::filesystem::create_directories(dir_.path() / "drive_c" / "1");
  writer_.SetTable(u"DADU_3_Missing");
  writer_.BeginRow();
  writer_.AddText(u"a", u"x");
  try {
    writer_.InsertRow();
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ("SQLITE_ERROR[1]: no such table: DADU_3_Missing", error.what());
  }
  std::string log = testing_support::ReadFile(dir_.path() / "drive_c" / "1" / "dov_cax_log.txt");
  EXPECT_NE(std::string::npos,
            log.find(": D: exec sql [insert into 'DADU_3_Missing' (a,DADU_flag) values ('x',0)] "
                     "error: SQLITE_ERROR[1]: no such table: DADU_3_Missing \n\n"))
      << log;

  // Insert-if-absent remembers only rows that were written.
  writer_.SetTable(u"DADU_3_T");
  writer_.BeginRow();
  writer_.AddText(u"nope", u"x");
  EXPECT_THROW(writer_.InsertRowIfAbsent(), std::runtime_error);
  db_.execute(u"alter table DADU_3_T add column nope Text");
  writer_.InsertRowIfAbsent();
  EXPECT_EQ(1u, Rows().size());
}

TEST(RowWriterWithoutDatabaseTest, StatementsAreOnlyComposed) {
  RowWriter writer(nullptr);
  writer.SetTable(u"DADU_3_property");
  writer.AddText(u"a", u"x");
  writer.AddInteger(u"b", 1);
  writer.InsertRowIfAbsent();
  EXPECT_EQ(u"insert into 'DADU_3_property' (a,b,DADU_flag) values ('x',1,0)",
            writer.statementText());
  EXPECT_EQ(u"DADU_3_property", writer.tableName());
}

TEST_F(RowWriterTest, InsertIfAbsentTellsApartTextsOfAnyCodeUnits) {
  // Texts that differ only above ASCII or in length beyond one length byte.
  const std::u16string texts[] = {
      u"\u00e9",
      u"\u00e8",
      u"\u4e2d",
      u"\u4e2e",
      u"\u0080",
      std::u16string(u"\0", 1),
      u"\xd800",
      std::u16string(200, u'x'),
      std::u16string(201, u'x'),
  };
  for (const std::u16string& text : texts) Write(text, 1, true);
  for (const std::u16string& text : texts) Write(text, 1, true);  // all equal: skipped
  // Another lone surrogate is stored as the same U+FFFD: the same row.
  Write(u"\xdc00", 1, true);
  std::vector<Row> rows = Rows();
  ASSERT_EQ(std::size(texts), rows.size());
  EXPECT_EQ(Utf8(u"\u00e9"), rows[0][0]);
  EXPECT_EQ(Utf8(u"\u4e2e"), rows[3][0]);
  EXPECT_EQ(Utf8(u"\ufffd"), rows[6][0]);
  EXPECT_EQ(std::string(201, 'x'), rows[8][0]);
}

// Whole exports, of the samples and of a generated model, store the same
// rows with the same types whether the rows are bound or written as text.
class ExportStatementsTest : public ExportTest {
 protected:
  void ExportBothWays(const std::string& what) {
    const std::u16string kAll = u"Feature,Dimension,Equation,Config,Parameter,Componen,property";
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
    for (auto form : {RowWriter::Statements::kBound, RowWriter::Statements::kText}) {
      const std::filesystem::path file = Database(form);
      std::filesystem::remove(file);
      DbConnection connection;
      connection.open(file.u16string());
      connection.execute(u"begin transaction");
      CSldToDb exporter(application.Get(), &connection, dictionary_, workDir_, form);
      ASSERT_TRUE(exporter.Export(kAll)) << what << ": " << Utf8(exporter.errDescription());
      connection.execute(u"commit transaction");
    }
    size_t stored = 0;
    for (const char* table :
         {"Feature", "Dimension", "Equation", "Config", "Parameter", "Componen", "property"}) {
      const std::string sql = std::string("select * from DADU_3_") + table + " order by rowid";
      stored += TypedValues(Database(RowWriter::Statements::kBound), sql).size();
      ExpectSameStoredValues(TypedValues(Database(RowWriter::Statements::kText), sql),
                             TypedValues(Database(RowWriter::Statements::kBound), sql),
                             what + " " + table);
    }
    EXPECT_GT(stored, 50u) << what;
  }
  std::filesystem::path Database(RowWriter::Statements form) const {
    return dir_ / (form == RowWriter::Statements::kText ? "text.db" : "bound.db");
  }
};

TEST_F(ExportStatementsTest, BoundAndTextFormsStoreTheSameRows) {
  for (const char* sample : {"Housing.SLDPRT", "Gearbox.SLDASM", "Gearbox.SLDDRW"}) {
    Open(sample);
    ExportBothWays(sample);
  }
  modelgen::ModelSize size;
  size.parameters = 6;
  size.properties = 6;
  host_.Open(modelgen::ModelGenerator(size).Write(dir_ / "generated").top);
  ExportBothWays("generated");
}

}  // namespace
}  // namespace export_test
