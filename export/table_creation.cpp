// Creating and emptying the tables of an export from the data dictionary.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "common/messages.h"
#include "db/db_connection.h"
#include "export/sld_to_db.h"
#include "hostutil/model_names.h"
#include "platform/format.h"

namespace {

constexpr Dovbase::CatchSite kCreateTableSite{u"SldToDb", u"CSldToDb::CreateTable", 2053};

// A dictionary attribute read as a decimal integer in the manner of the C
// library's string-to-long conversion: leading blanks and a sign accepted,
// reading stops at the first non-digit, no digits give 0; values beyond
// 32 bits are clamped.
int32_t ReadDecimal(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t{INT32_MAX} + 1);
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Whether a dictionary column name can stand unquoted in the CREATE TABLE
// text as one name and nothing else: letters, digits, "_" and "$", not
// starting with a digit; any character beyond ASCII counts as a letter, as
// SQLite counts it. Anything else (blanks, quotes, brackets, commas,
// semicolons, comment marks, zero characters) could add columns, constraints
// or statements.
bool IsPlainSqlName(std::u16string_view name) {
  if (name.empty() || (name[0] >= u'0' && name[0] <= u'9')) return false;
  for (char16_t c : name) {
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0x80;
    if (!letter && !(c >= u'0' && c <= u'9') && c != u'_' && c != u'$') return false;
  }
  return true;
}

// The SQL type of a dictionary data type code.
const char16_t* SqlType(int32_t dt) {
  switch (dt) {
    case 1:
    case 2:
    case 6:
      return u"Integer";
    case 3:
      return u"Real";
    default:
      return u"Text";
  }
}

}  // namespace

bool CSldToDb::CreateTable(const std::u16string& tableName) {
  Dovbase::InstallErrorHandlers();
  return Dovbase::GuardWorkerOperation(kCreateTableSite, errNumber_, errDescription_, [&] {
    if (!dictionary_.isParsed()) {
      errNumber_ = dictionary_.errorFlag();
      errDescription_ = dictionary_.errorText();
      return false;
    }
    // The name ends the XPath literal at a quote: "x' or '1'='1" would
    // select a table of another name. No tab can be found under such a name.
    if (tableName.find(u'\'') != std::u16string::npos) {
      return Fail(u"CSldToDb::CreateTable", Dovbase::IDS_TABLE_NODE_MISSING);
    }
    Dovbase::XmlElement tab =
        dictionary_.selectFirst(u"/dd/tabs/tab" + (u"[@name='" + tableName + u"']"));
    if (tab.isEmpty()) return Fail(u"CSldToDb::CreateTable", Dovbase::IDS_TABLE_NODE_MISSING);

    const std::u16string storedName = hostutil::MakeTableName(tableName);
    std::u16string create = u"create table if not exists '" + storedName + u"' (";
    for (Dovbase::XmlElement field = tab.firstChild().firstChild(); !field.isEmpty();
         field = field.nextSibling()) {
      if (field.name() != u"fld") continue;
      const std::u16string column = field.attribute(u"name");
      if (!IsPlainSqlName(column)) {
        throw Dovbase::Kvx_Exception(platform::FormatWide(
            platform::kUnlimited, u"the column name [%s] of table [%s] is not a plain SQL name",
            column, tableName));
      }
      create += column;
      create += u' ';
      create += SqlType(ReadDecimal(field.attribute(u"dt")));
      if (ReadDecimal(field.attribute(u"isPK")) != 0) create += u" primary key not null";
      create += u',';
    }
    create += u"DADU_flag";
    create += u' ';
    create += u"Integer";
    create += u')';
    if (db_) db_->execute(create);

    if (db_) db_->execute(u" Delete from '" + storedName + u"' ");
    row_.ForgetRows(storedName);
    return true;
  });
}
