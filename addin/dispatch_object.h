// DispatchObject<Primary, Others...>: a module object whose IDispatch serves
// the dual interface Primary: names and help from the add-in's type library
// (name lookup ignores case), invocation through the derived class's
// dispatch table (dispatch_table.h). The type information is loaded when it
// is first needed and kept for the object's life.
#pragma once

#include <span>

#include "addin/dispatch_table.h"
#include "addin/module_object.h"
#include "addin/type_library.h"

template <typename Primary, typename... Others>
class DispatchObject : public ModuleObject<Primary, Others...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    HRESULT hr = EnsureTypeInfo();
    return SUCCEEDED(hr) ? typeInfo_.CopyTo(info) : hr;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* dispids) override {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    HRESULT hr = EnsureTypeInfo();
    return SUCCEEDED(hr) ? DispGetIDsOfNames(typeInfo_.Get(), names, count, dispids) : hr;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override {
    return harbolt::DispatchInvoke<Primary>(DispatchTable(), static_cast<Primary*>(this), dispid,
                                            riid, flags, params, result, excepInfo, argErr);
  }

 protected:
  // The members reachable through Invoke; none unless the class says so.
  virtual std::span<const harbolt::DispatchEntry<Primary>> DispatchTable() const { return {}; }

 private:
  HRESULT EnsureTypeInfo() {
    if (!typeInfo_) typeInfo_ = harbolt::LoadHarboltTypeInfo(IidOf<Primary>());
    return typeInfo_ ? S_OK : E_OUTOFMEMORY;
  }

  ComPtr<ITypeInfo> typeInfo_;
};
