// The custom properties of one configuration, or of a document as a whole.
#pragma once

#include "platform/safearray.h"
#include "platform/unknown.h"

// Property type codes.
constexpr LONG kPropertyTypeUnknown = 0;
constexpr LONG kPropertyTypeNumber = 3;
constexpr LONG kPropertyTypeDouble = 5;
constexpr LONG kPropertyTypeYesNo = 11;
constexpr LONG kPropertyTypeText = 30;
constexpr LONG kPropertyTypeDate = 64;

// Results of Add2.
constexpr LONG kAddPropertyAdded = 1;
constexpr LONG kAddPropertyNotAdded = 0;
constexpr LONG kAddPropertyPresent = -1;

// Results of Set2.
constexpr LONG kSetPropertyDone = 0;
constexpr LONG kSetPropertyMissing = 1;
constexpr LONG kSetPropertyTypeMismatch = 2;
constexpr LONG kSetPropertyLinked = 3;

struct IHostCustomPropertyManager : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetCount(LONG* count) = 0;
  // All properties at once, in the order they were added: names (VT_BSTR),
  // type codes (VT_I4) and values (VT_BSTR), three vectors of GetCount
  // elements. Each array belongs to the receiver.
  virtual HRESULT STDMETHODCALLTYPE GetAll(SAFEARRAY** names, SAFEARRAY** types,
                                           SAFEARRAY** values) = 0;
  // Adds the property only when it is absent. result: kAddPropertyAdded;
  // kAddPropertyPresent when a property of that name exists (its value is not
  // changed); kAddPropertyNotAdded for an empty name, an unknown type code or
  // a value that does not fit the type (a number type needs a number, yes/no
  // needs "Yes" or "No", a date needs YYYY-MM-DD or YYYY/MM/DD).
  virtual HRESULT STDMETHODCALLTYPE Add2(BSTR name, LONG type, BSTR value, LONG* result) = 0;
  // Changes an existing property only. result: kSetPropertyDone;
  // kSetPropertyMissing when there is no property of that name;
  // kSetPropertyTypeMismatch when the value does not fit the property's type;
  // kSetPropertyLinked when the property takes its value from the document.
  virtual HRESULT STDMETHODCALLTYPE Set2(BSTR name, BSTR value, LONG* result) = 0;

 protected:
  ~IHostCustomPropertyManager() = default;
};
HB_DECLARE_IID(IHostCustomPropertyManager, "{BB6D4C7B-353C-4BC8-B8E6-296EE875C461}");
