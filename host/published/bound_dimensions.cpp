// IHostDisplayDimension, IHostDimension and IHostTolerance over
// IDisplayDimension, IDimension and IDimensionTolerance.
#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/published_ids.h"
#include "host/published/wrapper_calls.h"
#include "platform/format.h"

namespace published {
namespace {

constinit HostMember kType2{"IDisplayDimension", u"Type2"};
constinit HostMember kGetDimension2{"IDisplayDimension", u"GetDimension2"};

constinit HostMember kFullName{"IDimension", u"FullName"};
constinit HostMember kGetValue3{"IDimension", u"GetValue3"};
constinit HostMember kSetValue3{"IDimension", u"SetValue3"};
constinit HostMember kGetSystemValue3{"IDimension", u"GetSystemValue3"};
constinit HostMember kReadOnly{"IDimension", u"ReadOnly"};
constinit HostMember kDrivenState{"IDimension", u"DrivenState"};
constinit HostMember kGetType{"IDimension", u"GetType"};
constinit HostMember kIsReference{"IDimension", u"IsReference"};
constinit HostMember kTolerance{"IDimension", u"Tolerance"};

constinit HostMember kToleranceType{"IDimensionTolerance", u"Type"};
constinit HostMember kGetMinValue2{"IDimensionTolerance", u"GetMinValue2"};
constinit HostMember kGetMaxValue2{"IDimensionTolerance", u"GetMaxValue2"};
constinit HostMember kSetValues2{"IDimensionTolerance", u"SetValues2"};

constexpr LONG kChamferType = 10;  // swDimensionType_e: holds a length and an angle
constexpr LONG kLastToleranceType = 11;
constexpr LONG kLastDrivenState = 2;

class BoundDisplayDimension final
    : public BoundObject<BoundDisplayDimension, IHostDisplayDimension> {
 public:
  BoundDisplayDimension(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override { return host_.Get(kType2, type); }

  // The host ignores the index unless the display dimension is a chamfer
  // (it would give the one dimension twice); the second dimension is only
  // asked of a chamfer.
  HRESULT STDMETHODCALLTYPE GetDimension(LONG index, IHostDimension** dimension) override {
    if (!dimension) return E_POINTER;
    *dimension = nullptr;
    if (index < 0 || index > 1) {
      return Refuse(kGetDimension2, E_INVALIDARG, u"a display dimension holds at most two");
    }
    if (index == 1) {
      LONG type = 0;
      HRESULT hr = host_.Get(kType2, &type);
      if (FAILED(hr)) return hr;
      if (type != kChamferType) {
        return Refuse(kGetDimension2, E_INVALIDARG, u"only a chamfer holds a second dimension");
      }
    }
    HRESULT hr =
        MethodWrapped(host_, kGetDimension2, &WrapDimension, dimension, {HostArg::Long(index)});
    if (FAILED(hr) || *dimension) return hr;
    return Refuse(kGetDimension2, E_INVALIDARG, u"the host has no such dimension");
  }
};

class BoundDimension final : public BoundObject<BoundDimension, IHostDimension> {
 public:
  BoundDimension(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetFullName(BSTR* fullName) override {
    return host_.Get(kFullName, fullName);
  }

  // In the configuration the host shows, in the document's units.
  HRESULT STDMETHODCALLTYPE GetValue(double* value) override {
    if (!value) return E_POINTER;
    *value = 0;
    VARIANT noNames{};
    ScopedSafeArray values;
    HRESULT hr = host_.MethodArray(kGetValue3, VT_R8, &values,
                                   {HostArg::Long(swThisConfiguration), HostArg::Value(noNames)});
    return FAILED(hr) ? hr : FirstDouble(kGetValue3, values, value);
  }

  // A read-only dimension is refused here: whether the host refuses it is
  // not settled by its reference.
  HRESULT STDMETHODCALLTYPE SetValue(double value) override {
    VARIANT_BOOL readOnly = VARIANT_FALSE;
    HRESULT hr = host_.Get(kReadOnly, &readOnly);
    if (FAILED(hr)) return hr;
    if (readOnly) return Refuse(kSetValue3, E_ACCESSDENIED, u"the dimension is read-only");
    VARIANT noNames{};
    LONG status = swSetValue_Successful;
    hr = host_.Method(kSetValue3, &status,
                      {HostArg::Double(value), HostArg::Long(swSetValue_InThisConfiguration),
                       HostArg::Value(noNames)});
    if (FAILED(hr) || status == swSetValue_Successful) return hr;
    return Refuse(kSetValue3, E_FAIL,
                  platform::FormatWide(platform::kUnlimited,
                                       u"the host refused the value (status %d)", status));
  }

  // The reference does not settle whether the answer is one value or an
  // array of them: both are taken.
  HRESULT STDMETHODCALLTYPE GetSystemValue(double* value) override {
    if (!value) return E_POINTER;
    *value = 0;
    VARIANT noNames{};
    ScopedVariant answer;
    HRESULT hr =
        CallHost(host_.get(), kGetSystemValue3, CallKind::kMethod,
                 {HostArg::Long(swThisConfiguration), HostArg::Value(noNames)}, answer.Receive());
    if (FAILED(hr)) return hr;
    if (!(answer.Type() & VT_ARRAY)) return TakeAnswer(kGetSystemValue3, *answer.Get(), value);
    ScopedSafeArray values;
    hr = TakeArray(kGetSystemValue3, *answer.Get(), VT_R8, &values);
    return FAILED(hr) ? hr : FirstDouble(kGetSystemValue3, values, value);
  }

  HRESULT STDMETHODCALLTYPE GetReadOnly(VARIANT_BOOL* readOnly) override {
    return host_.Get(kReadOnly, readOnly);
  }

  // The reference marks ReadOnly as a property to read; it is written only
  // when the value changes, so that an unchanged row asks nothing more of
  // the host, and a host that refuses the write reports it.
  HRESULT STDMETHODCALLTYPE SetReadOnly(VARIANT_BOOL readOnly) override {
    VARIANT_BOOL current = VARIANT_FALSE;
    HRESULT hr = host_.Get(kReadOnly, &current);
    if (FAILED(hr)) return hr;
    if ((current != VARIANT_FALSE) == (readOnly != VARIANT_FALSE)) return S_OK;
    return host_.Put(kReadOnly, {HostArg::Bool(readOnly)});
  }

  HRESULT STDMETHODCALLTYPE GetDrivenState(LONG* state) override {
    return host_.Get(kDrivenState, state);
  }
  // The host ignores a state it does not know; the add-in's view refuses it.
  HRESULT STDMETHODCALLTYPE SetDrivenState(LONG state) override {
    if (state < 0 || state > kLastDrivenState) {
      return Refuse(kDrivenState, E_INVALIDARG, u"driven states are 0, 1 and 2");
    }
    return host_.Put(kDrivenState, {HostArg::Long(state)});
  }
  HRESULT STDMETHODCALLTYPE GetParameterType(LONG* type) override {
    return host_.Method(kGetType, type);
  }
  HRESULT STDMETHODCALLTYPE IsReference(VARIANT_BOOL* reference) override {
    return host_.Method(kIsReference, reference);
  }
  HRESULT STDMETHODCALLTYPE GetTolerance(IHostTolerance** tolerance) override {
    return GetWrapped(host_, kTolerance, &WrapTolerance, tolerance);
  }
};

class BoundTolerance final : public BoundObject<BoundTolerance, IHostTolerance> {
 public:
  BoundTolerance(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override { return host_.Get(kToleranceType, type); }
  // The host ignores a type it does not know; the add-in's view refuses it.
  HRESULT STDMETHODCALLTYPE SetType(LONG type) override {
    if (type < 0 || type > kLastToleranceType) {
      return Refuse(kToleranceType, E_INVALIDARG, u"tolerance types are 0 to 11");
    }
    return host_.Put(kToleranceType, {HostArg::Long(type)});
  }
  // The value as the host gives it; whether it is valid for the type is
  // not asked.
  HRESULT STDMETHODCALLTYPE GetMinValue(double* value) override {
    return Limit(kGetMinValue2, value);
  }
  HRESULT STDMETHODCALLTYPE GetMaxValue(double* value) override {
    return Limit(kGetMaxValue2, value);
  }
  HRESULT STDMETHODCALLTYPE SetValues(double minValue, double maxValue,
                                      VARIANT_BOOL* done) override {
    VARIANT noNames{};
    VARIANT_BOOL set = VARIANT_FALSE;
    HRESULT hr =
        host_.Method(kSetValues2, &set,
                     {HostArg::Double(minValue), HostArg::Double(maxValue),
                      HostArg::Long(swSetValue_InThisConfiguration), HostArg::Value(noNames)});
    if (done) *done = set;
    return hr;
  }

 private:
  HRESULT Limit(HostMember& member, double* value) const {
    if (!value) return E_POINTER;
    *value = 0;
    LONG validity = swDimensionToleranceValid;
    return host_.Method(member, &validity, {HostArg::OutDouble(value)});
  }
};

}  // namespace

HRESULT WrapDisplayDimension(ComPtr<IDispatch> object, IHostDisplayDimension** out) {
  return BoundDisplayDimension::Wrap(std::move(object), out);
}

HRESULT WrapDimension(ComPtr<IDispatch> object, IHostDimension** out) {
  return BoundDimension::Wrap(std::move(object), out);
}

HRESULT WrapTolerance(ComPtr<IDispatch> object, IHostTolerance** out) {
  return BoundTolerance::Wrap(std::move(object), out);
}

}  // namespace published
