// The caller's event interface: how the add-in reaches the data-management
// client that drives it. The caller implements it and hands it over with
// IHarbolt::SetEventSrc. The add-in calls FireClickMenu by name through
// IDispatch only, and the two notices of host events through the table.
#pragma once

#include "platform/unknown.h"

struct ICallerEvents : IDispatch {
  // A command of the caller's menu was clicked: the cax handle, the path of
  // the active document and the XML text of the clicked menu element.
  virtual HRESULT STDMETHODCALLTYPE FireClickMenu(BSTR caxHandle, BSTR documentPath,
                                                  BSTR menuItem) = 0;
  // The host made a new document.
  virtual HRESULT STDMETHODCALLTYPE FireFileNew(BSTR caxHandle) = 0;
  // The host opened a model file (its name as the host reports it).
  virtual HRESULT STDMETHODCALLTYPE FireFileOpen(BSTR caxHandle, BSTR fileName) = 0;

 protected:
  ~ICallerEvents() = default;
};
HB_DECLARE_IID(ICallerEvents, "{3EF6644E-096C-48E9-8E99-936D2E583BE4}");
