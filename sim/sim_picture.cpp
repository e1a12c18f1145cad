#include "sim/sim_picture.h"

namespace sim {

SimPicture::SimPicture(std::shared_ptr<HostState> host, ComPtr<IPictureDisp> picture)
    : SimDispatchObject(std::move(host)), picture_(std::move(picture)) {
  picture_.As(&inner_);
}

HRESULT SimPicture::QueryInterface(REFIID riid, void** object) {
  HRESULT hr = SimDispatchObject::QueryInterface(riid, object);
  if (hr != E_NOINTERFACE) return hr;
  return picture_->QueryInterface(riid, object);
}

HRESULT SimPicture::get_Type(SHORT* type) {
  if (!inner_) return E_FAIL;
  return inner_->get_Type(type);
}

HRESULT SimPicture::get_Width(LONG* width) {
  if (!inner_) return E_FAIL;
  return inner_->get_Width(width);
}

HRESULT SimPicture::get_Height(LONG* height) {
  if (!inner_) return E_FAIL;
  return inner_->get_Height(height);
}

}  // namespace sim
