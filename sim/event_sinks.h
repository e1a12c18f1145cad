// The sinks advised on one connection point of the simulated host, and the
// raising of an event to them through IDispatch::Invoke.
#pragma once

#include <variant>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/unknown.h"

namespace sim {

// One event argument: a 32-bit integer (VT_I4), a 16-bit one (VT_I2, the
// events' "short" states), a text (VT_BSTR), an object (VT_DISPATCH; null
// gives VT_EMPTY).
using EventArg = std::variant<LONG, SHORT, std::u16string, ComPtr<IDispatch>>;

class EventSinks {
 public:
  explicit EventSinks(const IID& eventInterface) : iid_(eventInterface) {}

  const IID& iid() const { return iid_; }
  // Keeps the sink's event interface (a QueryInterface for iid()) and gives
  // it a cookie. CONNECT_E_CANNOTCONNECT when the sink does not have it.
  HRESULT Advise(IUnknown* sink, DWORD* cookie);
  // CONNECT_E_NOCONNECTION for a cookie that is not advised.
  HRESULT Unadvise(DWORD cookie);
  size_t size() const { return sinks_.size(); }
  void Clear() { sinks_.clear(); }

  // Calls Invoke(dispid, DISPATCH_METHOD, arguments) on every sink advised
  // when the call starts (a sink may unadvise while it runs). Returns the
  // sinks' results in advising order.
  std::vector<HRESULT> Fire(DISPID dispid, const std::vector<EventArg>& arguments);

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IDispatch> dispatch;
  };
  IID iid_;
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
};

}  // namespace sim
