// A model document open in the simulated host. One object per document
// while anyone holds it (HostState::DocumentObject), so that its IUnknown
// identifies the document.
#pragma once

#include <memory>

#include "host/host_model_doc.h"
#include "sim/sim_object.h"

namespace sim {

class SimDocument final : public SimDispatchObject<IHostModelDoc, IConnectionPointContainer> {
 public:
  SimDocument(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  const std::shared_ptr<DocumentState>& state() const { return document_; }

  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override;
  HRESULT STDMETHODCALLTYPE GetPathName(BSTR* path) override;
  HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
  HRESULT STDMETHODCALLTYPE GetNext(IHostModelDoc** next) override;
  HRESULT STDMETHODCALLTYPE GetFirstFeature(IHostFeature** feature) override;
  HRESULT STDMETHODCALLTYPE GetSelectionManager(IHostSelectionManager** manager) override;
  HRESULT STDMETHODCALLTYPE GetEquationManager(IHostEquationManager** manager) override;
  HRESULT STDMETHODCALLTYPE GetConfigurationCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetConfigurationNames(SAFEARRAY** names) override;
  HRESULT STDMETHODCALLTYPE GetConfiguration(BSTR name,
                                             IHostConfiguration** configuration) override;
  HRESULT STDMETHODCALLTYPE GetActiveConfiguration(IHostConfiguration** configuration) override;
  HRESULT STDMETHODCALLTYPE GetConfigurationManager(IHostConfigurationManager** manager) override;
  HRESULT STDMETHODCALLTYPE GetCustomPropertyCount(BSTR configuration, LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetCustomPropertyNames(BSTR configuration, SAFEARRAY** names) override;
  HRESULT STDMETHODCALLTYPE GetCustomPropertyValue(BSTR configuration, BSTR name,
                                                   BSTR* value) override;
  HRESULT STDMETHODCALLTYPE GetCustomPropertyType(BSTR configuration, BSTR name,
                                                  LONG* type) override;
  HRESULT STDMETHODCALLTYPE Save(VARIANT_BOOL silent) override;
  HRESULT STDMETHODCALLTYPE GetDependencies(VARIANT_BOOL traverse, VARIANT_BOOL includeSuppressed,
                                            VARIANT_BOOL uniqueOnly,
                                            VARIANT* dependencies) override;
  HRESULT STDMETHODCALLTYPE PrepareForClose() override;

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

 protected:
  ~SimDocument() override;

 private:
  std::u16string Target() const { return document_->FileName(); }
  // The custom properties of a configuration name ("" for the document);
  // null when the document has no such configuration.
  std::vector<PropertyModel>* Properties(BSTR configuration) const;

  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
