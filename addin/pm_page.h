// The shells of a property manager page: CUserPropertyManagerPage, a page
// object without members, and CPMPageHandler, which implements the host's
// page-handler interface by answering every notification without doing
// anything. The add-in creates no page; the classes are registered and
// creatable.
#pragma once

#include "addin/dispatch_object.h"
#include "host/host_pm_page.h"

struct IUserPropertyManagerPage : IDispatch {
 protected:
  ~IUserPropertyManagerPage() = default;
};
HB_DECLARE_IID(IUserPropertyManagerPage, "{2CBF10A6-9DC8-48D4-98C7-DDCDA85B8344}");

struct IPMPageHandler : IDispatch {
 protected:
  ~IPMPageHandler() = default;
};
HB_DECLARE_IID(IPMPageHandler, "{0936E911-3E03-4A68-BDD4-A52090993EF1}");

class CUserPropertyManagerPage final : public DispatchObject<IUserPropertyManagerPage> {};

// Every notification returns S_OK; the yes/no answers are true (-1) and the
// number answer is -1.
class CPMPageHandler final : public DispatchObject<IPMPageHandler, IPropertyManagerPage2Handler5> {
 public:
  HRESULT STDMETHODCALLTYPE AfterActivation() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnClose(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE AfterClose() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnHelp(VARIANT_BOOL* handled) override { return Yes(handled); }
  HRESULT STDMETHODCALLTYPE OnPreviousPage(VARIANT_BOOL* allowed) override { return Yes(allowed); }
  HRESULT STDMETHODCALLTYPE OnNextPage(VARIANT_BOOL* allowed) override { return Yes(allowed); }
  HRESULT STDMETHODCALLTYPE OnButtonPress(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnCheckboxCheck(LONG, VARIANT_BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnOptionCheck(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnTextboxChanged(LONG, BSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnNumberboxChanged(LONG, DOUBLE) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnComboboxSelectionChanged(LONG, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnListboxSelectionChanged(LONG, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionboxFocusChanged(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnSelectionboxListChanged(LONG, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnActiveXControlCreated(LONG, VARIANT_BOOL, LONG* result) override {
    if (result) *result = -1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnGainedFocus(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnLostFocus(LONG) override { return S_OK; }

 private:
  static HRESULT Yes(VARIANT_BOOL* answer) {
    if (answer) *answer = VARIANT_TRUE;
    return S_OK;
  }
};
