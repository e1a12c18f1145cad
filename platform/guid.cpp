#include "platform/guid.h"

#include "platform/text.h"

namespace platform {

std::u16string GuidToString(REFGUID guid) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string out = u"{";
  auto put = [&out](uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
      out.push_back(static_cast<char16_t>(kHex[(value >> shift) & 0xF]));
    }
  };
  put(guid.Data1, 8);
  out.push_back(u'-');
  put(guid.Data2, 4);
  out.push_back(u'-');
  put(guid.Data3, 4);
  out.push_back(u'-');
  put(guid.Data4[0], 2);
  put(guid.Data4[1], 2);
  out.push_back(u'-');
  for (int i = 2; i < 8; ++i) put(guid.Data4[i], 2);
  out.push_back(u'}');
  return out;
}

}  // namespace platform

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (!text || !clsid) return E_INVALIDARG;
  return platform::ParseGuid(std::u16string_view(text), clsid) ? S_OK : MakeHresult(0x800401F3);
}

HRESULT IIDFromString(LPCOLESTR text, IID* iid) {
  if (!text || !iid) return E_INVALIDARG;
  return platform::ParseGuid(std::u16string_view(text), iid) ? S_OK : E_INVALIDARG;
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int cchMax) {
  std::u16string text = platform::GuidToString(guid);
  if (!buffer || cchMax < static_cast<int>(text.size()) + 1) return 0;
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  return static_cast<int>(text.size()) + 1;
}
