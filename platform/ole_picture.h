// OLE pictures: the host hands out preview pictures as IPictureDisp objects,
// and the add-in saves them as bitmap files, as the OLE picture functions do.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/com_ptr.h"

// The picture itself. Only the members the system uses are served here; on
// Windows they sit behind the handle members, as in the system's interface
// (widths and heights are then in HIMETRIC units).
struct IPicture : IUnknown {
#ifdef _WIN32
  virtual HRESULT STDMETHODCALLTYPE get_Handle(UINT* handle) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_hPal(UINT* palette) = 0;
#endif
  // Picture type: 1 (PICTYPE_BITMAP) for every picture made here.
  virtual HRESULT STDMETHODCALLTYPE get_Type(SHORT* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Width(LONG* width) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Height(LONG* height) = 0;

 protected:
  ~IPicture() = default;
};
HB_DECLARE_IID(IPicture, "{7BF80980-BF32-101A-8BBB-00AA00300CAB}");

// The automation face of a picture; it answers QueryInterface for IPicture.
struct IPictureDisp : IDispatch {
 protected:
  ~IPictureDisp() = default;
};
HB_DECLARE_IID(IPictureDisp, "{7BF80981-BF32-101A-8BBB-00AA00300CAB}");

constexpr SHORT PICTYPE_BITMAP = 1;

namespace platform {

// A bitmap picture of width x height pixels, 0x00RRGGBB each, rows from the
// top. Returns null for an empty or inconsistent size.
ComPtr<IPictureDisp> CreateBitmapPicture(LONG width, LONG height,
                                         const std::vector<uint32_t>& pixels);

}  // namespace platform

// Saves a picture as a Windows bitmap file (24 bits per pixel), creating or
// replacing the file. E_POINTER for a null picture or path, E_FAIL when the
// file cannot be written.
HRESULT OleSavePictureFile(IDispatch* picture, BSTR fileName);
