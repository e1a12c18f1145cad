// The simulated host as the add-in sees it: its published objects, reached
// through the binding.
//
//   sim::SimHost host;
//   ComPtr<IHostModelDoc> document = testing_support::Bound(host.Open(path));
//   ComPtr<IHostApplication> application = testing_support::BoundApplication(host);
#pragma once

#include "host/published/binding.h"
#include "sim/sim_host.h"

namespace testing_support {

inline ComPtr<IHostApplication> BoundApplication(sim::SimHost& host) {
  return published::BindApplication(host.Application().Get());
}

// A document object of the host; null for null.
inline ComPtr<IHostModelDoc> Bound(const ComPtr<IDispatch>& document) {
  return published::BindDocument(document.Get());
}

}  // namespace testing_support
