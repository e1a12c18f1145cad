// OLE pictures are the system's: a bitmap picture owns a device-independent
// section bitmap, and saving writes its pixels as a bitmap file.
#include "platform/ole_picture.h"

#include "platform/win/sdk.h"

namespace platform {

ComPtr<IPictureDisp> CreateBitmapPicture(LONG width, LONG height,
                                         const std::vector<uint32_t>& pixels) {
  if (width <= 0 || height <= 0 ||
      pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return nullptr;
  }
  void* made = nullptr;
  ComPtr<IPictureDisp> picture;
  if (SUCCEEDED(sdk::CreateBitmapPicture(width, height, pixels.data(), &made))) {
    picture.Attach(static_cast<IPictureDisp*>(made));
  }
  return picture;
}

}  // namespace platform

HRESULT OleSavePictureFile(IDispatch* picture, BSTR fileName) {
  if (!picture || !fileName) return E_POINTER;
  HRESULT hr = platform::sdk::SavePictureFile(picture, fileName);
  return hr == E_POINTER ? hr : (FAILED(hr) ? E_FAIL : S_OK);
}
