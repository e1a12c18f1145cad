#include "db/db_query.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "db/db_connection.h"
#include "db/db_exception.h"
#include "tests/db/db_test_helpers.h"
#include "tests/support/temp_dir.h"

namespace {

using db_testing::Raised;

constexpr char16_t kNoStatement[] = u"DBLAYER_ERROR[1000]: Null Virtual Machine pointer";

class DbQueryTest : public ::testing::Test {
 protected:
  DbQueryTest() {
    db_.open(db_testing::DbPath(dir_, "test.db"));
    db_.execute(
        u"CREATE TABLE part(id INTEGER PRIMARY KEY, featName TEXT, qty INTEGER, weight REAL, "
        u"note TEXT)");
    db_.execute(u"INSERT INTO part VALUES(1, 'Boss', 4, 2.5, '12')");
    db_.execute(u"INSERT INTO part VALUES(2, 'Cut', NULL, NULL, NULL)");
    db_.execute(u"INSERT INTO part VALUES(3, 'Fillet', 7, 0.125, 'x')");
  }
  static void ExpectNoStatement(DbQuery& cursor) {
    int i = 0;
    for (const std::function<void()>& use : std::vector<std::function<void()>>{
             [&] { cursor.atEnd(); }, [&] { cursor.next(); }, [&] { cursor.columnCount(); },
             [&] { cursor.columnIndex(u"id"); }, [&] { cursor.columnType(0); },
             [&] { cursor.textByName(u"id"); }, [&] { cursor.intByName(u"id"); },
             [&] { cursor.realByName(u"id"); }}) {
      EXPECT_EQ(Raised(use).message(), kNoStatement) << "use " << i++;
    }
    cursor.finalize();  // nothing left to finalize
  }
  testing_support::TempDir dir_;
  DbConnection db_;
};

TEST_F(DbQueryTest, WalksTheRowsInOrder) {
  DbQuery empty = db_.query(u"SELECT id, featName, qty FROM part WHERE id > 100");
  EXPECT_TRUE(empty.atEnd());
  EXPECT_EQ(empty.columnCount(), 3);
  empty.next();
  EXPECT_TRUE(empty.atEnd());
  empty.finalize();
  DbQuery rows = db_.query(u"SELECT featName, qty, weight FROM part ORDER BY id");
  std::u16string names;
  int quantities = 0;
  double weights = 0.0;
  while (!rows.atEnd()) {
    names += rows.textByName(u"featName") + u";";
    quantities += rows.intByName(u"qty");
    weights += rows.realByName(u"weight");
    rows.next();
  }
  EXPECT_EQ(names, u"Boss;Cut;Fillet;");
  EXPECT_EQ(quantities, 11);
  EXPECT_DOUBLE_EQ(weights, 2.625);
  // Past the end it stays at the end rather than starting over.
  rows.next();
  EXPECT_TRUE(rows.atEnd());
  rows.finalize();
  EXPECT_TRUE(db_.close());
}

TEST_F(DbQueryTest, ReadsOnlyTheFirstStatementOfTheText) {
  DbQuery rows = db_.query(u"SELECT 1 AS a; SELECT 2 AS a");
  EXPECT_EQ(rows.intByName(u"a"), 1);
  rows.next();
  EXPECT_TRUE(rows.atEnd());
  // A text without a statement gives a cursor without one.
  DbQuery none = db_.query(u"  ");
  ExpectNoStatement(none);
}

TEST_F(DbQueryTest, FindsColumnsIgnoringAsciiCase) {
  DbQuery rows = db_.query(u"SELECT id, featName, 1 AS dup, 2 AS DUP, 3 AS \"Größe\" FROM part");
  EXPECT_EQ(rows.columnIndex(u"featName"), 1);
  EXPECT_EQ(rows.columnIndex(u"featname"), 1);
  EXPECT_EQ(rows.columnIndex(u"FEATNAME"), 1);
  EXPECT_EQ(rows.columnIndex(u"Dup"), 2);  // the first match wins
  EXPECT_EQ(rows.columnIndex(u"GRößE"), 4);
  DbException unknown = Raised([&] { rows.columnIndex(u"x"); });
  EXPECT_EQ(unknown.code(), 1000);
  EXPECT_EQ(unknown.message(), u"DBLAYER_ERROR[1000]: Invalid field name requested [x]");
  // Only ASCII letters are folded.
  EXPECT_EQ(Raised([&] { rows.columnIndex(u"GRÖßE"); }).message(),
            u"DBLAYER_ERROR[1000]: Invalid field name requested [GRÖßE]");
  EXPECT_EQ(Raised([&] { rows.columnIndex(u""); }).message(),
            u"DBLAYER_ERROR[1000]: Invalid field name requested []");
  EXPECT_EQ(Raised([&] { rows.textByName(u"featNam"); }).message(),
            u"DBLAYER_ERROR[1000]: Invalid field name requested [featNam]");
}

TEST_F(DbQueryTest, ColumnTypesAndTheirRange) {
  DbQuery rows = db_.query(u"SELECT id, weight, featName, x'00ff', note FROM part WHERE id = 2");
  // integer, NULL, text, blob, NULL
  std::string types;
  for (int i = 0; i < 5; ++i) types += std::to_string(rows.columnType(i));
  EXPECT_EQ(types, "15345");
  for (int bad : {-1, 5, 1000}) {
    for (const std::function<void()>& read : std::vector<std::function<void()>>{
             [&] { rows.columnType(bad); }, [&] { rows.textAt(bad); }, [&] { rows.intAt(bad); }}) {
      DbException e = Raised(read);
      EXPECT_EQ(e.code(), 1000);
      EXPECT_EQ(e.message(), u"DBLAYER_ERROR[1000]: Invalid field index requested");
    }
  }
  EXPECT_EQ(rows.textAt(2), rows.textByName(u"featName"));
  EXPECT_EQ(rows.intAt(0), 2);
  EXPECT_EQ(db_.query(u"SELECT weight FROM part WHERE id = 1").columnType(0), 2);  // real
}

TEST_F(DbQueryTest, ReadsNullsAsEmptyAndConvertsLikeSqlite) {
  DbQuery empty = db_.query(u"SELECT qty, weight, note FROM part WHERE id = 2");
  EXPECT_EQ(empty.textByName(u"note"), u"");
  EXPECT_EQ(empty.intByName(u"qty"), 0);
  EXPECT_EQ(empty.realByName(u"weight"), 0.0);
  EXPECT_EQ(empty.textByName(u"qty"), u"");
  DbQuery full = db_.query(u"SELECT qty, weight, note FROM part WHERE id = 1");
  EXPECT_EQ(full.intByName(u"note"), 12);  // the text '12'
  EXPECT_EQ(full.realByName(u"note"), 12.0);
  EXPECT_EQ(full.textByName(u"qty"), u"4");
  EXPECT_EQ(full.textByName(u"weight"), u"2.5");
  EXPECT_EQ(full.intByName(u"weight"), 2);
}

TEST_F(DbQueryTest, AssignmentMovesTheStatement) {
  DbQuery target = db_.query(u"SELECT featName FROM part WHERE id = 1");
  DbQuery source = db_.query(u"SELECT featName, qty FROM part WHERE id = 3");
  target = std::move(source);
  EXPECT_EQ(target.textByName(u"featName"), u"Fillet");
  EXPECT_EQ(target.columnCount(), 2);
  ExpectNoStatement(source);
  DbQuery taken(std::move(target));
  EXPECT_EQ(taken.intByName(u"qty"), 7);
  ExpectNoStatement(target);
  // An exhausted cursor hands over its end too.
  DbQuery ended = db_.query(u"SELECT id FROM part WHERE id > 100");
  taken = std::move(ended);
  EXPECT_TRUE(taken.atEnd());
  EXPECT_EQ(taken.columnCount(), 1);
  DbQuery unset;
  ExpectNoStatement(unset);
  unset = db_.query(u"SELECT id FROM part WHERE id = 2");
  EXPECT_EQ(unset.intByName(u"id"), 2);
  // Every replaced statement was finalized: the connection closes cleanly.
  taken.finalize();
  unset.finalize();
  ExpectNoStatement(unset);
  EXPECT_TRUE(db_.close());
}

TEST_F(DbQueryTest, FailedNextLeavesNoStatement) {
  db_.execute(u"CREATE TABLE n(id INTEGER PRIMARY KEY, v INTEGER)");
  db_.execute(u"INSERT INTO n VALUES(1, -5)");
  db_.execute(u"INSERT INTO n VALUES(2, -9223372036854775808)");
  DbQuery rows = db_.query(u"SELECT abs(v) AS v FROM n ORDER BY id");
  EXPECT_EQ(rows.intByName(u"v"), 5);
  DbException e = Raised([&] { rows.next(); });
  EXPECT_EQ(e.code(), 1);
  EXPECT_EQ(e.message(), u"SQLITE_ERROR[1]: integer overflow");
  ExpectNoStatement(rows);
  EXPECT_TRUE(db_.close());
}

TEST_F(DbQueryTest, KeepsZeroCharacters) {
  db_.execute(u"INSERT INTO part VALUES(4, 'a'||char(0)||'b', 0, 0, '')");
  DbQuery row = db_.query(u"SELECT featName FROM part WHERE id=4");
  EXPECT_EQ(row.textByName(u"featName"), std::u16string(u"a\0b", 3));
}

}  // namespace
