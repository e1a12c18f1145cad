// The selection manager of a document.
#pragma once

#include <memory>

#include "host/host_selection.h"
#include "sim/sim_object.h"

namespace sim {

class SimSelectionManager final : public SimDispatchObject<IHostSelectionManager> {
 public:
  SimSelectionManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  HRESULT STDMETHODCALLTYPE GetSelectedObjectCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetSelectedObject(LONG index, LONG mark, IDispatch** object) override;

 private:
  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
