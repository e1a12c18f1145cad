// Database files in every bad state an export or an import can meet (locked,
// read-only, a directory, no database, damaged, a full disk, other columns):
// each gives the documented error or a clear one, no export is left half-written.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "tests/reliability/table_run.h"

namespace reliability {
namespace {

// A connection of "another process".
class OtherConnection {
 public:
  explicit OtherConnection(const std::filesystem::path& path) {
    EXPECT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db_));
  }
  ~OtherConnection() {
    sqlite3_finalize(reading_);
    sqlite3_close(db_);
  }
  void Execute(const std::string& sql) {
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr))
        << sql << ": " << sqlite3_errmsg(db_);
  }
  // Starts reading a table and stays in the middle of it: a shared lock.
  void HoldReading(const std::string& table) {
    Execute("begin");
    ASSERT_EQ(SQLITE_OK,
              sqlite3_prepare_v2(db_, ("select * from " + table).c_str(), -1, &reading_, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(reading_));
  }
  void StopReading() {
    sqlite3_finalize(reading_);
    reading_ = nullptr;
    Execute("commit");
  }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* reading_ = nullptr;
};

// Makes every SQLite connection opened from now on stop at a number of
// pages, as a disk that is full would; back to normal when it goes.
class PageLimit {
 public:
  explicit PageLimit(int pages) {
    pages_ = pages;
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Apply));
  }
  ~PageLimit() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Apply)); }

 private:
  static int Apply(sqlite3* db, const char**, const void*) {
    const std::string pragma = "pragma max_page_count=" + std::to_string(pages_);
    sqlite3_exec(db, pragma.c_str(), nullptr, nullptr, nullptr);
    return SQLITE_OK;
  }
  static inline int pages_ = 0;
};

// The assembly open; exports and imports wait only a short while for locks.
class DatabaseFaultTest : public TableTest {
 protected:
  DatabaseFaultTest() {
    std::filesystem::copy(HARBOLT_SAMPLE_DIR, dir_ / "models");
    host_.Open(dir_ / "models" / "Gearbox.SLDASM");
    busyTimeoutMs_ = 200;  // the add-in waits a minute
  }
  HRESULT Export(std::u16string_view tables, const std::filesystem::path& db) {
    return TableTest::Export(tables, db.u16string());
  }
  HRESULT Import(std::u16string_view tables, const std::filesystem::path& db) {
    return TableTest::Import(tables, db.u16string());
  }
  // The last run as "result (hex) error number description|COM error".
  std::string Failure() const {
    std::ostringstream out;
    out << std::hex << static_cast<uint32_t>(run_.hr) << std::dec << " " << run_.errNumber << " "
        << Utf8(run_.errDescription) << "|" << Utf8(run_.comError);
    return out.str();
  }

  // A complete export of the assembly with rows flagged for the import:
  // top-level features (those on the document's chain) and properties.
  std::filesystem::path FlaggedExport(const std::string& name) {
    const std::filesystem::path db = dir_ / name;
    EXPECT_EQ(S_OK, Export(kAllTables, db)) << Utf8(run_.errDescription);
    OtherConnection caller(db);
    caller.Execute(
        "update DADU_3_Feature set description='new', DADU_flag=2 where ownerFeatureId is null");
    caller.Execute("update DADU_3_property set propertyValue='new', DADU_flag=2");
    return db;
  }

  // The number of export tables the file holds.
  static long DaduTables(const std::filesystem::path& db) {
    const std::vector<std::string> tables = ReadDatabase(db).tables;
    return std::count_if(tables.begin(), tables.end(),
                         [](const std::string& table) { return table.rfind("DADU_3_", 0) == 0; });
  }
};

// The unexpected error as a text, and as a COM error (E_HARBOLT_EXCEPTION).
constexpr char kUnexpected[] = "1 -1 Unexpected error.\n|";
constexpr char kThrown[] = "80040200 77 untouched|Unexpected error.\n";

TEST_F(DatabaseFaultTest, ADatabaseLockedByAnotherWriterIsNeitherDeletedNorWritten) {
  const std::filesystem::path db = dir_ / "locked.db";
  OtherConnection other(db);
  other.Execute("create table theirs(x); insert into theirs values(1)");
  other.Execute("begin immediate; insert into theirs values(2)");

  // The other writer keeps the file: the export waits its short while and
  // fails at its first write, without having touched the file.
  const auto start = std::chrono::steady_clock::now();
  Export(u"Feature,Dimension", db);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(kUnexpected, Failure());

  // The import of a file another writer holds exclusively fails the same
  // way, before the model is touched.
  other.Execute("commit; begin exclusive; insert into theirs values(3)");
  Import(u"Feature,property", db);
  EXPECT_EQ(kUnexpected, Failure());
  EXPECT_TRUE(host_.Calls().empty() || !ModelWritten());

  other.Execute("commit");
  const DatabaseContent content = ReadDatabase(db);
  EXPECT_EQ(std::vector<std::string>{"theirs"}, content.tables);
  EXPECT_EQ(std::vector<long>{3}, content.rowCounts);
}

