#include "sim/sim_connection_point.h"

#include "platform/format.h"
#include "platform/guid.h"

namespace sim {

SimConnectionPoint::SimConnectionPoint(std::shared_ptr<HostState> host,
                                       std::shared_ptr<EventSinks> sinks,
                                       ComPtr<IConnectionPointContainer> container,
                                       std::u16string target)
    : SimObject(std::move(host)),
      sinks_(std::move(sinks)),
      container_(std::move(container)),
      target_(std::move(target)) {}

HRESULT SimConnectionPoint::Find(const std::shared_ptr<HostState>& host,
                                 const std::shared_ptr<EventSinks>& sinks,
                                 IConnectionPointContainer* container, const std::u16string& target,
                                 REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (auto fault = host->journal.Enter("IConnectionPointContainer.FindConnectionPoint", target,
                                       {platform::GuidToString(riid)})) {
    return *fault;
  }
  if (riid != sinks->iid()) return CONNECT_E_NOCONNECTION;
  *point = MakeComObject<SimConnectionPoint, IConnectionPoint>(
               host, sinks, ComPtr<IConnectionPointContainer>(container), target)
               .Detach();
  return S_OK;
}

HRESULT SimConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = sinks_->iid();
  return S_OK;
}

HRESULT SimConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  return container_.CopyTo(container);
}

HRESULT SimConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie) *cookie = 0;
  if (auto fault = host_->journal.Enter("IConnectionPoint.Advise", target_, {})) return *fault;
  return sinks_->Advise(sink, cookie);
}

HRESULT SimConnectionPoint::Unadvise(DWORD cookie) {
  std::u16string number = platform::FormatWide(platform::kUnlimited, u"%u", cookie);
  if (auto fault = host_->journal.Enter("IConnectionPoint.Unadvise", target_, {number})) {
    return *fault;
  }
  return sinks_->Unadvise(cookie);
}

HRESULT SimConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections) *connections = nullptr;
  return E_NOTIMPL;
}

}  // namespace sim
