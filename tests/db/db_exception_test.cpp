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
  std::u16string names;
  for (int code : {0, 19, 101, 1000, 26, 99, 102, -1, 999, 1001, 261, INT_MIN, INT_MAX}) {
    names += std::u16string(sqliteCodeName(code)) + u" ";
  }
  std::u16string expected = u"SQLITE_OK SQLITE_CONSTRAINT SQLITE_DONE DBLAYER_ERROR ";
  for (int i = 0; i < 9; ++i) expected += u"UNKNOWN_ERROR ";
  EXPECT_EQ(names, expected);
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
