// A connection point of the application or of a document, over the sinks
// that the host state keeps for it.
#pragma once

#include <memory>
#include <string>

#include "platform/unknown.h"
#include "sim/event_sinks.h"
#include "sim/sim_object.h"

namespace sim {

class SimConnectionPoint final : public SimObject<IConnectionPoint> {
 public:
  SimConnectionPoint(std::shared_ptr<HostState> host, std::shared_ptr<EventSinks> sinks,
                     ComPtr<IConnectionPointContainer> container, std::u16string target);

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

  // FindConnectionPoint of a container whose events go to sinks: a new
  // connection point for sinks->iid(), CONNECT_E_NOCONNECTION for any other
  // IID.
  static HRESULT Find(const std::shared_ptr<HostState>& host,
                      const std::shared_ptr<EventSinks>& sinks,
                      IConnectionPointContainer* container, const std::u16string& target,
                      REFIID riid, IConnectionPoint** point);

 private:
  std::shared_ptr<EventSinks> sinks_;
  ComPtr<IConnectionPointContainer> container_;
  std::u16string target_;
};

}  // namespace sim
