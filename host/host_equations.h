// The equations of a model document, addressed by their 0-based index.
// A text has the form left side, "=", right side, with names in double
// quotes: "D1@Sketch1" = 25.4, or a global variable "Width" = 40. The right
// side is evaluated (numbers, + - * / ^, parentheses, quoted names of global
// variables and dimensions); an equation that is not suppressed and whose
// left side names a dimension drives that dimension's value.
#pragma once

#include "platform/unknown.h"

struct IHostEquationManager : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCount(LONG* count) = 0;
  // The text at index; E_INVALIDARG and a null text for a bad index.
  virtual HRESULT STDMETHODCALLTYPE GetEquation(LONG index, BSTR* text) = 0;
  // Replaces the text at index and evaluates it (a right side that cannot be
  // evaluated gives the value 0). E_INVALIDARG, nothing
  // changed, for a bad index, a text without "=" or a left side that
  // another equation has.
  virtual HRESULT STDMETHODCALLTYPE SetEquation(LONG index, BSTR text) = 0;
  // The evaluated value at index; -1 for a bad index.
  virtual HRESULT STDMETHODCALLTYPE GetValue(LONG index, double* value) = 0;
  // E_INVALIDARG (false) for a bad index.
  virtual HRESULT STDMETHODCALLTYPE GetSuppression(LONG index, VARIANT_BOOL* suppressed) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetSuppression(LONG index, VARIANT_BOOL suppressed) = 0;
  // Deletes the equation at index: result 0 when done, -1 for a bad index.
  virtual HRESULT STDMETHODCALLTYPE Delete(LONG index, LONG* result) = 0;
  // Inserts text at index (-1 or the count appends) and evaluates it (this
  // host always evaluates; solve is accepted for the caller's sake). newIndex receives the index
  // the equation got, or -1 when it was not added (a bad index, a text without "=", a left side
  // that exists already).
  virtual HRESULT STDMETHODCALLTYPE Add(LONG index, BSTR text, VARIANT_BOOL solve,
                                        LONG* newIndex) = 0;

 protected:
  ~IHostEquationManager() = default;
};
HB_DECLARE_IID(IHostEquationManager, "{B9B94125-85F7-49B3-8602-BE086BF9BEC4}");
