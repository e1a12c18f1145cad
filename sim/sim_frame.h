// The host's main window frame.
#pragma once

#include <memory>

#include "host/host_frame.h"
#include "sim/sim_object.h"

namespace sim {

class SimFrame final : public SimDispatchObject<IHostFrame> {
 public:
  explicit SimFrame(std::shared_ptr<HostState> host) : SimDispatchObject(std::move(host)) {}

  HRESULT STDMETHODCALLTYPE GetHWnd(LONGLONG* handle) override {
    if (!handle) return E_POINTER;
    *handle = 0;
    if (auto fault = Enter("IHostFrame.GetHWnd", u"frame")) return *fault;
    *handle = host_->windowHandle;
    return S_OK;
  }
};

}  // namespace sim
