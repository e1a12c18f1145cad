// BSTR: a length-prefixed, zero-terminated UTF-16 string allocated by the
// platform, as the OLE Automation functions of the same names give it.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

// A copy of the zero-terminated text, or null for a null argument.
BSTR SysAllocString(const OLECHAR* text);
// A string of len characters copied from text, or zero-filled when text is
// null. Returns null when the length cannot be represented.
BSTR SysAllocStringLen(const OLECHAR* text, UINT len);
// Replaces *bstr by a copy of text; returns FALSE when out of memory.
BOOL SysReAllocString(BSTR* bstr, const OLECHAR* text);
void SysFreeString(BSTR bstr);
// Characters held, from the length prefix (embedded zeros count); 0 for null.
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

// Owns one BSTR; frees it on destruction. Move-only.
class ScopedBstr {
 public:
  ScopedBstr() = default;
  explicit ScopedBstr(const OLECHAR* text) : bstr_(SysAllocString(text)) {}
  explicit ScopedBstr(std::u16string_view text);
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  ScopedBstr(ScopedBstr&& other) noexcept : bstr_(other.Release()) {}
  ScopedBstr& operator=(ScopedBstr&& other) noexcept;
  ~ScopedBstr() { SysFreeString(bstr_); }

  // Takes ownership of bstr, freeing what was held.
  void Reset(BSTR bstr = nullptr);
  // Gives up ownership without freeing.
  BSTR Release();
  // Frees what is held and returns the address for an out-parameter.
  BSTR* Receive();

  BSTR Get() const { return bstr_; }
  UINT Length() const { return SysStringLen(bstr_); }
  // The text with its full length (embedded zeros kept); empty for null.
  std::u16string_view View() const { return std::u16string_view(bstr_ ? bstr_ : u"", Length()); }
  std::u16string Str() const { return std::u16string(View()); }

 private:
  BSTR bstr_ = nullptr;
};

// The text of a BSTR received from someone else; a null BSTR reads as empty.
inline std::u16string_view BstrView(BSTR bstr) {
  return std::u16string_view(bstr ? bstr : u"", SysStringLen(bstr));
}
