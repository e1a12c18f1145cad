#include "sim/event_sinks.h"

#include <algorithm>

namespace sim {

HRESULT EventSinks::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(iid_,
                                  reinterpret_cast<void**>(dispatch.ReleaseAndGetAddressOf()))) ||
      !dispatch) {
    return CONNECT_E_CANNOTCONNECT;
  }
  *cookie = nextCookie_++;
  sinks_.push_back(Sink{*cookie, std::move(dispatch)});
  return S_OK;
}

HRESULT EventSinks::Unadvise(DWORD cookie) {
  auto it = std::find_if(sinks_.begin(), sinks_.end(),
                         [cookie](const Sink& sink) { return sink.cookie == cookie; });
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  // Release the sink after it left the list: its release may call back.
  ComPtr<IDispatch> leaving = std::move(it->dispatch);
  sinks_.erase(it);
  return S_OK;
}

std::vector<HRESULT> EventSinks::Fire(DISPID dispid, const std::vector<EventArg>& arguments) {
  std::vector<Sink> current = sinks_;
  std::vector<HRESULT> results;
  for (const Sink& sink : current) {
    // DISPPARAMS holds the arguments last first.
    std::vector<VARIANT> values(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
      VARIANT& value = values[arguments.size() - 1 - i];
      VariantInit(&value);
      if (const LONG* number = std::get_if<LONG>(&arguments[i])) {
        value.vt = VT_I4;
        value.lVal = *number;
      } else if (const SHORT* state = std::get_if<SHORT>(&arguments[i])) {
        value.vt = VT_I2;
        value.iVal = *state;
      } else if (const std::u16string* text = std::get_if<std::u16string>(&arguments[i])) {
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
      } else if (const auto* object = std::get_if<ComPtr<IDispatch>>(&arguments[i]); *object) {
        value.vt = VT_DISPATCH;
        object->CopyTo(&value.pdispVal);
      }
    }
    DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    VARIANT result;
    VariantInit(&result);
    results.push_back(sink.dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &params, &result, nullptr, nullptr));
    VariantClear(&result);
    for (VARIANT& value : values) VariantClear(&value);
  }
  return results;
}

}  // namespace sim
