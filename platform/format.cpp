#include "platform/format.h"

#include <cstdio>
#include <string>

#include "platform/c_locale.h"

namespace platform {

int64_t FormatArg::AsSigned() const {
  switch (kind_) {
    case Kind::kSigned:
      return signed_;
    case Kind::kUnsigned:
      return static_cast<int64_t>(unsigned_);
    case Kind::kReal:
      // Out of range (or NaN) has no integer value: clamp rather than
      // convert, which would be undefined.
      if (real_ >= 9.2e18) return INT64_MAX;
      if (real_ <= -9.2e18) return INT64_MIN;
      if (real_ != real_) return 0;
      return static_cast<int64_t>(real_);
    case Kind::kText:
      return 0;
  }
  return 0;
}

uint64_t FormatArg::AsUnsigned() const {
  switch (kind_) {
    case Kind::kSigned:
      return static_cast<uint64_t>(signed_);
    case Kind::kUnsigned:
      return unsigned_;
    case Kind::kReal:
      return static_cast<uint64_t>(AsSigned());
    case Kind::kText:
      return 0;
  }
  return 0;
}

double FormatArg::AsReal() const {
  switch (kind_) {
    case Kind::kSigned:
      return static_cast<double>(signed_);
    case Kind::kUnsigned:
      return static_cast<double>(unsigned_);
    case Kind::kReal:
      return real_;
    case Kind::kText:
      return 0.0;
  }
  return 0.0;
}

namespace {

struct Directive {
  std::string flags;
  int width = -1;
  int precision = -1;
  bool wide64 = false;  // ll or I64: the argument is taken at 64 bits
  char16_t conversion = 0;
};

// Collects output up to the limit, as a fixed buffer would.
class Sink {
 public:
  explicit Sink(size_t limit) : limit_(limit) {}
  bool Full() const { return out_.size() >= limit_; }
  void Put(char16_t c) {
    if (!Full()) out_.push_back(c);
  }
  void Put(std::u16string_view text) {
    size_t room = limit_ - out_.size();
    out_.append(text.substr(0, room));
  }
  void PutAscii(const char* text) {
    for (; *text && !Full(); ++text) out_.push_back(static_cast<char16_t>(*text));
  }
  void Pad(int count) {
    for (int i = 0; i < count && !Full(); ++i) out_.push_back(u' ');
  }
  std::u16string Take() { return std::move(out_); }

 private:
  size_t limit_;
  std::u16string out_;
};

class ArgReader {
 public:
  // The list outlives the reader: both live for one FormatWideList call.
  ArgReader(const FormatArg* begin, const FormatArg* end) : it_(begin), end_(end) {}
  const FormatArg* Next() { return it_ == end_ ? nullptr : it_++; }