TEST_F(DatabaseFaultTest, ADatabaseAnotherConnectionReadsKeepsItsOldContent) {
  const std::filesystem::path db = dir_ / "read.db";
  ASSERT_EQ(S_OK, Export(u"Feature", db)) << Utf8(run_.errDescription);
  const long rows = ReadDatabase(db).TotalRows();
  OtherConnection reader(db);
  ASSERT_NO_FATAL_FAILURE(reader.HoldReading("DADU_3_Feature"));

  // The file is in use, so it is written in place; the commit cannot get
  // past the reader, and the whole export goes: the reader's data stays.
  Export(u"Feature,Dimension", db);
  EXPECT_EQ(kThrown, Failure());
  reader.StopReading();
  const DatabaseContent content = ReadDatabase(db);
  EXPECT_EQ(std::vector<std::string>{"DADU_3_Feature"}, content.tables);
  EXPECT_EQ(rows, content.TotalRows());

  // A file nobody uses any more is replaced by the next export.
  EXPECT_EQ(S_OK, Export(u"Feature,Dimension", db)) << Utf8(run_.errDescription);
  EXPECT_EQ((std::vector<std::string>{"DADU_3_Dimension", "DADU_3_Feature"}),
            ReadDatabase(db).tables);
}

TEST_F(DatabaseFaultTest, AReadOnlyDatabaseIsImportedButNotOverwritten) {
  const std::filesystem::path db = FlaggedExport("readonly.db");
  // Read-only by its header's write version 3, whoever the user is, and by
  // its permissions for a user without the privileges to ignore them.
  {
    std::string bytes = testing_support::ReadFile(db);
    ASSERT_GT(bytes.size(), 100u);
    bytes[18] = 3;
    testing_support::WriteFile(db, bytes);
  }
  std::filesystem::permissions(db, std::filesystem::perms::owner_read);
  const std::string before = testing_support::ReadFile(db);

  // The import only reads: it works.
  EXPECT_EQ(S_OK, Import(u"Feature,property", db)) << Utf8(run_.errDescription);
  EXPECT_TRUE(ModelWritten());

  // The export neither deletes nor changes it.
  Export(u"Feature", db);
  EXPECT_EQ(kUnexpected, Failure());
  EXPECT_EQ(before, testing_support::ReadFile(db));
}

TEST_F(DatabaseFaultTest, ADirectoryIsNoDatabase) {
  const std::filesystem::path folder = dir_ / "folder.db";
  std::filesystem::create_directories(folder / "inside");

  Export(u"Feature", folder);
  EXPECT_TRUE(Failure() == kUnexpected || Failure() == kThrown) << Failure();
  EXPECT_TRUE(std::filesystem::is_directory(folder / "inside"));
  Import(u"Feature", folder);
  EXPECT_EQ(kUnexpected, Failure());
  EXPECT_FALSE(ModelWritten());
}

TEST_F(DatabaseFaultTest, AFileThatIsNoDatabase) {
  const std::filesystem::path junk = dir_ / "junk.db";
  testing_support::WriteFile(junk, "this is a text file, not a database\n");

  // The import refuses it before the model is touched.
  Import(u"Feature,property", junk);
  EXPECT_EQ(kUnexpected, Failure());
  EXPECT_TRUE(host_.Calls().empty());

  // The export makes a database of its own in its place.
  EXPECT_EQ(S_OK, Export(u"Feature", junk)) << Utf8(run_.errDescription);
  EXPECT_EQ(std::vector<std::string>{"DADU_3_Feature"}, ReadDatabase(junk).tables);
}

TEST_F(DatabaseFaultTest, ADamagedDatabaseIsRefusedBeforeTheModelIsTouched) {
  const std::filesystem::path good = FlaggedExport("good.db");
  const std::string bytes = testing_support::ReadFile(good);
  const size_t page = 4096;
  ASSERT_GT(bytes.size(), 4 * page);

  // A zeroed page, scribbled b-tree page headers, a truncated file, a broken
  // file header.
  std::string zeroed = bytes, scribbled = bytes, header = bytes;
  std::fill(zeroed.begin() + 2 * page, zeroed.begin() + 3 * page, '\0');
  for (size_t at = page; at < scribbled.size(); at += page) scribbled[at] = '\x7f';
  std::fill(header.begin(), header.begin() + 16, 'x');
  int damagedTexts = 0;
  const std::string damages[] = {zeroed, scribbled, bytes.substr(0, bytes.size() / 2 + 100),
                                 header};
  for (const std::string& damaged : damages) {
    SCOPED_TRACE("damage " + std::to_string(&damaged - damages));
    const std::filesystem::path db = dir_ / "damaged.db";
    testing_support::WriteFile(db, damaged);
    Import(kAllTables, db);
    const bool named =
        Failure().rfind("1 -1 CDbToSld::Import() error: the database file is damaged: ", 0) == 0;
    EXPECT_TRUE(named || Failure() == kUnexpected) << Failure();
    damagedTexts += named;
    EXPECT_FALSE(ModelWritten()) << "rows of a damaged database reached the model";
    EXPECT_EQ(damaged, testing_support::ReadFile(db));
  }
  // Damage inside the file is named as such; only a broken header makes the
  // file no database at all.
  EXPECT_EQ(3, damagedTexts);
}

