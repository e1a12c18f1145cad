// GUID, IID and CLSID with parsing and formatting of the braced text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

constexpr bool IsEqualGUID(REFGUID a, REFGUID b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}
constexpr bool IsEqualIID(REFIID a, REFIID b) { return IsEqualGUID(a, b); }
constexpr bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
constexpr bool operator<(REFGUID a, REFGUID b) {
  if (a.Data1 != b.Data1) return a.Data1 < b.Data1;
  if (a.Data2 != b.Data2) return a.Data2 < b.Data2;
  if (a.Data3 != b.Data3) return a.Data3 < b.Data3;
  for (int i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return a.Data4[i] < b.Data4[i];
  }
  return false;
}

constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr IID IID_NULL = GUID_NULL;

namespace platform {

constexpr int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Parses the braced form (letter case ignored). Returns false, leaving *out
// untouched, for any other text.
template <typename Char>
constexpr bool ParseGuid(std::basic_string_view<Char> text, GUID* out) {
  // Positions of the hexadecimal digit pairs inside "{8-4-4-4-12}".
  constexpr int kBytePos[16] = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
  if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' ||
      text[14] != '-' || text[19] != '-' || text[24] != '-') {
    return false;
  }
  uint8_t bytes[16] = {};
  for (int i = 0; i < 16; ++i) {
    int hi = HexDigitValue(static_cast<char16_t>(text[kBytePos[i]]));
    int lo = HexDigitValue(static_cast<char16_t>(text[kBytePos[i] + 1]));
    if (hi < 0 || lo < 0) return false;
    bytes[i] = static_cast<uint8_t>(hi * 16 + lo);
  }
  GUID g{};
  g.Data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
            bytes[3];
  g.Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  g.Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) g.Data4[i] = bytes[8 + i];
  *out = g;
  return true;
}

// A GUID from a literal in braced form, checked when compiled.
consteval GUID GuidLiteral(const char* text) {
  GUID g{};
  if (!ParseGuid(std::string_view(text), &g)) throw "malformed GUID literal";
  return g;
}

// The braced form in upper case, as the registry and type libraries write it.
std::u16string GuidToString(REFGUID guid);

}  // namespace platform

// The Windows entry points over the same parser and formatter.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
HRESULT IIDFromString(LPCOLESTR text, IID* iid);
// Writes the braced form and its terminator; returns the characters written
// including the terminator (39), or 0 when cchMax is too small.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int cchMax);

// Associates an interface type with its IID, so that IidOf<T>() finds it.
template <typename T>
struct InterfaceId;

#define HB_DECLARE_IID(Interface, text)                                     \
  template <>                                                               \
  struct InterfaceId<Interface> {                                           \
    static constexpr IID value = ::platform::GuidLiteral(text);             \
  }

template <typename T>
constexpr const IID& IidOf() {
  return InterfaceId<T>::value;
}
