// A tiny COM object for platform tests: counts live instances.
#pragma once

#include "platform/com_object.h"

namespace testing_support {

inline int g_liveProbes = 0;

class Probe final : public ComObject<IDispatch> {
 public:
  Probe() { ++g_liveProbes; }
  ~Probe() override { --g_liveProbes; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

}  // namespace testing_support
