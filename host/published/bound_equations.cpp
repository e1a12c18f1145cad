// IHostEquationManager over IEquationMgr. The host reports a failed
// indexed call only through its Status property (-1); the add-in's view
// turns that into a failing HRESULT.
#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/wrapper_calls.h"

namespace published {
namespace {

constinit HostMember kGetCount{"IEquationMgr", u"GetCount"};
constinit HostMember kEquation{"IEquationMgr", u"Equation"};
constinit HostMember kValue{"IEquationMgr", u"Value"};
// Obsolete for equations made in 2014 and later, with no successor of the
// same meaning: the per-configuration members answer -1 for those.
constinit HostMember kSuppression{"IEquationMgr", u"Suppression"};
constinit HostMember kDelete{"IEquationMgr", u"Delete"};
constinit HostMember kAdd2{"IEquationMgr", u"Add2"};
constinit HostMember kStatus{"IEquationMgr", u"Status"};

constexpr LONG kStatusFailed = -1;

class BoundEquationManager final : public BoundObject<BoundEquationManager, IHostEquationManager> {
 public:
  BoundEquationManager(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetCount(LONG* count) override {
    return host_.Method(kGetCount, count);
  }

  // Every equation has a text with "="; an empty answer is a failed call,
  // which the host's status confirms.
  HRESULT STDMETHODCALLTYPE GetEquation(LONG index, BSTR* text) override {
    if (!text) return E_POINTER;
    HRESULT hr = host_.Get(kEquation, text, {HostArg::Long(index)});
    if (FAILED(hr) || SysStringLen(*text) > 0) return hr;
    hr = CheckStatus(kEquation);
    if (FAILED(hr)) {
      SysFreeString(*text);
      *text = nullptr;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE SetEquation(LONG index, BSTR text) override {
    HRESULT hr = host_.Put(kEquation, {HostArg::Long(index), HostArg::Text(text)});
    return FAILED(hr) ? hr : CheckStatus(kEquation);
  }

  HRESULT STDMETHODCALLTYPE GetValue(LONG index, double* value) override {
    return host_.Get(kValue, value, {HostArg::Long(index)});
  }

  HRESULT STDMETHODCALLTYPE GetSuppression(LONG index, VARIANT_BOOL* suppressed) override {
    if (!suppressed) return E_POINTER;
    HRESULT hr = host_.Get(kSuppression, suppressed, {HostArg::Long(index)});
    if (SUCCEEDED(hr)) hr = CheckStatus(kSuppression);
    if (FAILED(hr)) *suppressed = VARIANT_FALSE;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE SetSuppression(LONG index, VARIANT_BOOL suppressed) override {
    HRESULT hr = host_.Put(kSuppression, {HostArg::Long(index), HostArg::Bool(suppressed)});
    return FAILED(hr) ? hr : CheckStatus(kSuppression);
  }

  HRESULT STDMETHODCALLTYPE Delete(LONG index, LONG* result) override {
    return host_.Method(kDelete, result, {HostArg::Long(index)});
  }

  HRESULT STDMETHODCALLTYPE Add(LONG index, BSTR text, VARIANT_BOOL solve,
                                LONG* newIndex) override {
    return host_.Method(kAdd2, newIndex,
                        {HostArg::Long(index), HostArg::Text(text), HostArg::Bool(solve)});
  }

 private:
  // E_INVALIDARG when the host's status tells that the last call of member
  // failed.
  HRESULT CheckStatus(const HostMember& member) const {
    LONG status = 0;
    HRESULT hr = host_.Get(kStatus, &status);
    if (FAILED(hr)) return hr;
    if (status != kStatusFailed) return S_OK;
    return Refuse(member, E_INVALIDARG, u"the host's status tells the call failed");
  }
};

}  // namespace

HRESULT WrapEquationManager(ComPtr<IDispatch> object, IHostEquationManager** out) {
  return BoundEquationManager::Wrap(std::move(object), out);
}

}  // namespace published
