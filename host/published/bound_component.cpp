// IHostComponent over IComponent2, ISelectionMgr and IFrame: the objects
// the add-in reaches components, selections and the main window through.
#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/host_failure.h"
#include "host/published/published_ids.h"
#include "host/published/wrapper_calls.h"

namespace published {
namespace {

constinit HostMember kName2{"IComponent2", u"Name2"};
constinit HostMember kGetSuppression2{"IComponent2", u"GetSuppression2"};
constinit HostMember kGetModelDoc2{"IComponent2", u"GetModelDoc2"};
constinit HostMember kGetChildren{"IComponent2", u"GetChildren"};
constinit HostMember kReferencedConfiguration{"IComponent2", u"ReferencedConfiguration"};
constinit HostMember kVisible{"IComponent2", u"Visible"};
constinit HostMember kGetConstrainedStatus{"IComponent2", u"GetConstrainedStatus"};
constinit HostMember kGetPathName{"IComponent2", u"GetPathName"};
constinit HostMember kFirstFeature{"IComponent2", u"FirstFeature"};
constinit HostMember kIsRoot{"IComponent2", u"IsRoot"};

constinit HostMember kGetSelectedObject6{"ISelectionMgr", u"GetSelectedObject6"};
constinit HostMember kGetSelectedObjectType3{"ISelectionMgr", u"GetSelectedObjectType3"};

constinit HostMember kGetHWnd{"IFrame", u"GetHWnd"};

constexpr LONG kNothingSelected = 0;

class BoundComponent final : public BoundObject<BoundComponent, IHostComponent> {
 public:
  BoundComponent(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  // The root stands for the assembly itself and reads as an empty name;
  // the host may refuse it a name, so IsRoot is asked only then.
  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override {
    HRESULT hr = host_.Get(kName2, name);
    if (SUCCEEDED(hr)) return hr;
    std::optional<std::u16string> failure = TakeHostFailure(hr);
    VARIANT_BOOL root = VARIANT_FALSE;
    if (SUCCEEDED(host_.Method(kIsRoot, &root)) && root) {
      *name = SysAllocString(u"");
      return *name ? S_OK : E_OUTOFMEMORY;
    }
    // The name's failure is the one to report, not the question after it.
    if (failure) RecordHostFailure(hr, std::move(*failure));
    return hr;
  }
  HRESULT STDMETHODCALLTYPE GetSuppressionState(LONG* state) override {
    return host_.Method(kGetSuppression2, state);
  }
  HRESULT STDMETHODCALLTYPE GetModelDoc(IDispatch** document) override {
    if (!document) return E_POINTER;
    ComPtr<IHostModelDoc> model;
    HRESULT hr = MethodWrapped(host_, kGetModelDoc2, &WrapDocument, model.ReleaseAndGetAddressOf());
    return AsDispatch(hr, std::move(model), document);
  }
  HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** children) override {
    if (!children) return E_POINTER;
    *children = nullptr;
    ScopedSafeArray hostChildren;
    HRESULT hr = host_.MethodArray(kGetChildren, VT_DISPATCH, &hostChildren);
    return FAILED(hr) ? hr : WrapList(kGetChildren, hostChildren, &WrapComponent, children);
  }
  HRESULT STDMETHODCALLTYPE GetReferencedConfiguration(BSTR* configuration) override {
    return host_.Get(kReferencedConfiguration, configuration);
  }
  HRESULT STDMETHODCALLTYPE GetVisibility(LONG* visibility) override {
    return host_.Get(kVisible, visibility);
  }
  HRESULT STDMETHODCALLTYPE GetConstraintStatus(LONG* status) override {
    return host_.Method(kGetConstrainedStatus, status);
  }
  HRESULT STDMETHODCALLTYPE GetPathName(BSTR* path) override {
    return host_.Method(kGetPathName, path);
  }
  HRESULT STDMETHODCALLTYPE GetFirstFeature(IHostFeature** feature) override {
    return MethodWrapped(host_, kFirstFeature, &WrapFeature, feature);
  }
};

class BoundSelectionManager final
    : public BoundObject<BoundSelectionManager, IHostSelectionManager> {
 public:
  BoundSelectionManager(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  // What the selection holds decides the wrapper: a component, or a
  // feature.
  HRESULT STDMETHODCALLTYPE GetSelectedObject(LONG index, LONG mark, IDispatch** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    LONG type = kNothingSelected;
    HRESULT hr =
        host_.Method(kGetSelectedObjectType3, &type, {HostArg::Long(index), HostArg::Long(mark)});
    if (FAILED(hr) || type == kNothingSelected) return hr;
    ComPtr<IDispatch> selected;
    hr = host_.Method(kGetSelectedObject6, &selected, {HostArg::Long(index), HostArg::Long(mark)});
    if (FAILED(hr)) return hr;
    if (type == swSelCOMPONENTS) {
      ComPtr<IHostComponent> component;
      hr = WrapComponent(std::move(selected), component.ReleaseAndGetAddressOf());
      return AsDispatch(hr, std::move(component), object);
    }
    ComPtr<IHostFeature> feature;
    hr = WrapFeature(std::move(selected), feature.ReleaseAndGetAddressOf());
    return AsDispatch(hr, std::move(feature), object);
  }
};

class BoundFrame final : public BoundObject<BoundFrame, IHostFrame> {
 public:
  BoundFrame(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  // Late-bound, the host gives the handle's 32 bits; they are widened as
  // window handles are between 32 and 64 bits, by their sign.
  HRESULT STDMETHODCALLTYPE GetHWnd(LONGLONG* handle) override {
    if (!handle) return E_POINTER;
    LONG bits = 0;
    HRESULT hr = host_.Method(kGetHWnd, &bits);
    *handle = bits;
    return hr;
  }
};

}  // namespace

HRESULT WrapComponent(ComPtr<IDispatch> object, IHostComponent** out) {
  return BoundComponent::Wrap(std::move(object), out);
}

HRESULT WrapSelectionManager(ComPtr<IDispatch> object, IHostSelectionManager** out) {
  return BoundSelectionManager::Wrap(std::move(object), out);
}

HRESULT WrapFrame(ComPtr<IDispatch> object, IHostFrame** out) {
  return BoundFrame::Wrap(std::move(object), out);
}

}  // namespace published
