// The configuration-parameter access of a model document.
#pragma once

#include <memory>

#include "host/host_configuration.h"
#include "sim/sim_object.h"

namespace sim {

class SimConfigurationManager final : public SimDispatchObject<IHostConfigurationManager> {
 public:
  SimConfigurationManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  HRESULT STDMETHODCALLTYPE GetParameterCount(BSTR configuration, LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetParameters(BSTR configuration, SAFEARRAY** names,
                                          SAFEARRAY** values) override;
  HRESULT STDMETHODCALLTYPE SetParameters(BSTR configuration, LONG count, SAFEARRAY* names,
                                          SAFEARRAY* values, VARIANT_BOOL* done) override;
  HRESULT STDMETHODCALLTYPE GetDocumentConfiguration(IHostConfiguration** configuration) override;

 private:
  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
