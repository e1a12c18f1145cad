#include "tools/automation/caller_events_dispatch.h"

#include "platform/text.h"
#include "platform/variant.h"

namespace automation {

HRESULT CallerEventsDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT CallerEventsDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT CallerEventsDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* dispids) {
  if (!names || !dispids || count == 0) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) dispids[i] = DISPID_UNKNOWN;
  if (count != 1 || !names[0] || !platform::EqualsIgnoringAsciiCase(names[0], u"FireClickMenu")) {
    return DISP_E_UNKNOWNNAME;
  }
  dispids[0] = kFireClickMenu;
  return S_OK;
}

HRESULT CallerEventsDispatch::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT*, EXCEPINFO*, UINT* argErr) {
  if (dispid != kFireClickMenu || !(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
  if (!params || params->cArgs != 3) return DISP_E_BADPARAMCOUNT;
  // Positional arguments arrive last first.
  for (UINT i = 0; i < 3; ++i) {
    if (params->rgvarg[i].vt != VT_BSTR) {
      if (argErr) *argErr = i;
      return DISP_E_TYPEMISMATCH;
    }
  }
  return FireClickMenu(params->rgvarg[2].bstrVal, params->rgvarg[1].bstrVal,
                       params->rgvarg[0].bstrVal);
}

}  // namespace automation
