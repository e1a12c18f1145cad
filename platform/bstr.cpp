#include "platform/bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/text.h"

namespace {

// The block holds the byte length, the characters and a terminating zero; the
// BSTR points at the characters, as on Windows.
using LengthPrefix = uint32_t;

LengthPrefix* PrefixOf(BSTR bstr) {
  return reinterpret_cast<LengthPrefix*>(reinterpret_cast<char*>(bstr) - sizeof(LengthPrefix));
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT len) {
  constexpr size_t kMaxChars = (std::numeric_limits<LengthPrefix>::max() / sizeof(OLECHAR)) - 1;
  if (len > kMaxChars) return nullptr;
  size_t bytes = size_t{len} * sizeof(OLECHAR);
  void* block = std::malloc(sizeof(LengthPrefix) + bytes + sizeof(OLECHAR));
  if (!block) return nullptr;
  *static_cast<LengthPrefix*>(block) = static_cast<LengthPrefix>(bytes);
  BSTR bstr = reinterpret_cast<BSTR>(static_cast<char*>(block) + sizeof(LengthPrefix));
  if (text) {
    std::memcpy(bstr, text, bytes);
  } else {
    std::memset(bstr, 0, bytes);
  }
  bstr[len] = 0;
  return bstr;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  size_t len = platform::WideLength(text);
  if (len > std::numeric_limits<UINT>::max()) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(len));
}

BOOL SysReAllocString(BSTR* bstr, const OLECHAR* text) {
  if (!bstr) return FALSE;
  BSTR copy = SysAllocString(text);
  if (text && !copy) return FALSE;
  SysFreeString(*bstr);
  *bstr = copy;
  return TRUE;
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(PrefixOf(bstr));
}

UINT SysStringByteLen(BSTR bstr) { return bstr ? *PrefixOf(bstr) : 0; }

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }
