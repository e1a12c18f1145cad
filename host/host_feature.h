// A feature of a model document's feature tree. In an assembly the
// components show as features of type name "Reference": selecting one (and
// then asking the document's selection manager) yields the component.
#pragma once

#include "platform/unknown.h"

// The kind of user-interface state that GetUIState and SetUIState take,
// the one the host publishes: whether the feature is hidden in the feature
// tree.
constexpr LONG kFeatureUiStateHidden = 1;

// Type name of the features that stand for assembly components.
inline constexpr char16_t kReferenceFeatureTypeName[] = u"Reference";

struct IHostFeature : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;
  // The kind of feature, for instance "Extrusion", "ProfileFeature" or
  // "Reference".
  virtual HRESULT STDMETHODCALLTYPE GetTypeName(BSTR* typeName) = 0;

  // The next feature of the document's feature chain (definition order,
  // suppressed features included); null after the last. A sub-feature that
  // the chain does not hold has no next feature.
  virtual HRESULT STDMETHODCALLTYPE GetNextFeature(IHostFeature** next) = 0;
  // The feature this one hangs under (a sketch under its extrusion); null for
  // a feature at the top of the tree.
  virtual HRESULT STDMETHODCALLTYPE GetOwnerFeature(IHostFeature** owner) = 0;
  // The first feature hanging under this one; null when none.
  virtual HRESULT STDMETHODCALLTYPE GetFirstSubFeature(IHostFeature** sub) = 0;
  // The next feature under the same owner (for a feature at the top, the
  // next feature at the top); null after the last.
  virtual HRESULT STDMETHODCALLTYPE GetNextSubFeature(IHostFeature** next) = 0;

  // Selects the feature in the document it was reached through; append
  // VARIANT_FALSE makes it the only selection.
  virtual HRESULT STDMETHODCALLTYPE Select(VARIANT_BOOL append, VARIANT_BOOL* selected) = 0;

  virtual HRESULT STDMETHODCALLTYPE GetCreatedBy(BSTR* user) = 0;
  // Dates as the host formats them, for instance "2024/03/01 10:15:00".
  virtual HRESULT STDMETHODCALLTYPE GetDateCreated(BSTR* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCreatedVersion(LONG* version) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDateModified(BSTR* date) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetModifiedVersion(LONG* version) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetUpdateStamp(LONG* stamp) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescription(BSTR description) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEditStatus(LONG* status) = 0;
  // The rebuild error of the feature; 0 when it rebuilt cleanly.
  virtual HRESULT STDMETHODCALLTYPE GetErrorCode(LONG* code) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsBase(VARIANT_BOOL* isBase) = 0;
  // The feature's visibility value as the host keeps it.
  virtual HRESULT STDMETHODCALLTYPE GetVisible(LONG* visible) = 0;
  // The user-interface state of a kind; only kFeatureUiStateHidden is
  // known (E_INVALIDARG for another kind).
  virtual HRESULT STDMETHODCALLTYPE GetUIState(LONG kind, VARIANT_BOOL* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetUIState(LONG kind, VARIANT_BOOL state) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsSuppressed(VARIANT_BOOL* suppressed) = 0;

  // The display dimensions the feature shows. Each is an object that answers
  // QueryInterface for IHostDisplayDimension; null ends the walk. The next
  // one is found from the current one, which must come from this feature
  // (E_INVALIDARG otherwise).
  virtual HRESULT STDMETHODCALLTYPE GetFirstDisplayDimension(IDispatch** displayDimension) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextDisplayDimension(IDispatch* current,
                                                            IDispatch** next) = 0;

 protected:
  ~IHostFeature() = default;
};
HB_DECLARE_IID(IHostFeature, "{3D6B0CB8-5A05-42EA-9A25-2938927F7D7D}");
