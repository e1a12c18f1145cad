// IHostModelDoc over IModelDoc2 (with IModelDocExtension for the
// document's properties and dependencies).
#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/published_ids.h"
#include "host/published/wrapper_calls.h"
#include "platform/format.h"

namespace published {
namespace {

constinit HostMember kGetType{"IModelDoc2", u"GetType"};
constinit HostMember kGetPathName{"IModelDoc2", u"GetPathName"};
constinit HostMember kGetTitle{"IModelDoc2", u"GetTitle"};
constinit HostMember kGetNext{"IModelDoc2", u"GetNext"};
constinit HostMember kFirstFeature{"IModelDoc2", u"FirstFeature"};
constinit HostMember kSelectionManager{"IModelDoc2", u"SelectionManager"};
constinit HostMember kGetEquationMgr{"IModelDoc2", u"GetEquationMgr"};
constinit HostMember kGetConfigurationNames{"IModelDoc2", u"GetConfigurationNames"};
constinit HostMember kGetConfigurationByName{"IModelDoc2", u"GetConfigurationByName"};
constinit HostMember kConfigurationManager{"IModelDoc2", u"ConfigurationManager"};
constinit HostMember kExtension{"IModelDoc2", u"Extension"};
constinit HostMember kSave3{"IModelDoc2", u"Save3"};
constinit HostMember kClearSelection2{"IModelDoc2", u"ClearSelection2"};
constinit HostMember kGetDependencies{"IModelDocExtension", u"GetDependencies"};

class BoundDocument final
    : public BoundObject<BoundDocument, IHostModelDoc, IConnectionPointContainer> {
 public:
  BoundDocument(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override { return host_.Method(kGetType, type); }
  HRESULT STDMETHODCALLTYPE GetPathName(BSTR* path) override {
    return host_.Method(kGetPathName, path);
  }
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override {
    return host_.Method(kGetTitle, title);
  }
  HRESULT STDMETHODCALLTYPE GetNext(IHostModelDoc** next) override {
    return MethodWrapped(host_, kGetNext, &WrapDocument, next);
  }
  HRESULT STDMETHODCALLTYPE GetFirstFeature(IHostFeature** feature) override {
    return MethodWrapped(host_, kFirstFeature, &WrapFeature, feature);
  }
  HRESULT STDMETHODCALLTYPE GetSelectionManager(IHostSelectionManager** manager) override {
    return GetWrapped(host_, kSelectionManager, &WrapSelectionManager, manager);
  }
  HRESULT STDMETHODCALLTYPE GetEquationManager(IHostEquationManager** manager) override {
    return MethodWrapped(host_, kGetEquationMgr, &WrapEquationManager, manager);
  }
  HRESULT STDMETHODCALLTYPE GetConfigurationNames(SAFEARRAY** names) override {
    if (!names) return E_POINTER;
    ScopedSafeArray list;
    HRESULT hr = host_.MethodArray(kGetConfigurationNames, VT_BSTR, &list);
    *names = list.Release();
    return hr;
  }

  // The host answers no configuration for a name it does not have; the
  // add-in's view promises a failure.
  HRESULT STDMETHODCALLTYPE GetConfiguration(BSTR name,
                                             IHostConfiguration** configuration) override {
    if (!configuration) return E_POINTER;
    *configuration = nullptr;
    ComPtr<IDispatch> found;
    HRESULT hr = FindConfiguration(name, &found);
    return FAILED(hr) ? hr : WrapConfiguration(std::move(found), configuration);
  }

  HRESULT STDMETHODCALLTYPE GetConfigurationManager(IHostConfigurationManager** manager) override {
    if (!manager) return E_POINTER;
    *manager = nullptr;
    ComPtr<IDispatch> object;
    HRESULT hr = host_.Get(kConfigurationManager, &object);
    if (FAILED(hr)) return hr;
    return WrapConfigurationManager(std::move(object), ComPtr<IDispatch>(host_.get()), manager);
  }

  // Saves silently, with every changed document the document uses.
  HRESULT STDMETHODCALLTYPE Save(VARIANT_BOOL silent) override {
    LONG options = swSaveAsOptions_SaveReferenced;
    if (silent) options |= swSaveAsOptions_Silent;
    LONG errors = 0;
    LONG warnings = 0;
    VARIANT_BOOL saved = VARIANT_FALSE;
    HRESULT hr = host_.Method(
        kSave3, &saved,
        {HostArg::Long(options), HostArg::OutLong(&errors), HostArg::OutLong(&warnings)});
    if (FAILED(hr)) return hr;
    if (saved) return S_OK;
    return Refuse(kSave3, E_FAIL,
                  platform::FormatWide(platform::kUnlimited, u"the host did not save (errors 0x%X)",
                                       static_cast<ULONG>(errors)));
  }

  // The host's flags are (traverse, apply the search rules, add read-only
  // markers, list broken references, append imported paths): the first two
  // go as the add-in gives them; a read-only marker would turn the pairs
  // into triples and an imported path would break the list, so those stay
  // off.
  HRESULT STDMETHODCALLTYPE GetDependencies(VARIANT_BOOL traverse, VARIANT_BOOL searchRules,
                                            VARIANT_BOOL, VARIANT* dependencies) override {
    if (!dependencies) return E_POINTER;
    VariantClear(dependencies);
    ComPtr<IDispatch> extension;
    HRESULT hr = host_.Get(kExtension, &extension);
    if (FAILED(hr)) return hr;
    ScopedSafeArray list;
    hr = LateObject(std::move(extension))
             .MethodArray(kGetDependencies, VT_BSTR, &list,
                          {HostArg::Bool(traverse), HostArg::Bool(searchRules),
                           HostArg::Bool(false), HostArg::Bool(false), HostArg::Bool(false)});
    if (FAILED(hr)) return hr;
    dependencies->vt = VT_ARRAY | VT_BSTR;
    dependencies->parray = list.Release();
    return S_OK;
  }

  // The host has no member that readies a document for closing; clearing
  // its selection is the part of it that the add-in relies on.
  HRESULT STDMETHODCALLTYPE PrepareForClose() override {
    return host_.Call(kClearSelection2, {HostArg::Bool(true)});
  }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override {
    if (points) *points = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
    return FindHostConnectionPoint(host_.get(), riid, point);
  }

 private:
  HRESULT FindConfiguration(BSTR name, ComPtr<IDispatch>* configuration) const {
    HRESULT hr = host_.Method(kGetConfigurationByName, configuration, {HostArg::Text(name)});
    if (FAILED(hr) || *configuration) return hr;
    return Refuse(kGetConfigurationByName, E_INVALIDARG,
                  u"the document has no configuration \"" + std::u16string(BstrView(name)) + u"\"");
  }
};

}  // namespace

HRESULT WrapDocument(ComPtr<IDispatch> object, IHostModelDoc** out) {
  return BoundDocument::Wrap(std::move(object), out);
}

}  // namespace published
