#include "sim/sim_picture.h"

namespace sim {

SimPicture::SimPicture(std::shared_ptr<HostState> host, ComPtr<IPictureDisp> picture)
    : SimObject(std::move(host)), picture_(std::move(picture)) {}

HRESULT SimPicture::QueryInterface(REFIID riid, void** object) {
  HRESULT hr = SimObject::QueryInterface(riid, object);
  if (hr != E_NOINTERFACE) return hr;
  return picture_->QueryInterface(riid, object);
}

HRESULT SimPicture::GetTypeInfoCount(UINT* count) { return picture_->GetTypeInfoCount(count); }

HRESULT SimPicture::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
  return picture_->GetTypeInfo(index, lcid, info);
}

HRESULT SimPicture::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                  DISPID* dispids) {
  return picture_->GetIDsOfNames(riid, names, count, lcid, dispids);
}

HRESULT SimPicture::Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* argErr) {
  return picture_->Invoke(dispid, riid, lcid, flags, params, result, exception, argErr);
}

}  // namespace sim
