// The host's add-in interface: what the host calls on the add-in object it
// created through the module's class factory. It connects the add-in once
// after creating it and disconnects it once before releasing it. The host
// asks for it by its own id and calls it through its table, whose first
// entries after IUnknown's are ConnectToSW and DisconnectFromSW: it is not a
// dispatch interface.
#pragma once

#include "platform/unknown.h"

struct ISwAddin : IUnknown {
  // host: the host's application object (a dispatch object of the host's
  // published object model); cookie: the number the host gave this add-in,
  // which names its command manager and callback registration. connected
  // receives whether the add-in took the connection.
  virtual HRESULT STDMETHODCALLTYPE ConnectToSW(IDispatch* host, LONG cookie,
                                                VARIANT_BOOL* connected) = 0;
  // The add-in lets go of everything it holds of the host. disconnected
  // receives whether the add-in's event handlers came off cleanly.
  virtual HRESULT STDMETHODCALLTYPE DisconnectFromSW(VARIANT_BOOL* disconnected) = 0;

 protected:
  ~ISwAddin() = default;
};
HB_DECLARE_IID(ISwAddin, "{DA306A0D-EAC5-4406-8610-B1DA805D9270}");
