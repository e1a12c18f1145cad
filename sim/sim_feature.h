// A feature of a model document's feature tree, as the host hands it out.
#pragma once

#include <memory>
#include <string>

#include "host/host_feature.h"
#include "sim/sim_object.h"

namespace sim {

// Where a feature is: the document that holds it, the node, and the context
// it was reached in: the document the walk started from (selection goes
// there) and the name path of the components it was reached through
// ("SubAsm-1/"), which the components found below it carry.
struct FeatureRef {
  std::shared_ptr<DocumentState> owner;
  FeatureNode node;
  std::shared_ptr<DocumentState> context;
  std::u16string prefix;
};

class SimFeature final : public SimDispatchObject<IHostFeature> {
 public:
  SimFeature(std::shared_ptr<HostState> host, FeatureRef feature);
  // A new feature object; null for an empty node.
  static ComPtr<IHostFeature> Make(const std::shared_ptr<HostState>& host, FeatureRef feature);

  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE GetTypeName(BSTR* typeName) override;
  HRESULT STDMETHODCALLTYPE GetNextFeature(IHostFeature** next) override;
  HRESULT STDMETHODCALLTYPE GetOwnerFeature(IHostFeature** owner) override;
  HRESULT STDMETHODCALLTYPE GetFirstSubFeature(IHostFeature** sub) override;
  HRESULT STDMETHODCALLTYPE GetNextSubFeature(IHostFeature** next) override;
  HRESULT STDMETHODCALLTYPE Select(VARIANT_BOOL append, VARIANT_BOOL* selected) override;
  HRESULT STDMETHODCALLTYPE GetCreatedBy(BSTR* user) override;
  HRESULT STDMETHODCALLTYPE GetDateCreated(BSTR* date) override;
  HRESULT STDMETHODCALLTYPE GetCreatedVersion(LONG* version) override;
  HRESULT STDMETHODCALLTYPE GetDateModified(BSTR* date) override;
  HRESULT STDMETHODCALLTYPE GetModifiedVersion(LONG* version) override;
  HRESULT STDMETHODCALLTYPE GetUpdateStamp(LONG* stamp) override;
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override;
  HRESULT STDMETHODCALLTYPE SetDescription(BSTR description) override;
  HRESULT STDMETHODCALLTYPE GetEditStatus(LONG* status) override;
  HRESULT STDMETHODCALLTYPE GetErrorCode(LONG* code) override;
  HRESULT STDMETHODCALLTYPE IsBase(VARIANT_BOOL* isBase) override;
  HRESULT STDMETHODCALLTYPE GetVisible(LONG* visible) override;
  HRESULT STDMETHODCALLTYPE GetUIState(LONG kind, VARIANT_BOOL* state) override;
  HRESULT STDMETHODCALLTYPE SetUIState(LONG kind, VARIANT_BOOL state) override;
  HRESULT STDMETHODCALLTYPE IsSuppressed(VARIANT_BOOL* suppressed) override;
  HRESULT STDMETHODCALLTYPE GetFirstDisplayDimension(IDispatch** displayDimension) override;
  HRESULT STDMETHODCALLTYPE GetNextDisplayDimension(IDispatch* current, IDispatch** next) override;

 private:
  std::u16string Name() const;
  FeatureFields& Fields() const;
  std::u16string Target() const { return feature_.owner->FileName() + u":" + Name(); }
  HRESULT ReturnNode(FeatureNode node, IHostFeature** out) const;
  HRESULT ReturnDisplayDimension(size_t index, IDispatch** out) const;

  FeatureRef feature_;
};

}  // namespace sim
