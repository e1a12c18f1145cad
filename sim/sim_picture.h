// A preview picture handed out by the simulated host: the platform's bitmap
// picture, counted among the host's objects. Interfaces other than
// IPictureDisp and IPicture are asked of the picture inside (saving reaches
// its pixels that way).
#pragma once

#include <memory>

#include "platform/ole_picture.h"
#include "sim/sim_object.h"

namespace sim {

class SimPicture final : public SimDispatchObject<IPictureDisp, IPicture> {
 public:
  SimPicture(std::shared_ptr<HostState> host, ComPtr<IPictureDisp> picture);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  HRESULT STDMETHODCALLTYPE get_Type(SHORT* type) override;
  HRESULT STDMETHODCALLTYPE get_Width(LONG* width) override;
  HRESULT STDMETHODCALLTYPE get_Height(LONG* height) override;

 private:
  ComPtr<IPictureDisp> picture_;
  ComPtr<IPicture> inner_;
};

}  // namespace sim
