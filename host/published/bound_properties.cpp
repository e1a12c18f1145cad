// IHostCustomPropertyManager over ICustomPropertyManager.
#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/wrapper_calls.h"

namespace published {
namespace {

constinit HostMember kCount{"ICustomPropertyManager", u"Count"};
// Obsolete: its successor GetAll3 gives the evaluated values, where the
// add-in reads and writes the stored texts.
constinit HostMember kGetAll{"ICustomPropertyManager", u"GetAll"};
// Obsolete: its successor Add3 answers other result codes, and whether it
// overwrites depends on an option the add-in's view does not have.
constinit HostMember kAdd2{"ICustomPropertyManager", u"Add2"};
constinit HostMember kSet2{"ICustomPropertyManager", u"Set2"};

class BoundPropertyManager final
    : public BoundObject<BoundPropertyManager, IHostCustomPropertyManager> {
 public:
  BoundPropertyManager(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetCount(LONG* count) override { return host_.Get(kCount, count); }

  HRESULT STDMETHODCALLTYPE GetAll(SAFEARRAY** names, SAFEARRAY** types,
                                   SAFEARRAY** values) override {
    if (!names || !types || !values) return E_POINTER;
    *names = *types = *values = nullptr;
    ScopedVariant hostNames;
    ScopedVariant hostTypes;
    ScopedVariant hostValues;
    LONG count = 0;
    HRESULT hr =
        host_.Method(kGetAll, &count,
                     {HostArg::OutVariant(hostNames.Get()), HostArg::OutVariant(hostTypes.Get()),
                      HostArg::OutVariant(hostValues.Get())});
    if (FAILED(hr)) return hr;
    ScopedSafeArray nameList;
    ScopedSafeArray typeList;
    ScopedSafeArray valueList;
    hr = TakeArray(kGetAll, *hostNames.Get(), VT_BSTR, &nameList);
    if (SUCCEEDED(hr)) hr = TakeArray(kGetAll, *hostTypes.Get(), VT_I4, &typeList);
    if (SUCCEEDED(hr)) hr = TakeArray(kGetAll, *hostValues.Get(), VT_BSTR, &valueList);
    if (FAILED(hr)) return hr;
    if (nameList.Count() != typeList.Count() || nameList.Count() != valueList.Count()) {
      return Refuse(kGetAll, DISP_E_TYPEMISMATCH, u"the host's lists differ in length");
    }
    *names = nameList.Release();
    *types = typeList.Release();
    *values = valueList.Release();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Add2(BSTR name, LONG type, BSTR value, LONG* result) override {
    return host_.Method(kAdd2, result,
                        {HostArg::Text(name), HostArg::Long(type), HostArg::Text(value)});
  }

  HRESULT STDMETHODCALLTYPE Set2(BSTR name, BSTR value, LONG* result) override {
    return host_.Method(kSet2, result, {HostArg::Text(name), HostArg::Text(value)});
  }
};

}  // namespace

HRESULT WrapPropertyManager(ComPtr<IDispatch> object, IHostCustomPropertyManager** out) {
  return BoundPropertyManager::Wrap(std::move(object), out);
}

}  // namespace published
