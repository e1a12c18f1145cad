// The simulated host application: ISldWorks.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_object.h"

namespace sim {

class SimApplication final : public SimDispatchObject<IConnectionPointContainer> {
 public:
  static const PublishedInterface kPublished;

  explicit SimApplication(std::shared_ptr<HostState> host);

  // The command manager of an add-in's cookie.
  ComPtr<IDispatch> GetCommandManager(LONG cookie);
  // Keeps the add-in's callback target of the cookie; a null one forgets it.
  bool SetAddinCallbackInfo2(LONGLONG moduleHandle, IDispatch* callbacks, LONG cookie);
  std::u16string RevisionNumber();
  ComPtr<IDispatch> Frame();
  ComPtr<IDispatch> GetFirstDocument();
  std::vector<ComPtr<IDispatch>> GetDocuments();
  ComPtr<IDispatch> ActiveDoc();
  // Null with swFileLoadError_e bits in errors: 2 no such file, 1024 not of
  // that type, 1 a file the host cannot read (its text as the thread's error
  // info), 65536 another open file of the same name. An open document gives
  // itself, with the warning 128.
  ComPtr<IDispatch> OpenDoc6(std::u16string_view fileName, LONG type, LONG options,
                             std::u16string_view configuration, LONG* errors, LONG* warnings);
  // By full path or file name; null with errors 1 when no document has it.
  ComPtr<IDispatch> ActivateDoc3(std::u16string_view name, bool useUserPreferences, LONG option,
                                 LONG* errors);
  // By full path or file name, without saving; "" closes the active
  // document.
  void CloseDoc(std::u16string_view name);
  ComPtr<IDispatch> GetOpenDocumentByName(std::u16string_view name);
  // The preview picture (IPictureDisp); null for a missing file or
  // configuration.
  ComPtr<IDispatch> GetPreviewBitmap(std::u16string_view path, std::u16string_view configuration);

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

 protected:
  ~SimApplication() override;
  void* QueryOtherInterface(REFIID riid) override;

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return u"application"; }
};

}  // namespace sim
