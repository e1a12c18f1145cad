#include "export/row_writer.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "common/log.h"
#include "db/db_connection.h"
#include "db/db_exception.h"
#include "platform/format.h"
#include "platform/text.h"

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Appends n in seven-bit groups, the last one marked by a clear high bit.
void AppendPackedNumber(std::string& key, uint64_t n) {
  while (n >= 0x80) {
    key += static_cast<char>(0x80 | (n & 0x7F));
    n >>= 7;
  }
  key += static_cast<char>(n);
}

// Appends the texts, each preceded by its length, so that two rows give the
// same key only when they are equal column by column. Each UTF-16 code unit
// is stored on its own in one to three bytes (as UTF-8 would store a
// character of its value; surrogates too), which is one-to-one and takes
// half the memory of the code units for the ASCII texts of most models.
void AppendKeyParts(std::string& key, const std::vector<std::u16string>& parts) {
  for (const std::u16string& part : parts) {
    AppendPackedNumber(key, part.size());
    for (char16_t unit : part) {
      if (unit < 0x80) {
        key += static_cast<char>(unit);
      } else if (unit < 0x800) {
        key += static_cast<char>(0xC0 | (unit >> 6));
        key += static_cast<char>(0x80 | (unit & 0x3F));
      } else {
        key += static_cast<char>(0xE0 | (unit >> 12));
        key += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        key += static_cast<char>(0x80 | (unit & 0x3F));
      }
    }
  }
}

void AppendJoined(std::u16string& out, const std::vector<std::u16string>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += u',';
    out += items[i];
  }
}

}  // namespace

std::u16string SqlText(std::u16string_view text) {
  std::u16string literal;
  literal.reserve(text.size() + 2);
  literal += u'\'';
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\'') {
      literal += u"''";
    } else if (c == 0) {
      literal += u"'||char(0)||'";
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      literal += c;
      literal += text[++i];
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      // SQLite's UTF-16 reader would take the next code unit as the partner,
      // swallowing a quote that follows.
      literal += kReplacementCharacter;
    } else {
      literal += c;
    }
  }
  literal += u'\'';
  return literal;
}

std::u16string SqlInteger(int64_t value) {
  return platform::FormatWide(platform::kUnlimited, u"%d", value);
}

std::u16string SqlReal(double value) {
  if (std::isnan(value)) return u"NULL";
  if (std::isinf(value)) return value > 0 ? u"9e999" : u"-9e999";
  // std::to_chars with a precision writes what printf's "%.<precision>g" writes
  // in the "C" locale, whatever locale the host process runs in.
  char buffer[64];
  char* end = buffer;
  for (int precision = 6; precision <= 17; ++precision) {
    end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision)
            .ptr;
    double readBack = 0;
    std::from_chars_result read = std::from_chars(buffer, end, readBack);
    if (read.ec == std::errc() && read.ptr == end && readBack == value) break;
  }
  return std::u16string(buffer, end);
}

void RowWriter::SetTable(std::u16string tableName) {
  tableName_ = std::move(tableName);
  BeginRow();
}

void RowWriter::BeginRow() {
  columns_.clear();
  values_.clear();
  flagMark_ = false;
}

void RowWriter::AddText(std::u16string_view column, std::u16string_view text) {
  columns_.emplace_back(column);
  values_.push_back(SqlText(text));
}

void RowWriter::AddInteger(std::u16string_view column, int64_t value) {
  columns_.emplace_back(column);
  values_.push_back(SqlInteger(value));
}

void RowWriter::AddReal(std::u16string_view column, double value) {
  columns_.emplace_back(column);
  values_.push_back(SqlReal(value));
}

void RowWriter::AppendFlag() {
  if (flagMark_) return;
  columns_.emplace_back(u"DADU_flag");
  values_.push_back(SqlInteger(0));
  flagMark_ = true;
}

void RowWriter::InsertRow() {
  AppendFlag();
  lastStatement_ = u"insert into '";
  lastStatement_ += tableName_;
  lastStatement_ += u"' (";
  AppendJoined(lastStatement_, columns_);
  lastStatement_ += u") values (";
  AppendJoined(lastStatement_, values_);
  lastStatement_ += u')';
  Execute();
}

void RowWriter::InsertRowIfAbsent() {
  AppendFlag();
  std::string columns;
  AppendKeyParts(columns, columns_);
  std::string key;
  AppendKeyParts(key, values_);
  std::unordered_set<std::string>& written = written_[tableName_][columns];
  if (written.count(key) != 0) return;
  InsertRow();
  written.insert(std::move(key));
}

void RowWriter::ForgetRows(const std::u16string& tableName) { written_.erase(tableName); }

void RowWriter::Execute() {
  if (!db_) return;
  try {
    db_->execute(lastStatement_);
  } catch (const DbException& error) {
    Dovbase::WriteLogFormat(u"%D: exec sql [%s] error: %s \n", lastStatement_, error.message());
    throw std::runtime_error(platform::WideToAnsi(error.message()));
  }
}
