// A model document open in the simulated host: IModelDoc2. One object per
// document while anyone holds it (HostState::DocumentObject), so that its
// IUnknown identifies the document.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_object.h"

namespace sim {

class SimDocument final : public SimDispatchObject<IConnectionPointContainer> {
 public:
  static const PublishedInterface kPublished;

  SimDocument(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document);

  const std::shared_ptr<DocumentState>& state() const { return document_; }

  LONG GetType();
  // Empty for a new document that was never saved.
  std::u16string GetPathName();
  // The model's title, with its extension.
  std::u16string GetTitle();
  // The next document of the host's list; null after the last.
  ComPtr<IDispatch> GetNext();
  ComPtr<IDispatch> FirstFeature();
  ComPtr<IDispatch> SelectionManager();
  ComPtr<IDispatch> GetEquationMgr();
  LONG GetConfigurationCount();
  std::vector<std::u16string> GetConfigurationNames();
  // Null for an unknown or empty name.
  ComPtr<IDispatch> GetConfigurationByName(std::u16string_view name);
  ComPtr<IDispatch> ConfigurationManager();
  ComPtr<IDispatch> Extension();
  // Writes the document; with the option swSaveAsOptions_SaveReferenced
  // every changed document it uses too. False with errors 1 (and the text as
  // the thread's error info) when a file cannot be written.
  bool Save3(LONG options, LONG* errors, LONG* warnings);
  void ClearSelection2(bool all);

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

 protected:
  ~SimDocument() override;
  void* QueryOtherInterface(REFIID riid) override;

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return document_->FileName(); }

  std::shared_ptr<DocumentState> document_;
};

}  // namespace sim
