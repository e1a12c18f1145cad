// A configuration of a model document, or the nameless configuration that
// stands for the document as a whole.
#pragma once

#include <memory>
#include <string>

#include "host/host_configuration.h"
#include "sim/sim_object.h"

namespace sim {

class SimConfiguration final : public SimDispatchObject<IHostConfiguration> {
 public:
  // name: a configuration of the document; empty: the document as a whole.
  SimConfiguration(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document,
                   std::u16string name);

  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE GetParent(IHostConfiguration** parent) override;
  HRESULT STDMETHODCALLTYPE GetAlternateName(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE SetAlternateName(BSTR name) override;
  HRESULT STDMETHODCALLTYPE GetType(LONG* type) override;
  HRESULT STDMETHODCALLTYPE GetBomPartNumberSource(LONG* source) override;
  HRESULT STDMETHODCALLTYPE SetBomPartNumberSource(LONG source) override;
  HRESULT STDMETHODCALLTYPE GetComment(BSTR* comment) override;
  HRESULT STDMETHODCALLTYPE SetComment(BSTR comment) override;
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override;
  HRESULT STDMETHODCALLTYPE SetDescription(BSTR description) override;
  HRESULT STDMETHODCALLTYPE GetLocked(VARIANT_BOOL* locked) override;
  HRESULT STDMETHODCALLTYPE SetLocked(VARIANT_BOOL locked) override;
  HRESULT STDMETHODCALLTYPE GetUseAlternateNameInBom(VARIANT_BOOL* use) override;
  HRESULT STDMETHODCALLTYPE SetUseAlternateNameInBom(VARIANT_BOOL use) override;
  HRESULT STDMETHODCALLTYPE GetRootComponent(IHostComponent** root) override;
  HRESULT STDMETHODCALLTYPE GetRootComponent2(LONG resolve, IHostComponent** root) override;
  HRESULT STDMETHODCALLTYPE GetCustomPropertyManager(IHostCustomPropertyManager** manager) override;

 private:
  std::u16string Target() const { return document_->FileName() + u":" + name_; }
  // The configuration's model; null for the nameless configuration.
  ConfigurationModel* Model() const;
  HRESULT ReadText(std::string_view operation, std::u16string ConfigurationModel::*field,
                   BSTR* out);
  HRESULT WriteText(std::string_view operation, std::u16string ConfigurationModel::*field,
                    BSTR value);
  HRESULT ReadFlag(std::string_view operation, bool ConfigurationModel::*field, VARIANT_BOOL* out);
  HRESULT WriteFlag(std::string_view operation, bool ConfigurationModel::*field,
                    VARIANT_BOOL value);
  HRESULT Root(IHostComponent** root);

  std::shared_ptr<DocumentState> document_;
  std::u16string name_;
};

}  // namespace sim
