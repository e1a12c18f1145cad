// The simulated host application.
#pragma once

#include <memory>

#include "host/host_application.h"
#include "sim/sim_object.h"

namespace sim {

class SimApplication final : public SimDispatchObject<IHostApplication, IConnectionPointContainer> {
 public:
  explicit SimApplication(std::shared_ptr<HostState> host);

  HRESULT STDMETHODCALLTYPE GetCommandManager(LONG cookie, IHostCommandManager** manager) override;
  HRESULT STDMETHODCALLTYPE SetAddinCallbackInfo(LONG moduleHandle, IDispatch* target, LONG cookie,
                                                 VARIANT_BOOL* done) override;
  HRESULT STDMETHODCALLTYPE RevisionNumber(BSTR* revision) override;
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** frame) override;
  HRESULT STDMETHODCALLTYPE GetFirstDocument(IHostModelDoc** document) override;
  HRESULT STDMETHODCALLTYPE GetDocuments(SAFEARRAY** documents) override;
  HRESULT STDMETHODCALLTYPE GetActiveDocument(IHostModelDoc** document) override;
  HRESULT STDMETHODCALLTYPE OpenDocument(BSTR path, LONG docType,
                                         IHostModelDoc** document) override;
  HRESULT STDMETHODCALLTYPE ActivateDocument(BSTR name, IHostModelDoc** document) override;
  HRESULT STDMETHODCALLTYPE CloseDocument(BSTR path) override;
  HRESULT STDMETHODCALLTYPE GetPreviewPicture(BSTR path, BSTR configuration,
                                              IPictureDisp** picture) override;

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

 protected:
  ~SimApplication() override;
};

}  // namespace sim
