#include "export/row_writer.h"

#include <algorithm>
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
  const size_t start = key.size();
  key.resize(start + 3 * text.size());
  char* out = key.data() + start;
  for (char16_t unit : text) {
    if (unit < 0x80) {
      *out++ = static_cast<char>(unit);
    } else if (unit < 0x800) {
      *out++ = static_cast<char>(0xC0 | (unit >> 6));
      *out++ = static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      *out++ = static_cast<char>(0xE0 | (unit >> 12));
      *out++ = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  key.resize(static_cast<size_t>(out - key.data()));
}

// Appends the ASCII characters of a number's text.
void AppendAscii(std::u16string& out, const char* begin, const char* end) {
  for (const char* c = begin; c != end; ++c) out += static_cast<char16_t>(*c);
}

// The shortest text of a finite real that reads back as the same double,
// written into buffer; returns its end. std::to_chars with a precision
// writes what printf's "%.<precision>g" writes in the "C" locale, whatever
// locale the host process runs in.
char* ShortestReal(double value, char (&buffer)[64]) {
  char* end = buffer;
  for (int precision = 6; precision <= 17; ++precision) {
    end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision)
            .ptr;
    double readBack = 0;
    std::from_chars_result read = std::from_chars(buffer, end, readBack);
    if (read.ec == std::errc() && read.ptr == end && readBack == value) break;
  }
  return end;
}

// Whether a real's literal is an integer literal ("10", "-3", not "1e+06"
// or "2.5"): SQLite then stores it as an integer.
bool HasIntegerLiteral(double value) {
  char buffer[64];
  char* end = ShortestReal(value, buffer);
  return std::find_if(buffer, end, [](char c) { return c == '.' || c == 'e'; }) == end;
}

