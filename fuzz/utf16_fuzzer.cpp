// The UTF-16 formatter (every format text of the system goes through it)
// and the text conversions, with the SQL literals made from host texts
// checked against SQLite itself: whatever the text, the literal is read back
// as exactly that text.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "db/db_connection.h"
#include "db/db_exception.h"
#include "export/row_writer.h"
#include "fuzz/fuzz_target.h"
#include "platform/format.h"
#include "platform/text.h"

namespace {

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The text as SQLite stores it: a surrogate without its partner is no
// character and becomes U+FFFD, and so do the noncharacters U+FFFE and
// U+FFFF, which SQLite's UTF-16 interface cannot carry.
std::u16string Storable(std::u16string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1])) {
      out += text[i];
      out += text[++i];
    } else if (IsHigh(text[i]) || IsLow(text[i]) || text[i] >= 0xFFFE) {
      out += char16_t{0xFFFD};
    } else {
      out += text[i];
    }
  }
  return out;
}

DbConnection& Sqlite() {
  static DbConnection* connection = [] {
    auto* db = new DbConnection(0);
    db->open(u":memory:");
    return db;
  }();
  return *connection;
}

}  // namespace

HARBOLT_FUZZ_TARGET(utf16) {
  if (size < 1) return 0;
  const size_t limit = data[0] == 0xFF ? platform::kUnlimited : data[0];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);

  // The formatter, with arguments of every kind, too few of them, and texts
  // that are formats themselves.
  const std::u16string formatted = platform::FormatWide(
      limit, units, int64_t{-42}, 7u, 3.25, u"text", static_cast<const char16_t*>(nullptr),
      std::u16string_view(units).substr(0, 8), std::numeric_limits<int64_t>::min(), 1e308,
      std::numeric_limits<double>::quiet_NaN(), -0.0, std::numeric_limits<uint64_t>::max());
  fuzz::FuzzCheck(limit == platform::kUnlimited || formatted.size() <= limit,
                  "formatted text longer than its limit");
  platform::FormatWide(limit, units);

  // Conversions: one conversion repairs broken text, a second changes
  // nothing more.
  const std::u16string wide = platform::Utf8ToUtf16(bytes);
  fuzz::FuzzCheck(platform::Utf8ToUtf16(platform::Utf16ToUtf8(wide)) == wide,
                  "UTF-8 round trip changed the text");
  const std::string narrow = platform::Utf16ToUtf8(units);
  fuzz::FuzzCheck(platform::Utf16ToUtf8(platform::Utf8ToUtf16(narrow)) == narrow,
                  "UTF-16 round trip changed the text");
  fuzz::FuzzCheck(platform::AnsiToWide(platform::WideToAnsi(wide)) == wide,
                  "ANSI round trip changed the text");
  fuzz::FuzzCheck(platform::EqualsIgnoringAsciiCase(units, platform::AsciiLower(units)),
                  "a text differs from its lower case beyond case");

  // The SQL literal of the text: one literal, read back as the text itself.
  if (units.size() <= 4096) {
    try {
      DbQuery row = Sqlite().query(u"select " + SqlText(units) + u" as v");
      fuzz::FuzzCheck(!row.atEnd(), "the literal gave no row");
      fuzz::FuzzCheck(row.textByName(u"v") == Storable(units), "the literal changed the text");
    } catch (const DbException&) {
      fuzz::FuzzCheck(false, "the literal of a text is no valid SQL");
    }
    double value = 0;
    if (bytes.size() >= sizeof value) {
      std::memcpy(&value, bytes.data(), sizeof value);
      try {
        DbQuery row = Sqlite().query(u"select " + SqlReal(value) + u" as v");
        if (std::isnan(value)) {
          fuzz::FuzzCheck(row.columnType(0) == 5, "a NaN was not stored as NULL");
        } else {
          // SQLite before 3.43 reads a decimal text into a double with up to
          // one unit in the last place of error (about one value in ten
          // thousand); anything beyond that is a fault of the literal.
          const double stored = row.realByName(u"v");
          fuzz::FuzzCheck(stored == value || stored == std::nextafter(value, HUGE_VAL) ||
                              stored == std::nextafter(value, -HUGE_VAL),
                          "the literal changed the real");
        }
      } catch (const DbException&) {
        fuzz::FuzzCheck(false, "the literal of a real is no valid SQL");
      }
    }
  }
  return 0;
}
