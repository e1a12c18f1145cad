// printf-style formatting of UTF-16 text: the one formatter for every format
// text the system composes.
//
// Conversions: %s (UTF-16 text; null prints "(null)"), %c, %d %i %u %x %X %o,
// %e %E %f %F %g %G, %%; with the flags - + blank # 0, a width, a precision
// (either may be *), and the length modifiers h l ll I64 (the argument's own
// size decides; they are accepted for the format texts' sake). A percent sign
// followed by a letter that is no conversion (for instance %D) prints that
// letter. Arguments that are missing format as 0 or as empty text; an argument
// of the wrong kind is converted to the kind the conversion needs.
//
// The output is cut after `limit` characters, as a fixed-size buffer would cut
// it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/win_types.h"

namespace platform {

class FormatArg {
 public:
  enum class Kind { kSigned, kUnsigned, kReal, kText };

  template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T>, int> = 0>
  FormatArg(T v) : kind_(Kind::kSigned), signed_(v) {}  // NOLINT
  template <typename T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T>, int> = 0>
  FormatArg(T v) : kind_(Kind::kUnsigned), unsigned_(v) {}  // NOLINT
  FormatArg(double v) : kind_(Kind::kReal), real_(v) {}     // NOLINT
  FormatArg(const char16_t* v)                               // NOLINT
      : kind_(Kind::kText), text_(v ? std::u16string_view(v) : std::u16string_view()), null_(!v) {}
  FormatArg(std::u16string_view v) : kind_(Kind::kText), text_(v) {}    // NOLINT
  FormatArg(const std::u16string& v) : kind_(Kind::kText), text_(v) {}  // NOLINT

  Kind kind() const { return kind_; }
  int64_t AsSigned() const;
  uint64_t AsUnsigned() const;
  double AsReal() const;
  std::u16string_view AsText() const { return kind_ == Kind::kText ? text_ : std::u16string_view(); }
  bool IsNullText() const { return null_; }

 private:
  Kind kind_;
  union {
    int64_t signed_;
    uint64_t unsigned_;
    double real_;
  };
  std::u16string_view text_;
  bool null_ = false;
};

constexpr size_t kUnlimited = static_cast<size_t>(-1);

std::u16string FormatWideList(size_t limit, std::u16string_view format,
                              std::initializer_list<FormatArg> args);

template <typename... Args>
std::u16string FormatWide(size_t limit, std::u16string_view format, const Args&... args) {
  return FormatWideList(limit, format, {FormatArg(args)...});
}

}  // namespace platform
