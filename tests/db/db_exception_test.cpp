#include "db/db_exception.h"

#include <gtest/gtest.h>

#include <climits>
#include <exception>
#include <string>
#include <type_traits>

namespace {

// Handlers for standard exceptions let a DbException pass.
static_assert(!std::is_base_of_v<std::exception, DbException>);

TEST(DbExceptionTest, MessageIsNameCodeAndDetail) {
  const std::pair<int, const char16_t*> named[] = {{0, u"SQLITE_OK"},
                                                   {19, u"SQLITE_CONSTRAINT"},
                                                   {101, u"SQLITE_DONE"},
                                                   {1000, u"DBLAYER_ERROR"}};
  for (const auto& [code, name] : named) EXPECT_EQ(std::u16string(sqliteCodeName(code)), name);
  for (int code : {26, 99, 102, -1, 999, 1001, 261, INT_MIN, INT_MAX}) {
    EXPECT_EQ(std::u16string(sqliteCodeName(code)), u"UNKNOWN_ERROR") << code;
  }
  DbException layer(1000, u"Database not open");
  EXPECT_EQ(layer.code(), 1000);
  EXPECT_EQ(layer.message(), u"DBLAYER_ERROR[1000]: Database not open");
  EXPECT_EQ(DbException(1, u"").message(), u"SQLITE_ERROR[1]: ");
  EXPECT_EQ(DbException(-1, u"odd").message(), u"UNKNOWN_ERROR[-1]: odd");
  EXPECT_EQ(DbException(19, u"零件 名称").message(), u"SQLITE_CONSTRAINT[19]: 零件 名称");
  // A detail of any length is kept whole, by copies too.
  std::u16string longDetail(5000, u'x');
  DbException copy = DbException(1000, longDetail);
  EXPECT_EQ(copy.message(), u"DBLAYER_ERROR[1000]: " + longDetail);
}

}  // namespace
