// The host's main window frame.
#pragma once

#include "platform/unknown.h"

struct IHostFrame : IDispatch {
  // The frame's native window handle, all 64 bits of it.
  virtual HRESULT STDMETHODCALLTYPE GetHWnd(LONGLONG* handle) = 0;

 protected:
  ~IHostFrame() = default;
};
HB_DECLARE_IID(IHostFrame, "{17FA607A-ECD4-4C39-AF3C-FF939B331DF7}");
