#include "export/row_writer.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "common/log.h"
#include "db/db_connection.h"
#include "db/db_exception.h"
#include "platform/text.h"

namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Appends the text's code units, each stored on its own in one to three
// bytes (as UTF-8 would store a character of its value; surrogates too):
// one-to-one, and half the memory of the code units for the ASCII texts of
// most models.
void AppendPacked(std::string& key, std::u16string_view text) {
  for (char16_t unit : text) {
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

// Appends the ASCII characters of a number's text.
void AppendAscii(std::u16string& out, const char* begin, const char* end) {
  for (const char* c = begin; c != end; ++c) out += static_cast<char16_t>(*c);
}

// Starts the next item of a comma-separated list.
void AppendSeparator(std::u16string& list) {
  if (!list.empty()) list += u',';
}

}  // namespace

void AppendSqlText(std::u16string& out, std::u16string_view text) {
  out += u'\'';
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\'') {
      out += u"''";
    } else if (c == 0) {
      out += u"'||char(0)||'";
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      out += c;
      out += text[++i];
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      // SQLite's UTF-16 reader would take the next code unit as the partner,
      // swallowing a quote that follows.
      out += kReplacementCharacter;
    } else {
      out += c;
    }
  }
  out += u'\'';
}

void AppendSqlInteger(std::u16string& out, int64_t value) {
  char buffer[24];
  AppendAscii(out, buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

void AppendSqlReal(std::u16string& out, double value) {
  if (std::isnan(value)) {
    out += u"NULL";
    return;
  }
  if (std::isinf(value)) {
    out += value > 0 ? u"9e999" : u"-9e999";
    return;
  }
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
  AppendAscii(out, buffer, end);
}

std::u16string SqlText(std::u16string_view text) {
  std::u16string literal;
  literal.reserve(text.size() + 2);
  AppendSqlText(literal, text);
  return literal;
}

std::u16string SqlInteger(int64_t value) {
  std::u16string literal;
  AppendSqlInteger(literal, value);
  return literal;
}

std::u16string SqlReal(double value) {
  std::u16string literal;
  AppendSqlReal(literal, value);
  return literal;
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

void RowWriter::AddColumn(std::u16string_view column) {
  AppendSeparator(columns_);
  columns_ += column;
  AppendSeparator(values_);
}

void RowWriter::AddText(std::u16string_view column, std::u16string_view text) {
  AddColumn(column);
  AppendSqlText(values_, text);
}

void RowWriter::AddInteger(std::u16string_view column, int64_t value) {
  AddColumn(column);
  AppendSqlInteger(values_, value);
}

void RowWriter::AddReal(std::u16string_view column, double value) {
  AddColumn(column);
  AppendSqlReal(values_, value);
}

void RowWriter::AppendFlag() {
  if (flagMark_) return;
  AddColumn(u"DADU_flag");
  AppendSqlInteger(values_, 0);
  flagMark_ = true;
}

void RowWriter::InsertRow() {
  AppendFlag();
  lastStatement_.clear();
  lastStatement_ += u"insert into '";
  lastStatement_ += tableName_;
  lastStatement_ += u"' (";
  lastStatement_ += columns_;
  lastStatement_ += u") values (";
  lastStatement_ += values_;
  lastStatement_ += u')';
  Execute();
}

void RowWriter::InsertRowIfAbsent() {
  AppendFlag();
  // The list of literals is itself an unambiguous record of the values:
  // each literal ends where its quotes or its digits end, so two rows of the
  // same columns have the same list only when they are equal column by
  // column.
  key_.clear();
  AppendPacked(key_, values_);
  std::unordered_set<std::string>& written = written_[tableName_][columns_];
  if (written.count(key_) != 0) return;
  InsertRow();
  written.insert(key_);
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
