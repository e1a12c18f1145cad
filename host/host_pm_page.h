// The host's property manager page handler interface: the notifications the
// host sends to the object that handles one property manager page. Controls
// are named by the ids the page gave them.
#pragma once

#include "platform/unknown.h"

struct IPropertyManagerPage2Handler5 : IDispatch {
  // The page is shown.
  virtual HRESULT STDMETHODCALLTYPE AfterActivation() = 0;
  // The page is closing, for reason (1 OK, 2 cancel, others host-defined).
  virtual HRESULT STDMETHODCALLTYPE OnClose(LONG reason) = 0;
  // The page has closed.
  virtual HRESULT STDMETHODCALLTYPE AfterClose() = 0;
  // Help was asked for; handled receives whether the handler showed it.
  virtual HRESULT STDMETHODCALLTYPE OnHelp(VARIANT_BOOL* handled) = 0;
  // The user asks for the previous or next page; allowed receives whether
  // the page may be left.
  virtual HRESULT STDMETHODCALLTYPE OnPreviousPage(VARIANT_BOOL* allowed) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnNextPage(VARIANT_BOOL* allowed) = 0;
  // A button, check box or option was used.
  virtual HRESULT STDMETHODCALLTYPE OnButtonPress(LONG id) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnCheckboxCheck(LONG id, VARIANT_BOOL checked) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnOptionCheck(LONG id) = 0;
  // The text of a text box or the value of a number box changed.
  virtual HRESULT STDMETHODCALLTYPE OnTextboxChanged(LONG id, BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnNumberboxChanged(LONG id, DOUBLE value) = 0;
  // The selection of a combo box or list box changed.
  virtual HRESULT STDMETHODCALLTYPE OnComboboxSelectionChanged(LONG id, LONG item) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnListboxSelectionChanged(LONG id, LONG item) = 0;
  // A selection box gained the focus or its list changed.
  virtual HRESULT STDMETHODCALLTYPE OnSelectionboxFocusChanged(LONG id) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnSelectionboxListChanged(LONG id, LONG count) = 0;
  // A control hosting an embedded object was created; result receives the
  // handler's answer (-1: the host keeps its own handling).
  virtual HRESULT STDMETHODCALLTYPE OnActiveXControlCreated(LONG id, VARIANT_BOOL status,
                                                            LONG* result) = 0;
  // A control gained or lost the focus.
  virtual HRESULT STDMETHODCALLTYPE OnGainedFocus(LONG id) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnLostFocus(LONG id) = 0;

 protected:
  ~IPropertyManagerPage2Handler5() = default;
};
HB_DECLARE_IID(IPropertyManagerPage2Handler5, "{3DF87024-D157-4519-998D-C14E092A8688}");
