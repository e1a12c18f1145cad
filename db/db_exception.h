// The error that every failure of the SQLite access layer raises.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

// An SQLite result code, or the layer's own code, with a message composed
// once at construction as "<code name>[<code>]: <detail>". The message is an
// owned copy: copying the exception copies it, and each copy frees its own.
// Deliberately not a standard exception: handlers for std::exception do not
// see it; callers catch it by this type or in their catch-all handlers.
class DbException {
 public:
  // The code of the errors the layer finds itself (closed connection, cursor
  // without statement, unknown column).
  static constexpr int kLayerError = 1000;

  DbException(int code, std::u16string_view detail);
  DbException(const DbException&) = default;
  DbException(DbException&&) noexcept = default;
  DbException& operator=(const DbException&) = default;
  DbException& operator=(DbException&&) noexcept = default;
  virtual ~DbException();

  int code() const noexcept { return code_; }
  const std::u16string& message() const noexcept { return message_; }

 private:
  int code_;
  std::u16string message_;
};

// The symbolic name of an SQLite result code ("SQLITE_BUSY"), "DBLAYER_ERROR"
// for the layer's own code 1000 and "UNKNOWN_ERROR" for every other value.
// The text has static storage and is never null.
const OLECHAR* sqliteCodeName(int code) noexcept;
