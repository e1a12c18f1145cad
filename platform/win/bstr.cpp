// BSTRs from the system's allocator, so that COM and every other module can
// free what this one allocates, and the other way round.
#include "platform/bstr.h"

#include "platform/win/sdk.h"

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  size_t length = 0;
  while (text[length]) ++length;
  return SysAllocStringLen(text, static_cast<UINT>(length));
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT len) {
  return platform::sdk::SysAllocStringLen(text, len);
}

BOOL SysReAllocString(BSTR* bstr, const OLECHAR* text) {
  return platform::sdk::SysReAllocString(bstr, text);
}

void SysFreeString(BSTR bstr) { platform::sdk::SysFreeString(bstr); }

UINT SysStringByteLen(BSTR bstr) { return platform::sdk::SysStringByteLen(bstr); }

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr) / sizeof(OLECHAR); }
