// The row writer: stored values and their types, insert-if-absent, a failing insert.
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

class RowWriterTest : public ::testing::Test {
 protected:
  RowWriterTest() : drive_("HARBOLT_DRIVE_C", (dir_.path() / "drive_c").c_str()) {
    db_.open((dir_ / "rows.db").u16string());
    db_.execute(u"create table 'DADU_3_T' (a Text,b Integer,c Real,DADU_flag Integer)");
    writer_.SetTable(u"DADU_3_T");
  }
  std::vector<Row> Rows(const std::string& sql = "select * from DADU_3_T order by rowid") {
    return Query(dir_ / "rows.db", sql);
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

// Every kind of value in a column of every affinity: bound and as statement text, the same
// types and values are stored (reals within one unit in the last place).
TEST_F(RowWriterTest, BoundValuesStoreWhatTheirLiteralsStored) {
  const double tiny = std::numeric_limits<double>::denorm_min();
  const double kReals[] = {0.0254,  10,      -3,        1e6,       1234567,        1e16,
                           1e17,    1e20,    0.1 + 0.2, 1.0 / 3,   -0.0,           0,
                           DBL_MAX, DBL_MIN, -DBL_MAX,  HUGE_VAL,  -HUGE_VAL,      std::nan(""),
                           1e-7,    -2.5,    123.4567,  123456789, 123456789012.5, tiny};
  const int64_t kIntegers[] = {0, -1, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN};
  const std::u16string kTexts[] = {u"",
                                   u"x",
                                   u"it's '' 中文 \U0001F600 x'); drop table t; --",
                                   std::u16string(u"a\0b", 3),
                                   std::u16string(1, char16_t(0xD800)) + u"'",
                                   std::u16string(1, char16_t(0xDC00)) + u"x",
                                   u"12",
                                   u"1e3"};
  const std::u16string layout = u"(t Text,i Integer,r Real,n,DADU_flag Integer)";
  db_.execute(u"create table 'DADU_3_Bound' " + layout);
  db_.execute(u"create table 'DADU_3_Text' " + layout);
  RowWriter text(&db_, RowWriter::Statements::kText);
  db_.execute(u"begin");
  for (RowWriter* writer : {&writer_, &text}) {
    writer->SetTable(writer == &text ? u"DADU_3_Text" : u"DADU_3_Bound");
    for (const char16_t* column : {u"t", u"i", u"r", u"n"}) {
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
  db_.execute(u"commit");
  const std::string typed = "select typeof(t),t,typeof(i),i,typeof(r),r,typeof(n),n from ";
  const std::vector<Row> literal = Rows(typed + "DADU_3_Text");
  const std::vector<Row> bound = Rows(typed + "DADU_3_Bound");
  ASSERT_EQ(4 * (std::size(kReals) + std::size(kIntegers) + std::size(kTexts)), bound.size());
  ASSERT_EQ(literal.size(), bound.size());
  for (size_t i = 0; i < bound.size(); ++i) {
    for (size_t c = 0; c < 8; c += 2) {
      if (literal[i][c] == "real" && bound[i][c] == "real") {
        const double a = std::strtod(literal[i][c + 1].c_str(), nullptr);
        const double b = std::strtod(bound[i][c + 1].c_str(), nullptr);
        EXPECT_TRUE(a == b || std::nextafter(a, b) == b) << i << ": " << literal[i][c + 1];
      } else {
        EXPECT_EQ(literal[i][c] + literal[i][c + 1], bound[i][c] + bound[i][c + 1]) << i;
      }
    }
  }
  // SQLite keeps no sign for zero: a Real column reads 0.0, an untyped one 0.
  db_.execute(u"create table 'DADU_3_Z' (r Real,n,DADU_flag Integer)");
  writer_.SetTable(u"DADU_3_Z");
  writer_.AddReal(u"r", -0.0);
  writer_.AddReal(u"n", -0.0);
  writer_.InsertRow();
  EXPECT_EQ((std::vector<Row>{{"real", "0", "integer", "0"}}),
            Rows("select typeof(r),r,typeof(n),n from DADU_3_Z"));
}

TEST_F(RowWriterTest, InsertIfAbsentSkipsOnlyEqualRows) {
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
  // Texts that differ only above ASCII or in length beyond one length byte.
  const std::u16string texts[] = {u"ab",
                                  u"\u00e9",
                                  u"\u00e8",
                                  u"\u4e2d",
                                  u"\u4e2e",
                                  u"\u0080",
                                  std::u16string(u"\0", 1),
                                  u"\xd800",
                                  std::u16string(200, u'x'),
                                  std::u16string(201, u'x')};
  for (const std::u16string& text : texts) Write(text, 1, true);
  for (const std::u16string& text : texts) Write(text, 1, true);
  Write(u"\xdc00", 1, true);  // another lone surrogate: the same stored U+FFFD
  std::vector<Row> rows = Rows();
  ASSERT_EQ(std::size(texts), rows.size());
  EXPECT_EQ(Utf8(u"\u4e2e"), rows[4][0]);
  EXPECT_EQ(Utf8(u"\ufffd"), rows[7][0]);
  EXPECT_EQ(std::string(201, 'x'), rows[9][0]);
}

TEST_F(RowWriterTest, AFailingInsertIsLoggedAndRaisedWithSqlitesMessage) {
  std::filesystem::create_directories(dir_.path() / "drive_c" / "1");
  writer_.SetTable(u"DADU_3_Missing");
  writer_.BeginRow();
  writer_.AddText(u"a", u"x");
  writer_.AddReal(u"c", 0.1);
  writer_.AddInteger(u"b", -3);
  try {
    writer_.InsertRow();
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ("SQLITE_ERROR[1]: no such table: DADU_3_Missing", error.what());
  }
  std::string log = testing_support::ReadFile(dir_.path() / "drive_c" / "1" / "dov_cax_log.txt");
  EXPECT_NE(
      std::string::npos,
      log.find(
          ": D: exec sql [insert into 'DADU_3_Missing' (a,c,b,DADU_flag) values ('x',0.1,-3,0)] "
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

// Bound reals read back bit for bit: random doubles, a quarter of them subnormal, the extremes.
TEST_F(RowWriterTest, EveryRealReadsBackExactly) {
  std::mt19937_64 random(20261207);
  std::vector<double> reals = {DBL_MAX, -DBL_MAX, DBL_MIN,
                               std::numeric_limits<double>::denorm_min(), 0.1 + 0.2};
  while (reals.size() < 100000) {
    uint64_t bits = random();
    if (reals.size() % 4 == 0) bits &= 0x800FFFFFFFFFFFFFull;  // exponent bits zero
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
  const std::vector<Row> rows = Rows("select c from DADU_3_T order by rowid");
  ASSERT_EQ(reals.size(), rows.size());
  size_t exact = 0;
  for (size_t i = 0; i < rows.size(); ++i) exact += Shortest(reals[i]) == rows[i][0];
  EXPECT_EQ(reals.size(), exact);
}

// Whole exports store the same rows with the same types, bound or written as text.
class ExportStatementsTest : public ExportTest {
 protected:
  void ExportBothWays(const std::string& what) {
    ComPtr<IHostApplication> application = testing_support::BoundApplication(host_);
    const std::filesystem::path files[] = {dir_ / "bound.db", dir_ / "text.db"};
    const RowWriter::Statements forms[] = {RowWriter::Statements::kBound,
                                           RowWriter::Statements::kText};
    for (int f = 0; f < 2; ++f) {
      std::filesystem::remove(files[f]);
      DbConnection connection;
      connection.open(files[f].u16string());
      connection.execute(u"begin transaction");
      CSldToDb exporter(application.Get(), &connection, dictionary_, workDir_, forms[f]);
      ASSERT_TRUE(exporter.Export(u"Feature,Dimension,Equation,Config,Parameter,Componen,property"))
          << what << ": " << Utf8(exporter.errDescription());
      connection.execute(u"commit transaction");
    }
    size_t stored = 0;
    for (const char* table :
         {"Feature", "Dimension", "Equation", "Config", "Parameter", "Componen", "property"}) {
      const std::string sql = std::string("select * from DADU_3_") + table + " order by rowid";
      const std::vector<Row> bound = Query(files[0], sql, true);
      const std::vector<Row> text = Query(files[1], sql, true);
      ASSERT_EQ(text.size(), bound.size()) << what << " " << table;
      for (size_t r = 0; r < bound.size(); ++r) {
        stored += bound[r].size();
        for (size_t i = 0; i < bound[r].size(); ++i) {
          // SQLite reads a few shortest literals one unit in the last place off.
          const std::string& t = text[r][i];
          const std::string& b = bound[r][i];
          const bool reals = t.rfind("real:", 0) == 0 && b.rfind("real:", 0) == 0;
          const double x = reals ? std::strtod(t.c_str() + 5, nullptr) : 0;
          const double y = reals ? std::strtod(b.c_str() + 5, nullptr) : 0;
          EXPECT_TRUE(t == b || (reals && std::nextafter(x, y) == y))
              << what << " " << table << ", row " << r << ": " << t << " / " << b;
        }
      }
    }
    EXPECT_GT(stored, 50u) << what;
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
