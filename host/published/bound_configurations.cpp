// IHostConfiguration over IConfiguration, the nameless configuration that
// stands for a document as a whole, and IHostConfigurationManager over
// IConfigurationManager.
#include <vector>

#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/host_failure.h"
#include "host/published/published_ids.h"
#include "host/published/wrapper_calls.h"

namespace published {
namespace {

constinit HostMember kName{"IConfiguration", u"Name"};
constinit HostMember kGetParent{"IConfiguration", u"GetParent"};
constinit HostMember kAlternateName{"IConfiguration", u"AlternateName"};
constinit HostMember kType{"IConfiguration", u"Type"};
constinit HostMember kBomPartNoSource{"IConfiguration", u"BOMPartNoSource"};
constinit HostMember kComment{"IConfiguration", u"Comment"};
constinit HostMember kDescription{"IConfiguration", u"Description"};
constinit HostMember kLock{"IConfiguration", u"Lock"};
constinit HostMember kUseAlternateNameInBom{"IConfiguration", u"UseAlternateNameInBOM"};
constinit HostMember kGetRootComponent3{"IConfiguration", u"GetRootComponent3"};
constinit HostMember kCustomPropertyManager{"IConfiguration", u"CustomPropertyManager"};

constinit HostMember kParamsCount{"IConfigurationManager", u"GetConfigurationParamsCount"};
constinit HostMember kGetParams{"IConfigurationManager", u"GetConfigurationParams"};
constinit HostMember kSetParams{"IConfigurationManager", u"SetConfigurationParams"};

constinit HostMember kExtension{"IModelDoc2", u"Extension"};
constinit HostMember kGetConfigurationByName{"IModelDoc2", u"GetConfigurationByName"};
constinit HostMember kDocumentProperties{"IModelDocExtension", u"CustomPropertyManager"};

bool IsBomPartNumberSource(LONG source) {
  return source == 1 || source == 2 || source == 4 || source == 8;
}

// The document's own property manager: the one of the empty configuration
// name.
HRESULT DocumentPropertyManager(IDispatch* document, IHostCustomPropertyManager** manager) {
  if (!manager) return E_POINTER;
  *manager = nullptr;
  ComPtr<IDispatch> extension;
  HRESULT hr = LateObject(ComPtr<IDispatch>(document)).Get(kExtension, &extension);
  if (FAILED(hr)) return hr;
  ScopedBstr documentScope(u"");
  return GetWrapped(LateObject(std::move(extension)), kDocumentProperties, &WrapPropertyManager,
                    manager, {HostArg::Text(documentScope.Get())});
}

class BoundConfiguration final : public BoundObject<BoundConfiguration, IHostConfiguration> {
 public:
  BoundConfiguration(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override { return host_.Get(kName, name); }
  HRESULT STDMETHODCALLTYPE GetParent(IHostConfiguration** parent) override {
    return MethodWrapped(host_, kGetParent, &WrapConfiguration, parent);
  }
  HRESULT STDMETHODCALLTYPE GetAlternateName(BSTR* name) override {
    return host_.Get(kAlternateName, name);
  }
  HRESULT STDMETHODCALLTYPE SetAlternateName(BSTR name) override {
    return host_.Put(kAlternateName, {HostArg::Text(name)});
  }
  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override { return host_.Get(kType, type); }
  HRESULT STDMETHODCALLTYPE GetBomPartNumberSource(LONG* source) override {
    return host_.Get(kBomPartNoSource, source);
  }
  // The host ignores a source it does not know; the add-in's view refuses it.
  HRESULT STDMETHODCALLTYPE SetBomPartNumberSource(LONG source) override {
    if (!IsBomPartNumberSource(source)) {
      return Refuse(kBomPartNoSource, E_INVALIDARG, u"part-number sources are 1, 2, 4 and 8");
    }
    return host_.Put(kBomPartNoSource, {HostArg::Long(source)});
  }
  HRESULT STDMETHODCALLTYPE GetComment(BSTR* comment) override {
    return host_.Get(kComment, comment);
  }
  HRESULT STDMETHODCALLTYPE SetComment(BSTR comment) override {
    return host_.Put(kComment, {HostArg::Text(comment)});
  }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
    return host_.Get(kDescription, description);
  }
  HRESULT STDMETHODCALLTYPE SetDescription(BSTR description) override {
    return host_.Put(kDescription, {HostArg::Text(description)});
  }
  HRESULT STDMETHODCALLTYPE GetLocked(VARIANT_BOOL* locked) override {
    return host_.Get(kLock, locked);
  }
  HRESULT STDMETHODCALLTYPE SetLocked(VARIANT_BOOL locked) override {
    return host_.Put(kLock, {HostArg::Bool(locked)});
  }
  HRESULT STDMETHODCALLTYPE GetUseAlternateNameInBom(VARIANT_BOOL* use) override {
    return host_.Get(kUseAlternateNameInBom, use);
  }
  HRESULT STDMETHODCALLTYPE SetUseAlternateNameInBom(VARIANT_BOOL use) override {
    return host_.Put(kUseAlternateNameInBom, {HostArg::Bool(use)});
  }

