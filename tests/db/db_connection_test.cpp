#include "db/db_connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "db/db_exception.h"
#include "tests/db/db_test_helpers.h"
#include "tests/support/temp_dir.h"

namespace {

using db_testing::DbPath;
using db_testing::Raised;
using namespace std::chrono_literals;

// A second, plain SQLite connection to the same file, playing another process.
class OtherConnection {
 public:
  explicit OtherConnection(const std::u16string& path) { sqlite3_open16(path.c_str(), &db_); }
  ~OtherConnection() { sqlite3_close(db_); }
  int Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

 private:
  sqlite3* db_ = nullptr;
};

class DbConnectionTest : public ::testing::Test {
 protected:
  std::u16string Path(const std::string& name = "test.db") const { return DbPath(dir_, name); }
  void OpenWithTable(DbConnection& db) {
    db.open(Path());
    db.execute(u"CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE)");
  }
  static int Rows(DbConnection& db) {
    return db.query(u"SELECT count(*) AS n FROM t").intByName(u"n");
  }
  testing_support::TempDir dir_;
};

TEST_F(DbConnectionTest, StatementsWithoutDatabaseRaise) {
  DbConnection db;
  EXPECT_FALSE(db.isOpen());
  EXPECT_EQ(db.busyTimeoutMs(), 60000);
  EXPECT_EQ(DbConnection(50).busyTimeoutMs(), 50);
  DbException e = Raised([&] { db.execute(u"CREATE TABLE t(a)"); });
  EXPECT_EQ(e.code(), 1000);
  EXPECT_EQ(e.message(), u"DBLAYER_ERROR[1000]: Database not open");
  EXPECT_EQ(Raised([&] { db.query(u"SELECT 1"); }).message(),
            u"DBLAYER_ERROR[1000]: Database not open");
  db.open(Path());
  EXPECT_TRUE(db.close());
  EXPECT_FALSE(db.isOpen());
  EXPECT_TRUE(db.close());
  EXPECT_EQ(Raised([&] { db.execute(u"CREATE TABLE t(a)"); }).message(),
            u"DBLAYER_ERROR[1000]: Database not open");
  // A file that cannot be opened leaves no database.
  e = Raised([&] { db.open(DbPath(dir_, "missing/dir/test.db")); });
  EXPECT_EQ(e.code(), 14);
  EXPECT_EQ(e.message(), u"SQLITE_CANTOPEN[14]: unable to open database file");
  EXPECT_FALSE(db.isOpen());
  EXPECT_EQ(Raised([&] { db.execute(u"SELECT 1"); }).code(), 1000);
}

TEST_F(DbConnectionTest, OpenCreatesTheFileAndKeepsData) {
  {
    DbConnection db;
    OpenWithTable(db);
    EXPECT_TRUE(db.isOpen());
    EXPECT_TRUE(std::filesystem::exists(dir_ / "test.db"));
    db.execute(u"INSERT INTO t VALUES(1, 'a')");
  }  // destruction closes
  DbConnection db;
  db.open(Path());
  EXPECT_EQ(Rows(db), 1);
  // Opening another file leaves the first one.
  db.open(Path("other.db"));
  EXPECT_TRUE(db.isOpen());
  EXPECT_EQ(Raised([&] { Rows(db); }).message(), u"SQLITE_ERROR[1]: no such table: t");
  EXPECT_TRUE(std::filesystem::exists(dir_ / "other.db"));
}

// A new file is made UTF-16, as the add-in's texts are; another keeps its own encoding.
TEST_F(DbConnectionTest, ANewFileHoldsUtf16AndAnExistingOneKeepsItsEncoding) {
  sqlite3* utf8 = nullptr;
  sqlite3_open(std::filesystem::path(dir_ / "utf8.db").string().c_str(), &utf8);
  sqlite3_exec(utf8, "create table t(a)", nullptr, nullptr, nullptr);
  sqlite3_close(utf8);
  for (const auto& [file, encoding] :
       {std::pair{"new.db", u"UTF-16le"}, std::pair{"utf8.db", u"UTF-8"}}) {
    DbConnection db;
    db.open(Path(file));
    db.execute(u"create table if not exists t(a)");
    EXPECT_EQ(db.query(u"pragma encoding").textByName(u"encoding"), encoding) << file;
  }
}

TEST_F(DbConnectionTest, FailingStatementsRaiseCodeOneAndLeaveNoStatement) {
  DbConnection db;
  OpenWithTable(db);
  DbException e = Raised([&] { db.execute(u"CREAT TABLE t(a)"); });
  EXPECT_EQ(e.code(), 1);
  EXPECT_EQ(e.message(), u"SQLITE_ERROR[1]: near \"CREAT\": syntax error");
  EXPECT_EQ(Raised([&] { db.query(u"SELEC 1"); }).code(), 1);
  db.execute(u"INSERT INTO t VALUES(1, 'a')");
  DbException unique = Raised([&] { db.execute(u"INSERT INTO t VALUES(2, 'a')"); });
  EXPECT_EQ(unique.code(), 1);
  EXPECT_EQ(unique.message(), u"SQLITE_ERROR[1]: UNIQUE constraint failed: t.name");
  EXPECT_EQ(Raised([&] { db.execute(u"INSERT INTO t VALUES(3, NULL)"); }).message(),
            u"SQLITE_ERROR[1]: NOT NULL constraint failed: t.name");
  EXPECT_EQ(Rows(db), 1);
  // SQLite closes a connection only when none of its statements is left.
  EXPECT_TRUE(db.close());
}

TEST_F(DbConnectionTest, RunsOnlyTheFirstStatementOfTheText) {
  DbConnection db;
  OpenWithTable(db);
  db.execute(u"INSERT INTO t VALUES(1, 'a'); INSERT INTO t VALUES(2, 'b')");
  EXPECT_EQ(Rows(db), 1);
  // Texts without a statement run nothing; rows a statement gives are not read.
  db.execute(u"");
  db.execute(u"  -- nothing here");
  db.execute(u"SELECT * FROM t");
  EXPECT_EQ(Rows(db), 1);
  EXPECT_TRUE(db.close());
}

TEST_F(DbConnectionTest, SchemaChangedWhileWaitingIsPreparedAgain) {
  DbConnection db(5000);
  OpenWithTable(db);
  OtherConnection other(Path());
  // The schema changes while this connection waits for its lock.
  ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE; CREATE TABLE u(x)"), SQLITE_OK);
  {
    std::jthread committer([&] {
      std::this_thread::sleep_for(100ms);
      other.Exec("COMMIT");
    });
    db.execute(u"INSERT INTO t VALUES(1, 'a')");
  }
  EXPECT_EQ(Rows(db), 1);
  ASSERT_EQ(other.Exec("BEGIN EXCLUSIVE; CREATE TABLE v(x)"), SQLITE_OK);
  {
    std::jthread committer([&] {
      std::this_thread::sleep_for(100ms);
      other.Exec("COMMIT");
    });
    DbQuery rows = db.query(u"SELECT name FROM t");
    EXPECT_EQ(rows.textByName(u"name"), u"a");
  }
  EXPECT_TRUE(db.close());
}

TEST_F(DbConnectionTest, CloseWithAnOpenCursorStillCloses) {
  DbConnection db;
  OpenWithTable(db);
  db.execute(u"INSERT INTO t VALUES(1, 'a')");
  DbQuery rows = db.query(u"SELECT name FROM t");
  EXPECT_FALSE(db.close());
  EXPECT_FALSE(db.isOpen());
  EXPECT_EQ(Raised([&] { db.execute(u"SELECT 1"); }).code(), 1000);
  // The cursor can still be finished; SQLite releases the connection with it.
  rows.finalize();
  EXPECT_EQ(Raised([&] { rows.atEnd(); }).message(),
            u"DBLAYER_ERROR[1000]: Null Virtual Machine pointer");
}

}  // namespace
