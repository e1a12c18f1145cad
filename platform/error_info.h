// COM error objects: the per-thread error info that a failing automation
// call publishes and its caller reads, as OLE Automation gives them.
#pragma once

#include "platform/unknown.h"

struct IErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* helpContext) = 0;

 protected:
  ~IErrorInfo() = default;
};
HB_DECLARE_IID(IErrorInfo, "{1CF2B120-547D-101B-8E65-08002B2BD119}");

struct ICreateErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetGUID(REFGUID guid) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR source) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR description) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR helpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD helpContext) = 0;

 protected:
  ~ICreateErrorInfo() = default;
};
HB_DECLARE_IID(ICreateErrorInfo, "{22F03340-547D-101B-8E65-08002B2BD119}");

// A new, empty error object.
HRESULT CreateErrorInfo(ICreateErrorInfo** info);
// Replaces the calling thread's error object (null clears it).
HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info);
// Hands over the calling thread's error object and clears it; S_FALSE and
// null when there is none.
HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info);
