#include "sim/sim_picture.h"

namespace sim {

SimPicture::SimPicture(std::shared_ptr<HostState> host, ComPtr<IPictureDisp> picture)
    : SimDispatchObject(std::move(host)), picture_(std::move(picture)) {}

HRESULT SimPicture::QueryInterface(REFIID riid, void** object) {
  HRESULT hr = SimDispatchObject::QueryInterface(riid, object);
  if (hr != E_NOINTERFACE) return hr;
  return picture_->QueryInterface(riid, object);
}

}  // namespace sim
