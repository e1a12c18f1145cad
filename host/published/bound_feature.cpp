// IHostFeature over IFeature.
#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/published_ids.h"
#include "host/published/wrapper_calls.h"

namespace published {
namespace {

constinit HostMember kName{"IFeature", u"Name"};
constinit HostMember kGetTypeName2{"IFeature", u"GetTypeName2"};
constinit HostMember kGetNextFeature{"IFeature", u"GetNextFeature"};
constinit HostMember kGetOwnerFeature{"IFeature", u"GetOwnerFeature"};
constinit HostMember kGetFirstSubFeature{"IFeature", u"GetFirstSubFeature"};
constinit HostMember kGetNextSubFeature{"IFeature", u"GetNextSubFeature"};
constinit HostMember kSelect2{"IFeature", u"Select2"};
constinit HostMember kCreatedBy{"IFeature", u"CreatedBy"};
constinit HostMember kDateCreated{"IFeature", u"DateCreated"};
constinit HostMember kGetCreatedVersion{"IFeature", u"GetCreatedVersion"};
constinit HostMember kDateModified{"IFeature", u"DateModified"};
constinit HostMember kGetModifiedVersion{"IFeature", u"GetModifiedVersion"};
constinit HostMember kGetUpdateStamp{"IFeature", u"GetUpdateStamp"};
constinit HostMember kDescription{"IFeature", u"Description"};
constinit HostMember kGetEditStatus{"IFeature", u"GetEditStatus"};
constinit HostMember kGetErrorCode2{"IFeature", u"GetErrorCode2"};
constinit HostMember kIsBase2{"IFeature", u"IsBase2"};
constinit HostMember kVisible{"IFeature", u"Visible"};
constinit HostMember kGetUIState{"IFeature", u"GetUIState"};
constinit HostMember kSetUIState{"IFeature", u"SetUIState"};
constinit HostMember kIsSuppressed2{"IFeature", u"IsSuppressed2"};
constinit HostMember kGetFirstDisplayDimension{"IFeature", u"GetFirstDisplayDimension"};
constinit HostMember kGetNextDisplayDimension{"IFeature", u"GetNextDisplayDimension"};

// The host publishes one user-interface state; the add-in's view refuses
// every other kind instead of letting the host ignore it.
HRESULT CheckUiStateKind(const HostMember& member, LONG kind) {
  if (kind == swIsHiddenInFeatureMgr) return S_OK;
  return Refuse(member, E_INVALIDARG, u"the host knows user-interface state 1 only");
}

HRESULT WrapDisplayDimensionAsDispatch(const LateObject& host, HostMember& member, IDispatch** out,
                                       std::initializer_list<HostArg> args) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ComPtr<IHostDisplayDimension> display;
  HRESULT hr =
      MethodWrapped(host, member, &WrapDisplayDimension, display.ReleaseAndGetAddressOf(), args);
  return AsDispatch(hr, std::move(display), out);
}

class BoundFeature final : public BoundObject<BoundFeature, IHostFeature> {
 public:
  BoundFeature(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override { return host_.Get(kName, name); }
  HRESULT STDMETHODCALLTYPE GetTypeName(BSTR* typeName) override {
    return host_.Method(kGetTypeName2, typeName);
  }
  HRESULT STDMETHODCALLTYPE GetNextFeature(IHostFeature** next) override {
    return MethodWrapped(host_, kGetNextFeature, &WrapFeature, next);
  }
  HRESULT STDMETHODCALLTYPE GetOwnerFeature(IHostFeature** owner) override {
    return MethodWrapped(host_, kGetOwnerFeature, &WrapFeature, owner);
  }
  HRESULT STDMETHODCALLTYPE GetFirstSubFeature(IHostFeature** sub) override {
    return MethodWrapped(host_, kGetFirstSubFeature, &WrapFeature, sub);
  }
  HRESULT STDMETHODCALLTYPE GetNextSubFeature(IHostFeature** next) override {
    return MethodWrapped(host_, kGetNextSubFeature, &WrapFeature, next);
  }

  // Selects without a selection mark.
  HRESULT STDMETHODCALLTYPE Select(VARIANT_BOOL append, VARIANT_BOOL* selected) override {
    VARIANT_BOOL done = VARIANT_FALSE;
    HRESULT hr = host_.Method(kSelect2, &done, {HostArg::Bool(append), HostArg::Long(0)});
    if (selected) *selected = done;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE GetCreatedBy(BSTR* user) override {
    return host_.Get(kCreatedBy, user);
  }
  HRESULT STDMETHODCALLTYPE GetDateCreated(BSTR* date) override {
    return host_.Get(kDateCreated, date);
  }
  HRESULT STDMETHODCALLTYPE GetCreatedVersion(LONG* version) override {
    return host_.Method(kGetCreatedVersion, version);
  }
  HRESULT STDMETHODCALLTYPE GetDateModified(BSTR* date) override {
    return host_.Get(kDateModified, date);
  }
  HRESULT STDMETHODCALLTYPE GetModifiedVersion(LONG* version) override {
    return host_.Method(kGetModifiedVersion, version);
  }
  HRESULT STDMETHODCALLTYPE GetUpdateStamp(LONG* stamp) override {
    return host_.Method(kGetUpdateStamp, stamp);
  }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
    return host_.Get(kDescription, description);
  }
  HRESULT STDMETHODCALLTYPE SetDescription(BSTR description) override {
    return host_.Put(kDescription, {HostArg::Text(description)});
  }
  HRESULT STDMETHODCALLTYPE GetEditStatus(LONG* status) override {
    return host_.Method(kGetEditStatus, status);
  }
  // The code alone; whether it is only a warning is not asked for.
  HRESULT STDMETHODCALLTYPE GetErrorCode(LONG* code) override {
    VARIANT_BOOL warning = VARIANT_FALSE;
    return host_.Method(kGetErrorCode2, code, {HostArg::OutBool(&warning)});
  }
  HRESULT STDMETHODCALLTYPE IsBase(VARIANT_BOOL* isBase) override {
    return host_.Method(kIsBase2, isBase);
  }
  HRESULT STDMETHODCALLTYPE GetVisible(LONG* visible) override {
    return host_.Get(kVisible, visible);
  }
  HRESULT STDMETHODCALLTYPE GetUIState(LONG kind, VARIANT_BOOL* state) override {
    if (!state) return E_POINTER;
    *state = VARIANT_FALSE;
    HRESULT hr = CheckUiStateKind(kGetUIState, kind);
    return FAILED(hr) ? hr : host_.Method(kGetUIState, state, {HostArg::Long(kind)});
  }
  HRESULT STDMETHODCALLTYPE SetUIState(LONG kind, VARIANT_BOOL state) override {
    HRESULT hr = CheckUiStateKind(kSetUIState, kind);
    return FAILED(hr) ? hr : host_.Call(kSetUIState, {HostArg::Long(kind), HostArg::Bool(state)});
  }

  // In the configuration the host shows.
  HRESULT STDMETHODCALLTYPE IsSuppressed(VARIANT_BOOL* suppressed) override {
    if (!suppressed) return E_POINTER;
    *suppressed = VARIANT_FALSE;
    VARIANT noNames{};
    ScopedSafeArray states;
    HRESULT hr = host_.MethodArray(kIsSuppressed2, VT_BOOL, &states,
                                   {HostArg::Long(swThisConfiguration), HostArg::Value(noNames)});
    return FAILED(hr) ? hr : FirstBool(kIsSuppressed2, states, suppressed);
  }

  HRESULT STDMETHODCALLTYPE GetFirstDisplayDimension(IDispatch** displayDimension) override {
    return WrapDisplayDimensionAsDispatch(host_, kGetFirstDisplayDimension, displayDimension, {});
  }
  HRESULT STDMETHODCALLTYPE GetNextDisplayDimension(IDispatch* current, IDispatch** next) override {
    if (!next) return E_POINTER;
    *next = nullptr;
    ComPtr<IDispatch> hostCurrent = Unwrap(current);
    if (!hostCurrent) {
      return Refuse(kGetNextDisplayDimension, E_INVALIDARG, u"no current display dimension");
    }
    return WrapDisplayDimensionAsDispatch(host_, kGetNextDisplayDimension, next,
                                          {HostArg::Object(hostCurrent.Get())});
  }
};

}  // namespace

HRESULT WrapFeature(ComPtr<IDispatch> object, IHostFeature** out) {
  return BoundFeature::Wrap(std::move(object), out);
}

}  // namespace published
