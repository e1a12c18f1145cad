// The custom-property manager of a configuration or of a document as a
// whole.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_properties.h"
#include "sim/sim_object.h"

namespace sim {

class SimPropertyManager final : public SimDispatchObject<IHostCustomPropertyManager> {
 public:
  // configuration: a configuration of the document; empty: the document.
  SimPropertyManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document,
                     std::u16string configuration);

  HRESULT STDMETHODCALLTYPE GetCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetAll(SAFEARRAY** names, SAFEARRAY** types,
                                   SAFEARRAY** values) override;
  HRESULT STDMETHODCALLTYPE Add2(BSTR name, LONG type, BSTR value, LONG* result) override;
  HRESULT STDMETHODCALLTYPE Set2(BSTR name, BSTR value, LONG* result) override;

 private:
  std::u16string Target() const { return document_->FileName() + u":" + configuration_; }
  // The properties managed; null when the configuration is gone.
  std::vector<PropertyModel>* List() const;

  std::shared_ptr<DocumentState> document_;
  std::u16string configuration_;
};

}  // namespace sim
