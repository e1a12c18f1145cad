// The selection of a document.
#pragma once

#include "platform/unknown.h"

// Mark argument of GetSelectedObject that accepts any selection mark.
constexpr LONG kAnySelectionMark = -1;

struct IHostSelectionManager : IDispatch {
  // The selected object number index, counted from 1, whose mark matches
  // (kAnySelectionMark: any). A selected "Reference" feature yields its
  // component (IHostComponent); any other feature yields the feature
  // (IHostFeature). S_OK with null when there is no such object.
  virtual HRESULT STDMETHODCALLTYPE GetSelectedObject(LONG index, LONG mark,
                                                      IDispatch** object) = 0;

 protected:
  ~IHostSelectionManager() = default;
};
HB_DECLARE_IID(IHostSelectionManager, "{9CED85A3-AA94-4D5F-96ED-707D646B9743}");