  // Both forms ask the host to resolve what the configuration needs: the
  // exports walk every configuration, and without resolving the host gives
  // a configuration that is not active no root at all.
  HRESULT STDMETHODCALLTYPE GetRootComponent(IHostComponent** root) override {
    return MethodWrapped(host_, kGetRootComponent3, &WrapComponent, root, {HostArg::Bool(true)});
  }
  HRESULT STDMETHODCALLTYPE GetRootComponent2(LONG resolve, IHostComponent** root) override {
    return MethodWrapped(host_, kGetRootComponent3, &WrapComponent, root,
                         {HostArg::Bool(resolve != 0)});
  }

  HRESULT STDMETHODCALLTYPE
  GetCustomPropertyManager(IHostCustomPropertyManager** manager) override {
    return GetWrapped(host_, kCustomPropertyManager, &WrapPropertyManager, manager);
  }
};

// The document as a configuration without a name: its properties are the
// document's own; it has no parent and no components, and its fields read
// empty or 0 and cannot be set. The host has no such object.
class DocumentConfiguration final : public EarlyBoundObject<IHostConfiguration> {
 public:
  explicit DocumentConfiguration(ComPtr<IDispatch> document) : document_(std::move(document)) {}

  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override { return EmptyText(name); }
  HRESULT STDMETHODCALLTYPE GetParent(IHostConfiguration** parent) override {
    return NoObject(parent);
  }
  HRESULT STDMETHODCALLTYPE GetAlternateName(BSTR* name) override { return EmptyText(name); }
  HRESULT STDMETHODCALLTYPE SetAlternateName(BSTR) override { return CannotSet(); }
  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override { return Zero(type); }
  HRESULT STDMETHODCALLTYPE GetBomPartNumberSource(LONG* source) override { return Zero(source); }
  HRESULT STDMETHODCALLTYPE SetBomPartNumberSource(LONG) override { return CannotSet(); }
  HRESULT STDMETHODCALLTYPE GetComment(BSTR* comment) override { return EmptyText(comment); }
  HRESULT STDMETHODCALLTYPE SetComment(BSTR) override { return CannotSet(); }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
    return EmptyText(description);
  }
  HRESULT STDMETHODCALLTYPE SetDescription(BSTR) override { return CannotSet(); }
  HRESULT STDMETHODCALLTYPE GetLocked(VARIANT_BOOL* locked) override { return Zero(locked); }
  HRESULT STDMETHODCALLTYPE SetLocked(VARIANT_BOOL) override { return CannotSet(); }
  HRESULT STDMETHODCALLTYPE GetUseAlternateNameInBom(VARIANT_BOOL* use) override {
    return Zero(use);
  }
  HRESULT STDMETHODCALLTYPE SetUseAlternateNameInBom(VARIANT_BOOL) override { return CannotSet(); }
  HRESULT STDMETHODCALLTYPE GetRootComponent(IHostComponent** root) override {
    return NoObject(root);
  }
  HRESULT STDMETHODCALLTYPE GetRootComponent2(LONG, IHostComponent** root) override {
    return NoObject(root);
  }
  HRESULT STDMETHODCALLTYPE
  GetCustomPropertyManager(IHostCustomPropertyManager** manager) override {
    return DocumentPropertyManager(document_.Get(), manager);
  }

 private:
  // The document as a whole has no configuration fields to set.
  static HRESULT CannotSet() {
    return RecordHostFailure(E_FAIL, u"the document as a whole has no configuration fields");
  }
  static HRESULT EmptyText(BSTR* text) {
    if (!text) return E_POINTER;
    *text = SysAllocString(u"");
    return *text ? S_OK : E_OUTOFMEMORY;
  }
  template <typename T>
  static HRESULT Zero(T* value) {
    if (!value) return E_POINTER;
    *value = 0;
    return S_OK;
  }
  template <typename T>
  static HRESULT NoObject(T** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    return S_OK;
  }

  ComPtr<IDispatch> document_;
};

// A VT_ARRAY | VT_BSTR variant of the first count texts of a VT_BSTR vector.
HRESULT FirstTexts(SAFEARRAY* texts, LONG count, ScopedVariant* out) {
  ScopedSafeArray copy(SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(count)));
  if (!copy.Get()) return E_OUTOFMEMORY;
  LONG lower = 0;
  SafeArrayGetLBound(texts, 1, &lower);
  for (LONG i = 0; i < count; ++i) {
    ScopedBstr text;
    LONG at = lower + i;
    HRESULT hr = SafeArrayGetElement(texts, &at, text.Receive());
    if (SUCCEEDED(hr)) hr = SafeArrayPutElement(copy.Get(), &i, text.Get());
    if (FAILED(hr)) return hr;
  }
  out->Receive()->vt = VT_ARRAY | VT_BSTR;
  out->Get()->parray = copy.Release();
  return S_OK;
}

