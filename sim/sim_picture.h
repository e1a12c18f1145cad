// A preview picture handed out by the simulated host: the platform's bitmap
// picture, counted among the host's objects. Interfaces other than
// IPictureDisp, IPicture among them, are those of the picture inside, so
// that saving reaches the picture's own bitmap on every system.
#pragma once

#include <memory>

#include "platform/ole_picture.h"
#include "sim/sim_object.h"

namespace sim {

class SimPicture final : public SimDispatchObject<IPictureDisp> {
 public:
  SimPicture(std::shared_ptr<HostState> host, ComPtr<IPictureDisp> picture);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;

 private:
  ComPtr<IPictureDisp> picture_;
};

}  // namespace sim