// The text as a literal stores it: a lone surrogate becomes U+FFFD.
void StoreText(std::u16string& out, std::u16string_view text) {
  out.assign(text);
  for (size_t i = 0; i < out.size(); ++i) {
    char16_t c = out[i];
    if (IsHighSurrogate(c) && i + 1 < out.size() && IsLowSurrogate(out[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      out[i] = kReplacementCharacter;
    }
  }
}

template <typename T>
void AppendBytes(std::string& key, const T& value) {
  key.append(reinterpret_cast<const char*>(&value), sizeof value);
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
  char buffer[64];
  AppendAscii(out, buffer, ShortestReal(value, buffer));
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
  shapeKnown_ = false;
  BeginRow();
}

void RowWriter::BeginRow() {
  count_ = 0;
  flagMark_ = false;
}

RowWriter::Value& RowWriter::AddColumn(std::u16string_view column) {
  if (count_ == values_.size()) values_.emplace_back();
  Value& value = values_[count_++];
  // The slot keeps the name of the last row's column at this place: rows of
  // one shape only compare their names with it.
  if (value.column != column) {
    value.column.assign(column);
    shapeKnown_ = false;
  }
  return value;
}

std::u16string RowWriter::columns() const {
  std::u16string names;
  for (size_t i = 0; i < count_; ++i) {
    if (i > 0) names += u',';
    names += values_[i].column;
  }
  return names;
}

void RowWriter::AddText(std::u16string_view column, std::u16string_view text) {
  Value& value = AddColumn(column);
  value.kind = Value::Kind::kText;
  StoreText(value.text, text);
}

void RowWriter::AddInteger(std::u16string_view column, int64_t integer) {
  Value& value = AddColumn(column);
  value.kind = Value::Kind::kInteger;
  value.integer = integer;
}

void RowWriter::AddReal(std::u16string_view column, double real) {
  Value& value = AddColumn(column);
  if (std::isnan(real)) {
    value.kind = Value::Kind::kNull;
  } else if (!std::isinf(real) && HasIntegerLiteral(real)) {
    // Integral and below 1e17 in magnitude: it fits.
    value.kind = Value::Kind::kInteger;
    value.integer = static_cast<int64_t>(real);
  } else {
    value.kind = Value::Kind::kReal;
    value.real = real;
  }
}

void RowWriter::AppendFlag() {
  if (flagMark_) return;
  AddInteger(u"DADU_flag", 0);
  flagMark_ = true;
}

std::u16string RowWriter::values() const {
  std::u16string literals;
  for (size_t i = 0; i < count_; ++i) {
    const Value& value = values_[i];
    if (i > 0) literals += u',';
    switch (value.kind) {
      case Value::Kind::kNull:
        literals += u"NULL";
        break;
      case Value::Kind::kInteger:
        AppendSqlInteger(literals, value.integer);
        break;
      case Value::Kind::kReal:
        AppendSqlReal(literals, value.real);
        break;
      case Value::Kind::kText:
        AppendSqlText(literals, value.text);
        break;
    }
  }
  return literals;
}

std::u16string RowWriter::statementText() const {
  return u"insert into '" + tableName_ + u"' (" + columns() + u") values (" + values() + u")";
}

void RowWriter::FindShape() {
  if (shapeKnown_ && shapeCount_ == count_) return;
  const std::u16string names = columns();
  statement_ = nullptr;
  writtenSet_ = &written_[tableName_][names];
  statementKey_ = tableName_;
  statementKey_ += u'\0';
  statementKey_ += names;
  shapeCount_ = count_;
  shapeKnown_ = true;
}

void RowWriter::InsertRow() {
  AppendFlag();
  Execute();
}

void RowWriter::ComposeKey() {
  key_.clear();
  for (size_t i = 0; i < count_; ++i) {
    const Value& value = values_[i];
    key_ += static_cast<char>(value.kind);
    switch (value.kind) {
      case Value::Kind::kNull:
        break;
      case Value::Kind::kInteger:
        AppendBytes(key_, value.integer);
        break;
      case Value::Kind::kReal:
        AppendBytes(key_, value.real);
        break;
      case Value::Kind::kText:
        AppendBytes(key_, static_cast<uint32_t>(value.text.size()));
        AppendPacked(key_, value.text);
        break;
    }
  }
}

void RowWriter::InsertRowIfAbsent() {
  AppendFlag();
  // Each value carries its kind, and a text its length: two rows of the same
  // columns have the same key only when they are equal column by column.
  ComposeKey();
  FindShape();
  if (writtenSet_->count(key_) != 0) return;
  InsertRow();
  writtenSet_->insert(key_);
}

void RowWriter::ForgetRows(const std::u16string& tableName) {
  written_.erase(tableName);
  shapeKnown_ = false;
}

DbStatement& RowWriter::Statement() {
  FindShape();
  if (statement_) return *statement_;
  auto found = statements_.find(statementKey_);
  if (found == statements_.end()) {
    std::u16string sql = u"insert into '" + tableName_ + u"' (" + columns() + u") values (";
    for (size_t i = 0; i < count_; ++i) sql += i ? u",?" : u"?";
    sql += u')';
    // Nothing is kept when it cannot be prepared: the table may be made
    // right later.
    DbStatement prepared = db_->prepareStatement(sql);
    found = statements_.emplace(statementKey_, std::move(prepared)).first;
  }
  statement_ = &found->second;
  return *statement_;
}

void RowWriter::Execute() {
  if (!db_) return;
  try {
    if (statementForm_ == Statements::kText) {
      db_->execute(statementText());
      return;
    }
    DbStatement& statement = Statement();
    for (size_t i = 0; i < count_; ++i) {
      const Value& value = values_[i];
      const int parameter = static_cast<int>(i) + 1;
      switch (value.kind) {
        case Value::Kind::kNull:
          statement.bindNull(parameter);
          break;
        case Value::Kind::kInteger:
          statement.bindInteger(parameter, value.integer);
          break;
        case Value::Kind::kReal:
          statement.bindReal(parameter, value.real);
          break;
        case Value::Kind::kText:
          statement.bindText(parameter, value.text);
          break;
      }
    }
    statement.run();
  } catch (const DbException& error) {
    Dovbase::WriteLogFormat(u"%D: exec sql [%s] error: %s \n", statementText(), error.message());
    throw std::runtime_error(platform::WideToAnsi(error.message()));
  }
}
