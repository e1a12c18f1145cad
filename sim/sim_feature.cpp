#include "sim/sim_feature.h"

#include "platform/bstr.h"
#include "sim/out_params.h"
#include "sim/sim_display_dimension.h"

namespace sim {

SimFeature::SimFeature(std::shared_ptr<HostState> host, FeatureRef feature)
    : SimDispatchObject(std::move(host)), feature_(std::move(feature)) {}

ComPtr<IHostFeature> SimFeature::Make(const std::shared_ptr<HostState>& host, FeatureRef feature) {
  if (!feature.node) return nullptr;
  return MakeComObject<SimFeature, IHostFeature>(host, std::move(feature));
}

std::u16string SimFeature::Name() const {
  const FeatureNode& node = feature_.node;
  return node.feature ? node.feature->name : node.component->name;
}

FeatureFields& SimFeature::Fields() const {
  const FeatureNode& node = feature_.node;
  return node.feature ? node.feature->fields : node.component->feature;
}

HRESULT SimFeature::ReturnNode(FeatureNode node, IHostFeature** out) const {
  FeatureRef next = feature_;
  next.node = node;
  return ReturnObject(Make(host_, std::move(next)), out);
}

HRESULT SimFeature::GetName(BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  if (auto fault = Enter("IHostFeature.GetName", [this] { return Target(); })) return *fault;
  return ReturnText(Name(), name);
}

HRESULT SimFeature::GetTypeName(BSTR* typeName) {
  if (!typeName) return E_POINTER;
  *typeName = nullptr;
  if (auto fault = Enter("IHostFeature.GetTypeName", [this] { return Target(); })) return *fault;
  const FeatureNode& node = feature_.node;
  return ReturnText(node.feature ? std::u16string_view(node.feature->typeName)
                                 : std::u16string_view(kReferenceFeatureTypeName),
                    typeName);
}

HRESULT SimFeature::GetNextFeature(IHostFeature** next) {
  if (!next) return E_POINTER;
  *next = nullptr;
  if (auto fault = Enter("IHostFeature.GetNextFeature", [this] { return Target(); })) return *fault;
  return ReturnNode(feature_.owner->NextInChain(feature_.node), next);
}

HRESULT SimFeature::GetOwnerFeature(IHostFeature** owner) {
  if (!owner) return E_POINTER;
  *owner = nullptr;
  if (auto fault = Enter("IHostFeature.GetOwnerFeature", [this] { return Target(); }))
    return *fault;
  return ReturnNode(feature_.owner->Owner(feature_.node), owner);
}

HRESULT SimFeature::GetFirstSubFeature(IHostFeature** sub) {
  if (!sub) return E_POINTER;
  *sub = nullptr;
  if (auto fault = Enter("IHostFeature.GetFirstSubFeature", [this] { return Target(); }))
    return *fault;
  return ReturnNode(feature_.owner->FirstSub(feature_.node), sub);
}

HRESULT SimFeature::GetNextSubFeature(IHostFeature** next) {
  if (!next) return E_POINTER;
  *next = nullptr;
  if (auto fault = Enter("IHostFeature.GetNextSubFeature", [this] { return Target(); }))
    return *fault;
  return ReturnNode(feature_.owner->NextSub(feature_.node), next);
}

HRESULT SimFeature::Select(VARIANT_BOOL append, VARIANT_BOOL* selected) {
  if (selected) *selected = VARIANT_FALSE;
  if (auto fault = Enter("IHostFeature.Select", [this] { return Target(); }, {append}))
    return *fault;
  DocumentState& context = *feature_.context;
  if (append == VARIANT_FALSE) context.selection.clear();
  context.selection.push_back(
      DocumentState::Selected{feature_.owner.get(), feature_.node, feature_.prefix});
  if (selected) *selected = VARIANT_TRUE;
  return S_OK;
}

HRESULT SimFeature::GetCreatedBy(BSTR* user) {
  if (!user) return E_POINTER;
  *user = nullptr;
  if (auto fault = Enter("IHostFeature.GetCreatedBy", [this] { return Target(); })) return *fault;
  return ReturnText(Fields().createdBy, user);
}

HRESULT SimFeature::GetDateCreated(BSTR* date) {
  if (!date) return E_POINTER;
  *date = nullptr;
  if (auto fault = Enter("IHostFeature.GetDateCreated", [this] { return Target(); })) return *fault;
  return ReturnText(Fields().dateCreated, date);
}

HRESULT SimFeature::GetCreatedVersion(LONG* version) {
  if (!version) return E_POINTER;
  *version = 0;
  if (auto fault = Enter("IHostFeature.GetCreatedVersion", [this] { return Target(); }))
    return *fault;
  *version = Fields().createdVersion;
  return S_OK;
}

HRESULT SimFeature::GetDateModified(BSTR* date) {
  if (!date) return E_POINTER;
  *date = nullptr;
  if (auto fault = Enter("IHostFeature.GetDateModified", [this] { return Target(); }))
    return *fault;
  return ReturnText(Fields().dateModified, date);
}

HRESULT SimFeature::GetModifiedVersion(LONG* version) {
  if (!version) return E_POINTER;
  *version = 0;
  if (auto fault = Enter("IHostFeature.GetModifiedVersion", [this] { return Target(); }))
    return *fault;
  *version = Fields().modifiedVersion;
  return S_OK;
}

HRESULT SimFeature::GetUpdateStamp(LONG* stamp) {
  if (!stamp) return E_POINTER;
  *stamp = 0;
  if (auto fault = Enter("IHostFeature.GetUpdateStamp", [this] { return Target(); })) return *fault;
  *stamp = Fields().updateStamp;
  return S_OK;
}

HRESULT SimFeature::GetDescription(BSTR* description) {
  if (!description) return E_POINTER;
  *description = nullptr;
  if (auto fault = Enter("IHostFeature.GetDescription", [this] { return Target(); })) return *fault;
  return ReturnText(Fields().description, description);
}

HRESULT SimFeature::SetDescription(BSTR description) {
  if (auto fault = Enter("IHostFeature.SetDescription", [this] { return Target(); },
                         {BstrView(description)})) {
    return *fault;
  }
  Fields().description = std::u16string(BstrView(description));
  feature_.owner->changed = true;
  return S_OK;
}

HRESULT SimFeature::GetEditStatus(LONG* status) {
  if (!status) return E_POINTER;
  *status = 0;
  if (auto fault = Enter("IHostFeature.GetEditStatus", [this] { return Target(); })) return *fault;
  *status = Fields().editStatus;
  return S_OK;
}

HRESULT SimFeature::GetErrorCode(LONG* code) {
  if (!code) return E_POINTER;
  *code = 0;
  if (auto fault = Enter("IHostFeature.GetErrorCode", [this] { return Target(); })) return *fault;
  *code = Fields().errorCode;
  return S_OK;
}

HRESULT SimFeature::IsBase(VARIANT_BOOL* isBase) {
  if (!isBase) return E_POINTER;
  *isBase = VARIANT_FALSE;
  if (auto fault = Enter("IHostFeature.IsBase", [this] { return Target(); })) return *fault;
  *isBase = ToVariantBool(Fields().isBase);
  return S_OK;
}

HRESULT SimFeature::GetVisible(LONG* visible) {
  if (!visible) return E_POINTER;
  *visible = 0;
  if (auto fault = Enter("IHostFeature.GetVisible", [this] { return Target(); })) return *fault;
  *visible = Fields().visible;
  return S_OK;
}

HRESULT SimFeature::GetUIState(LONG kind, VARIANT_BOOL* state) {
  if (!state) return E_POINTER;
  *state = VARIANT_FALSE;
  if (auto fault = Enter("IHostFeature.GetUIState", [this] { return Target(); }, {kind}))
    return *fault;
  if (kind != kFeatureUiStateExpanded) return E_INVALIDARG;
  *state = ToVariantBool(Fields().uiState);
  return S_OK;
}

HRESULT SimFeature::SetUIState(LONG kind, VARIANT_BOOL state) {
  if (auto fault = Enter("IHostFeature.SetUIState", [this] { return Target(); }, {kind, state}))
    return *fault;
  if (kind != kFeatureUiStateExpanded) return E_INVALIDARG;
  Fields().uiState = state != VARIANT_FALSE;
  feature_.owner->changed = true;
  return S_OK;
}

HRESULT SimFeature::IsSuppressed(VARIANT_BOOL* suppressed) {
  if (!suppressed) return E_POINTER;
  *suppressed = VARIANT_FALSE;
  if (auto fault = Enter("IHostFeature.IsSuppressed", [this] { return Target(); })) return *fault;
  const FeatureNode& node = feature_.node;
  *suppressed = ToVariantBool(node.feature ? node.feature->suppressed
                                           : node.component->state == kComponentSuppressed);
  return S_OK;
}

HRESULT SimFeature::ReturnDisplayDimension(size_t index, IDispatch** out) const {
  const FeatureModel* model = feature_.node.feature;
  if (!model || index >= model->displayDimensions.size()) return S_OK;
  return ReturnObject(
      MakeComObject<SimDisplayDimension, IDispatch>(host_, feature_.owner, model, index), out);
}

HRESULT SimFeature::GetFirstDisplayDimension(IDispatch** displayDimension) {
  if (!displayDimension) return E_POINTER;
  *displayDimension = nullptr;
  if (auto fault = Enter("IHostFeature.GetFirstDisplayDimension", [this] { return Target(); }))
    return *fault;
  return ReturnDisplayDimension(0, displayDimension);
}

HRESULT SimFeature::GetNextDisplayDimension(IDispatch* current, IDispatch** next) {
  if (!next) return E_POINTER;
  *next = nullptr;
  if (auto fault = Enter("IHostFeature.GetNextDisplayDimension", [this] { return Target(); }))
    return *fault;
  auto* shown = dynamic_cast<SimDisplayDimension*>(current);
  if (!shown || shown->feature() != feature_.node.feature) return E_INVALIDARG;
  return ReturnDisplayDimension(shown->index() + 1, next);
}

}  // namespace sim
