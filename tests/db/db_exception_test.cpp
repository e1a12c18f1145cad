#include "db/db_exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <exception>
#include <memory>
#include <string>
#include <type_traits>

namespace {

static_assert(!std::is_base_of_v<std::exception, DbException>);
static_assert(std::has_virtual_destructor_v<DbException>);

TEST(DbExceptionTest, NamesEveryKnownCode) {
  const struct {
    int code;
    const char16_t* name;
  } kExpected[] = {
      {0, u"SQLITE_OK"},        {1, u"SQLITE_ERROR"},       {2, u"SQLITE_INTERNAL"},
      {3, u"SQLITE_PERM"},      {4, u"SQLITE_ABORT"},       {5, u"SQLITE_BUSY"},
      {6, u"SQLITE_LOCKED"},    {7, u"SQLITE_NOMEM"},       {8, u"SQLITE_READONLY"},
      {9, u"SQLITE_INTERRUPT"}, {10, u"SQLITE_IOERR"},      {11, u"SQLITE_CORRUPT"},
      {12, u"SQLITE_NOTFOUND"}, {13, u"SQLITE_FULL"},       {14, u"SQLITE_CANTOPEN"},
      {15, u"SQLITE_PROTOCOL"}, {16, u"SQLITE_EMPTY"},      {17, u"SQLITE_SCHEMA"},
      {18, u"SQLITE_TOOBIG"},   {19, u"SQLITE_CONSTRAINT"}, {20, u"SQLITE_MISMATCH"},
      {21, u"SQLITE_MISUSE"},   {22, u"SQLITE_NOLFS"},      {23, u"SQLITE_AUTH"},
      {24, u"SQLITE_FORMAT"},   {25, u"SQLITE_RANGE"},      {100, u"SQLITE_ROW"},
      {101, u"SQLITE_DONE"},    {1000, u"DBLAYER_ERROR"},
  };
  for (const auto& entry : kExpected) {
    EXPECT_EQ(std::u16string(sqliteCodeName(entry.code)), entry.name) << "code " << entry.code;
  }
}

TEST(DbExceptionTest, OtherCodesAreUnknown) {
  for (int code : {26, 99, 102, -1, 999, 1001, 261, INT_MIN, INT_MAX}) {
    EXPECT_EQ(std::u16string(sqliteCodeName(code)), u"UNKNOWN_ERROR") << "code " << code;
  }
}

TEST(DbExceptionTest, MessageIsNameCodeAndDetail) {
  DbException layer(1000, u"Database not open");
  EXPECT_EQ(layer.code(), 1000);
  EXPECT_EQ(layer.message(), u"DBLAYER_ERROR[1000]: Database not open");

  EXPECT_EQ(DbException(5, u"database is locked").message(), u"SQLITE_BUSY[5]: database is locked");
  EXPECT_EQ(DbException(1, u"").message(), u"SQLITE_ERROR[1]: ");
  EXPECT_EQ(DbException(26, u"odd").message(), u"UNKNOWN_ERROR[26]: odd");
  EXPECT_EQ(DbException(-1, u"odd").message(), u"UNKNOWN_ERROR[-1]: odd");
  EXPECT_EQ(DbException(19, u"零件 名称").message(), u"SQLITE_CONSTRAINT[19]: 零件 名称");

  // A detail of any length is kept whole.
  std::u16string longDetail(5000, u'x');
  EXPECT_EQ(DbException(1000, longDetail).message(), u"DBLAYER_ERROR[1000]: " + longDetail);
}

TEST(DbExceptionTest, CopiesOwnTheirMessage) {
  auto original = std::make_unique<DbException>(14, u"unable to open database file");
  DbException copy(*original);
  DbException assigned(0, u"");
  assigned = *original;
  original.reset();
  EXPECT_EQ(copy.code(), 14);
  EXPECT_EQ(copy.message(), u"SQLITE_CANTOPEN[14]: unable to open database file");
  EXPECT_EQ(assigned.code(), 14);
  EXPECT_EQ(assigned.message(), copy.message());

  DbException moved(std::move(copy));
  EXPECT_EQ(moved.message(), u"SQLITE_CANTOPEN[14]: unable to open database file");
  copy = moved;
  EXPECT_EQ(copy.message(), moved.message());
}

TEST(DbExceptionTest, PassesHandlersForStandardExceptions) {
  int code = 0;
  bool seenAsStandard = false;
  try {
    try {
      throw DbException(1000, u"Null Virtual Machine pointer");
    } catch (const std::exception&) {
      seenAsStandard = true;
    }
  } catch (const DbException& e) {
    code = e.code();
  }
  EXPECT_FALSE(seenAsStandard);
  EXPECT_EQ(code, 1000);
}

}  // namespace