 private:
  const FormatArg* it_;
  const FormatArg* end_;
};

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int ReadNumber(std::u16string_view format, size_t& i) {
  int value = 0;
  while (i < format.size() && IsDigit(format[i])) {
    if (value < 100000) value = value * 10 + (format[i] - u'0');
    ++i;
  }
  return value;
}

int StarValue(ArgReader& args) {
  const FormatArg* a = args.Next();
  int64_t v = a ? a->AsSigned() : 0;
  if (v > 100000) v = 100000;
  if (v < -100000) v = -100000;
  return static_cast<int>(v);
}

// Parses flags, width, precision and length after a '%'; i ends on the
// conversion character (or the end of the format).
Directive ParseSpec(std::u16string_view format, size_t& i, ArgReader& args) {
  Directive directive;
  while (i < format.size() &&
         std::u16string_view(u"-+ #0").find(format[i]) != std::u16string_view::npos) {
    directive.flags.push_back(static_cast<char>(format[i++]));
  }
  if (i < format.size() && format[i] == u'*') {
    ++i;
    directive.width = StarValue(args);
    if (directive.width < 0) {
      directive.flags.push_back('-');
      directive.width = -directive.width;
    }
  } else if (i < format.size() && IsDigit(format[i])) {
    directive.width = ReadNumber(format, i);
  }
  if (i < format.size() && format[i] == u'.') {
    ++i;
    if (i < format.size() && format[i] == u'*') {
      ++i;
      directive.precision = StarValue(args);
    } else {
      directive.precision = ReadNumber(format, i);
    }
  }
  for (;;) {
    std::u16string_view rest = format.substr(i);
    if (rest.starts_with(u"I64") || rest.starts_with(u"ll")) {
      directive.wide64 = true;
      i += rest[0] == u'I' ? 3 : 2;
    } else if (rest.starts_with(u"I32")) {
      i += 3;
    } else if (!rest.empty() &&
               std::u16string_view(u"hlLwzjtI").find(rest[0]) != std::u16string_view::npos) {
      ++i;
    } else {
      break;
    }
  }
  if (i < format.size()) directive.conversion = format[i];
  return directive;
}

void PutPadded(Sink& sink, const Directive& directive, std::u16string_view text) {
  bool left = directive.flags.find('-') != std::string::npos;
  int pad = directive.width > static_cast<int>(text.size())
                ? directive.width - static_cast<int>(text.size())
                : 0;
  if (!left) sink.Pad(pad);
  sink.Put(text);
  if (left) sink.Pad(pad);
}

void PutText(Sink& sink, const Directive& directive, const FormatArg* arg) {
  std::u16string_view text;
  if (arg && arg->IsNullText()) {
    text = u"(null)";
  } else if (arg) {
    text = arg->AsText();
  }
  if (directive.precision >= 0 && static_cast<size_t>(directive.precision) < text.size()) {
    text = text.substr(0, directive.precision);
  }
  PutPadded(sink, directive, text);
}

// Numbers are formatted in the "C" locale, the same whatever locale the host
// process runs in.
template <typename T>
std::string CFormat(const std::string& format, T value) {
  ClassicNumbersScope classic;
  int n = std::snprintf(nullptr, 0, format.c_str(), value);
  std::string out(n > 0 ? static_cast<size_t>(n) + 1 : 0, '\0');
  if (n > 0) std::snprintf(out.data(), out.size(), format.c_str(), value);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

// Numbers go through the C library's formatting of the same directive.
void PutNumber(Sink& sink, const Directive& directive, const FormatArg* arg) {
  std::string narrow = "%" + directive.flags;
  if (directive.width >= 0) narrow += std::to_string(directive.width);
  if (directive.precision >= 0) narrow += "." + std::to_string(directive.precision);
  char conversion = static_cast<char>(directive.conversion);
  std::string text;
  switch (conversion) {
    case 'd':
    case 'i': {
      int64_t v = arg ? arg->AsSigned() : 0;
      if (!directive.wide64) v = static_cast<int32_t>(v);
      text = CFormat(narrow + "lld", static_cast<long long>(v));
      break;
    }
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
      uint64_t v = arg ? arg->AsUnsigned() : 0;
      if (!directive.wide64) v = static_cast<uint32_t>(v);
      text = CFormat(narrow + "ll" + conversion, static_cast<unsigned long long>(v));
      break;
    }
    default:  // e E f F g G
      text = CFormat(narrow + conversion, arg ? arg->AsReal() : 0.0);
      break;
  }
  sink.PutAscii(text.c_str());
}

void PutChar(Sink& sink, const Directive& directive, const FormatArg* arg) {
  char16_t c = arg ? static_cast<char16_t>(arg->AsUnsigned()) : 0;
  PutPadded(sink, directive, std::u16string_view(&c, 1));
}

}  // namespace

std::u16string FormatWideList(size_t limit, std::u16string_view format,
                              std::initializer_list<FormatArg> list) {
  Sink sink(limit);
  ArgReader args(list.begin(), list.end());
  for (size_t i = 0; i < format.size() && !sink.Full(); ++i) {
    if (format[i] != u'%') {
      sink.Put(format[i]);
      continue;
    }
    ++i;
    Directive directive = ParseSpec(format, i, args);
    switch (directive.conversion) {
      case 0:
        break;  // a lone '%' at the end prints nothing
      case u'%':
        sink.Put(u'%');
        break;
      case u's':
      case u'S':
        PutText(sink, directive, args.Next());
        break;
      case u'c':
      case u'C':
        PutChar(sink, directive, args.Next());
        break;
      case u'd':
      case u'i':
      case u'u':
      case u'x':
      case u'X':
      case u'o':
      case u'e':
      case u'E':
      case u'f':
      case u'F':
      case u'g':
      case u'G':
        PutNumber(sink, directive, args.Next());
        break;
      default:
        sink.Put(directive.conversion);  // not a conversion: the letter itself
        break;
    }
  }
  return sink.Take();
}

}  // namespace platform
