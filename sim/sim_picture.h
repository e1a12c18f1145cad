// A preview picture handed out by the simulated host: the platform's bitmap
// picture, counted among the host's objects. Interfaces other than
// IPictureDisp, IPicture among them, are those of the picture inside, so
// that saving reaches the picture's own bitmap on every system; so is its
// IDispatch.
#pragma once

#include <memory>

#include "platform/ole_picture.h"
#include "sim/sim_object.h"

namespace sim {

class SimPicture final : public SimObject<IPictureDisp> {
 public:
  SimPicture(std::shared_ptr<HostState> host, ComPtr<IPictureDisp> picture);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* dispids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argErr) override;

 private:
  ComPtr<IPictureDisp> picture_;
};

}  // namespace sim
