// CBitmapHandler: turns bitmap resources of the module into temporary bitmap
// files (the host takes images as file names) and deletes them again. The
// files stay on disk until Dispose, also after the object's release.
#pragma once

#include <string>
#include <vector>

#include "addin/dispatch_object.h"

struct IBitmapHandler : IDispatch {
  // Writes bitmap resource resID into a new temporary file named with the
  // prefix "swt" in the system's temporary directory and returns its full
  // path (the caller frees it). E_FAIL when no file name can be made or the
  // bitmap cannot be written (an unknown resource included); no file is left
  // behind then.
  virtual HRESULT STDMETHODCALLTYPE CreateBitmapFileFromResource(ULONG resID, BSTR* path) = 0;
  // Deletes every file made so far, oldest first, and forgets them. S_OK.
  virtual HRESULT STDMETHODCALLTYPE Dispose() = 0;

 protected:
  ~IBitmapHandler() = default;
};
HB_DECLARE_IID(IBitmapHandler, "{BE119BDB-5B58-4765-8A82-89C83B847643}");

class CBitmapHandler final : public DispatchObject<IBitmapHandler> {
 public:
  HRESULT STDMETHODCALLTYPE CreateBitmapFileFromResource(ULONG resID, BSTR* path) override;
  HRESULT STDMETHODCALLTYPE Dispose() override;

 protected:
  std::span<const harbolt::DispatchEntry<IBitmapHandler>> DispatchTable() const override;

 private:
  std::vector<std::u16string> files_;
};
