// The row literals and the row writer: exact statement texts, texts that
// cannot alter a statement, reals that read back exactly, insert-if-absent
// comparing column by column, and a failing insert that is logged and raised.
#include "export/row_writer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "db/db_connection.h"
#include "tests/export/export_test_support.h"

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

TEST_F(RowWriterTest, ARowBecomesOneInsertWithTheFlagColumn) {
  Write(u"x", 1);
  EXPECT_EQ(u"insert into 'DADU_3_T' (a,b,DADU_flag) values ('x',1,0)", writer_.lastStatement());
  // A second write of the same buffers appends no second flag.
  writer_.InsertRow();
  EXPECT_EQ(u"insert into 'DADU_3_T' (a,b,DADU_flag) values ('x',1,0)", writer_.lastStatement());
  EXPECT_EQ(u"a,b,DADU_flag", writer_.columns());
  EXPECT_EQ(u"'x',1,0", writer_.values());

  writer_.BeginRow();
  writer_.AddReal(u"c", 123.4567);
  writer_.InsertRow();
  EXPECT_EQ(u"insert into 'DADU_3_T' (c,DADU_flag) values (123.4567,0)", writer_.lastStatement());

  EXPECT_EQ(
      (std::vector<Row>{
          {"x", "1", "NULL", "0"}, {"x", "1", "NULL", "0"}, {"NULL", "NULL", "123.4567", "0"}}),
      Rows());
}

TEST_F(RowWriterTest, TextsAndRealsAreStoredExactly) {
  const std::u16string nasty = u"it's 100% \\ \"q\" '' 中文 \U0001F600";
  const std::u16string withNul(u"a\0'b", 4);
  const double reals[] = {123.4567, 0.1 + 0.2, 1.0 / 3, 1e-300, -0.0254, 6.02214076e23};
  for (double real : reals) {
    writer_.BeginRow();
    writer_.AddText(u"a", nasty);
    writer_.AddReal(u"c", real);
    writer_.InsertRow();
  }
  writer_.BeginRow();
  writer_.AddText(u"a", withNul);
  writer_.InsertRow();

  std::vector<Row> rows = Rows();
  ASSERT_EQ(7u, rows.size());
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(Utf8(nasty), rows[i][0]);
    char buffer[64];
    EXPECT_EQ(std::string(buffer, std::to_chars(buffer, buffer + 64, reals[i]).ptr), rows[i][2]);
  }
  EXPECT_EQ(std::string("a\0'b", 4), rows[6][0]);
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
            writer.lastStatement());
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

}  // namespace
}  // namespace export_test