class BoundConfigurationManager final
    : public BoundObject<BoundConfigurationManager, IHostConfigurationManager> {
 public:
  BoundConfigurationManager(ComPtr<IDispatch> object, IUnknown* identity,
                            ComPtr<IDispatch> document)
      : BoundObject(std::move(object), identity), document_(std::move(document)) {}

  // The host answers 0 for a configuration it does not have: only then is
  // the configuration looked for.
  HRESULT STDMETHODCALLTYPE GetParameterCount(BSTR configuration, LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    HRESULT hr = host_.Method(kParamsCount, count, {HostArg::Text(configuration)});
    if (FAILED(hr) || *count != 0) return hr;
    return CheckConfiguration(kParamsCount, configuration);
  }

  HRESULT STDMETHODCALLTYPE GetParameters(BSTR configuration, SAFEARRAY** names,
                                          SAFEARRAY** values) override {
    if (!names || !values) return E_POINTER;
    *names = nullptr;
    *values = nullptr;
    ScopedVariant hostNames;
    ScopedVariant hostValues;
    VARIANT_BOOL read = VARIANT_FALSE;
    HRESULT hr = host_.Method(kGetParams, &read,
                              {HostArg::Text(configuration), HostArg::OutVariant(hostNames.Get()),
                               HostArg::OutVariant(hostValues.Get())});
    if (FAILED(hr)) return hr;
    if (!read) {
      // A configuration the document does not have, or a failure of the host.
      hr = CheckConfiguration(kGetParams, configuration);
      return FAILED(hr) ? hr : Refuse(kGetParams, E_FAIL, u"the host read no parameters");
    }
    ScopedSafeArray nameList;
    ScopedSafeArray valueList;
    hr = TakeArray(kGetParams, *hostNames.Get(), VT_BSTR, &nameList);
    if (SUCCEEDED(hr)) hr = TakeArray(kGetParams, *hostValues.Get(), VT_BSTR, &valueList);
    if (FAILED(hr)) return hr;
    *names = nameList.Release();
    *values = valueList.Release();
    return S_OK;
  }

  // The host takes whole arrays: the first count elements are copied into
  // arrays of their own.
  HRESULT STDMETHODCALLTYPE SetParameters(BSTR configuration, LONG count, SAFEARRAY* names,
                                          SAFEARRAY* values, VARIANT_BOOL* done) override {
    if (done) *done = VARIANT_FALSE;
    if (BstrView(configuration).empty() || count < 0 || !Holds(names, count) ||
        !Holds(values, count)) {
      return S_OK;
    }
    ScopedVariant nameArgument;
    ScopedVariant valueArgument;
    HRESULT hr = FirstTexts(names, count, &nameArgument);
    if (SUCCEEDED(hr)) hr = FirstTexts(values, count, &valueArgument);
    if (FAILED(hr)) return Refuse(kSetParams, hr, u"the parameters cannot be copied");
    VARIANT_BOOL set = VARIANT_FALSE;
    hr = host_.Method(kSetParams, &set,
                      {HostArg::Text(configuration), HostArg::OutVariant(nameArgument.Get()),
                       HostArg::OutVariant(valueArgument.Get())});
    if (done) *done = set;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE GetDocumentConfiguration(IHostConfiguration** configuration) override {
    return MakeDocumentConfiguration(document_, configuration);
  }

 private:
  static bool Holds(SAFEARRAY* texts, LONG count) {
    VARTYPE type = VT_EMPTY;
    LONG lower = 0;
    LONG upper = -1;
    if (!texts || FAILED(SafeArrayGetVartype(texts, &type)) || type != VT_BSTR ||
        SafeArrayGetDim(texts) != 1 || FAILED(SafeArrayGetLBound(texts, 1, &lower)) ||
        FAILED(SafeArrayGetUBound(texts, 1, &upper))) {
      return false;
    }
    return count <= upper - lower + 1;
  }

  // The host answers a count of 0 for a configuration it does not have; the
  // add-in's view promises a failure.
  HRESULT CheckConfiguration(const HostMember& member, BSTR configuration) const {
    ComPtr<IDispatch> found;
    HRESULT hr = LateObject(document_).Method(kGetConfigurationByName, &found,
                                              {HostArg::Text(configuration)});
    if (FAILED(hr) || found) return hr;
    return Refuse(
        member, E_INVALIDARG,
        u"the document has no configuration \"" + std::u16string(BstrView(configuration)) + u"\"");
  }

  ComPtr<IDispatch> document_;
};

}  // namespace

HRESULT WrapConfiguration(ComPtr<IDispatch> object, IHostConfiguration** out) {
  return BoundConfiguration::Wrap(std::move(object), out);
}

HRESULT WrapConfigurationManager(ComPtr<IDispatch> object, ComPtr<IDispatch> document,
                                 IHostConfigurationManager** out) {
  return BoundConfigurationManager::Wrap(std::move(object), out, std::move(document));
}

HRESULT MakeDocumentConfiguration(ComPtr<IDispatch> document, IHostConfiguration** out) {
  if (!out) return E_POINTER;
  *out = MakeComObject<DocumentConfiguration, IHostConfiguration>(std::move(document)).Detach();
  return S_OK;
}

}  // namespace published
