// The late-bound face of a caller's event source: a COM object implementing
// ICallerEvents whose IDispatch knows one name, "FireClickMenu" (ignoring
// case), and invokes it as a method with three texts. The add-in reaches
// FireClickMenu only this way; the two host notifications come through the
// interface's table. A concrete event source derives from this class and
// implements the three notifications.
#pragma once

#include "addin/caller_events.h"
#include "platform/com_object.h"

namespace automation {

class CallerEventsDispatch : public ComObject<ICallerEvents> {
 public:
  // The DISPID under which FireClickMenu is invoked.
  static constexpr DISPID kFireClickMenu = 1;

  // No type information: 0 and E_NOTIMPL.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  // kFireClickMenu for the one name "FireClickMenu"; DISP_E_UNKNOWNNAME for
  // any other name or more than one name.
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* dispids) override;
  // FireClickMenu with three texts (passed last first, as COM passes them);
  // DISP_E_MEMBERNOTFOUND for any other member, DISP_E_BADPARAMCOUNT for
  // another count of arguments, DISP_E_TYPEMISMATCH (argErr set) for an
  // argument that is not a text. Otherwise the result of FireClickMenu.
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override;

 protected:
  ~CallerEventsDispatch() override = default;
};

}  // namespace automation