TEST_F(DatabaseFaultTest, ADiskThatFillsDuringAnExportLeavesNoneOfIt) {
  const std::filesystem::path db = dir_ / "full.db";
  ASSERT_EQ(S_OK, Export(kAllTables, db)) << Utf8(run_.errDescription);
  const long pages = static_cast<long>(std::filesystem::file_size(db) / 4096);  // it needs
  ASSERT_GT(pages, 3);

  // The disk fills at every page: before the first table, in the middle of
  // the rows, at the commit.
  int failed = 0;
  for (int limit = 1; limit < pages; ++limit) {
    SCOPED_TRACE("page limit " + std::to_string(limit));
    PageLimit full(limit);
    const HRESULT hr = Export(kAllTables, db);
    if (hr == S_OK) {  // it fitted: all of it is there
      EXPECT_EQ(7, DaduTables(db));
      continue;
    }
    ++failed;
    // The row that did not fit names the full disk; the COM error is plain.
    const bool named =
        Failure().rfind("1 -1 ", 0) == 0 &&
        Failure().find("SQLITE_FULL[13]: database or disk is full") != std::string::npos;
    EXPECT_TRUE(hr == Dovbase::E_HARBOLT_EXCEPTION ? run_.comError == u"Unexpected error.\n"
                                                   : named || Failure() == kUnexpected)
        << Failure();
    EXPECT_EQ(0, DaduTables(db)) << "a half-written export was left";
  }
  EXPECT_GT(failed, 3);
}

TEST_F(DatabaseFaultTest, TablesWhoseColumnsDifferFromWhatIsWritten) {
  const std::filesystem::path db = dir_ / "columns.db";
  // A dictionary whose Feature table lacks the feature's name: the first row
  // fails with SQLite's own words, and nothing is kept.
  SetDictionary(
      "<dd><tabs><tab name='Feature'><flds><fld name='featId' dt='1'/>"
      "<fld name='typeName' dt='4'/></flds></tab>"
      "<tab name='Dimension'><flds><fld name='dimName' dt='4'/></flds></tab></tabs></dd>");
  Export(u"Dimension,Feature", db);
  EXPECT_EQ(
      "1 -1 CSldToDb::ExportFeature() error: SQLITE_ERROR[1]: table DADU_3_Feature has no column "
      "named featName\n|",
      Failure());
  EXPECT_EQ(0, DaduTables(db));

  // A table kept from before (the file is in use, so it stays) with other
  // columns than the dictionary now lists: it is not altered, the export
  // fails and is rolled back.
  SetDictionary(testing_support::ReadFile(Sample("dictionary.xml")));
  {
    OtherConnection other(db);
    other.Execute(
        "create table DADU_3_Feature (a Text, b Integer); insert into DADU_3_Feature "
        "values ('old', 1)");
    ASSERT_NO_FATAL_FAILURE(other.HoldReading("DADU_3_Feature"));
    Export(u"Feature", db);
    other.StopReading();
  }
  EXPECT_EQ(0u, Failure().find("1 -1 "));
  EXPECT_NE(std::string::npos, Failure().find("has no column named")) << Failure();
  const DatabaseContent kept = ReadDatabase(db);
  EXPECT_EQ(std::vector<std::string>{"DADU_3_Feature"}, kept.tables);
  EXPECT_EQ(std::vector<long>{1}, kept.rowCounts);

  // An import whose table lacks a column a step reads: the documented
  // texts, and nothing of that step reaches the model.
  const std::filesystem::path flagged = FlaggedExport("flagged.db");
  {
    OtherConnection caller(flagged);
    caller.Execute("alter table DADU_3_Feature drop column description");
    caller.Execute("alter table DADU_3_property drop column propertyValue");
  }
  Import(u"Feature", flagged);
  EXPECT_EQ(kUnexpected, Failure());
  EXPECT_FALSE(ModelWritten());
  Import(u"property", flagged);
  EXPECT_EQ("1 1 SQLITE_ERROR[1]: no such column: propertyValue|", Failure());
  EXPECT_FALSE(ModelWritten());
}

}  // namespace
}  // namespace reliability
