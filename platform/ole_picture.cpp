#include "platform/ole_picture.h"

#include <cstdio>
#include <memory>
#include <string>

#include "platform/com_object.h"
#include "platform/native_path.h"

namespace platform {

// How OleSavePictureFile reaches the pixels of a picture made here. A named
// namespace, not an unnamed one: a picture made in one module (the host) is
// saved by another (the add-in), and both must see the same type.
struct IBitmapPixels : IUnknown {
  virtual const std::vector<uint32_t>& Pixels() const = 0;

 protected:
  ~IBitmapPixels() = default;
};

}  // namespace platform

HB_DECLARE_IID(platform::IBitmapPixels, "{5E0B61C2-3D5F-4C1E-9F0A-6B2D8C4E7A10}");

using platform::IBitmapPixels;

namespace {

class BitmapPicture final : public ComObject<IPictureDisp, IPicture, IBitmapPixels> {
 public:
  BitmapPicture(LONG width, LONG height, std::vector<uint32_t> pixels)
      : width_(width), height_(height), pixels_(std::move(pixels)) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE get_Type(SHORT* type) override {
    if (!type) return E_POINTER;
    *type = PICTYPE_BITMAP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Width(LONG* width) override {
    if (!width) return E_POINTER;
    *width = width_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Height(LONG* height) override {
    if (!height) return E_POINTER;
    *height = height_;
    return S_OK;
  }
  const std::vector<uint32_t>& Pixels() const override { return pixels_; }

 private:
  LONG width_;
  LONG height_;
  std::vector<uint32_t> pixels_;
};

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 24-bit bottom-up Windows bitmap file.
std::string EncodeBmp(LONG width, LONG height, const std::vector<uint32_t>& pixels) {
  uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  std::string out;
  out.reserve(54 + imageBytes);
  out += "BM";
  PutLe(out, 54 + imageBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(width), 4);
  PutLe(out, static_cast<uint32_t>(height), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, imageBytes, 4);
  PutLe(out, 2835, 4);  // 72 dots per inch
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (LONG y = height - 1; y >= 0; --y) {
    size_t rowStart = out.size();
    for (LONG x = 0; x < width; ++x) {
      uint32_t p = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
      PutLe(out, p & 0xFFFFFF, 3);  // blue, green, red
    }
    out.append(rowBytes - (out.size() - rowStart), '\0');
  }
  return out;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

namespace platform {

ComPtr<IPictureDisp> CreateBitmapPicture(LONG width, LONG height,
                                         const std::vector<uint32_t>& pixels) {
  if (width <= 0 || height <= 0 || width > 65536 || height > 65536) return nullptr;
  if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return nullptr;
  return MakeComObject<BitmapPicture, IPictureDisp>(width, height, pixels);
}

}  // namespace platform

HRESULT OleSavePictureFile(IDispatch* picture, BSTR fileName) {
  if (!picture || !fileName) return E_POINTER;
  ComPtr<IPicture> pic;
  ComPtr<IBitmapPixels> pixels;
  ComPtr<IDispatch> disp(picture);
  if (FAILED(disp.As(&pic)) || FAILED(disp.As(&pixels))) return E_INVALIDARG;
  LONG width = 0, height = 0;
  pic->get_Width(&width);
  pic->get_Height(&height);
  std::string bytes = EncodeBmp(width, height, pixels->Pixels());
  std::filesystem::path path = platform::NativePath(BstrView(fileName));
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return E_FAIL;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return E_FAIL;
  return std::fclose(file.release()) == 0 ? S_OK : E_FAIL;
}
