// The host's add-in interface: what the host calls on the add-in object it
// created through the module's class factory. It connects the add-in once
// after creating it and disconnects it once before releasing it.
#pragma once

#include "platform/unknown.h"

struct ISwAddin : IDispatch {
  // host: the host's application object (it answers QueryInterface for
  // IHostApplication); cookie: the number the host gave this add-in, which
  // names its command manager and callback registration. connected receives
  // whether the add-in took the connection.
  virtual HRESULT STDMETHODCALLTYPE ConnectToSW(IDispatch* host, LONG cookie,
                                                VARIANT_BOOL* connected) = 0;
  // The add-in lets go of everything it holds of the host. disconnected
  // receives whether the add-in's event handlers came off cleanly.
  virtual HRESULT STDMETHODCALLTYPE DisconnectFromSW(VARIANT_BOOL* disconnected) = 0;

 protected:
  ~ISwAddin() = default;
};
HB_DECLARE_IID(ISwAddin, "{43262FD6-221E-43A2-9DAA-FE0A2F267F0A}");
