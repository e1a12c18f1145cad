#include "addin/bitmap_handler.h"

#include "addin/harbolt_ids.h"
#include "addin/resources.h"
#include "common/catch_pattern.h"
#include "platform/files.h"
#include "platform/ole_picture.h"
#include "platform/resources.h"

namespace {

constexpr harbolt::DispatchEntry<IBitmapHandler> kDispatchTable[] = {
    harbolt::DispatchMethod<&IBitmapHandler::CreateBitmapFileFromResource>(1),
    harbolt::DispatchMethod<&IBitmapHandler::Dispose>(2),
};

// A new, empty temporary file with the "swt" prefix; empty when none can be
// made.
std::u16string NewTemporaryFile() {
  OLECHAR directory[MAX_PATH] = {};
  DWORD length = GetTempPathW(MAX_PATH, directory);
  if (length == 0 || length >= MAX_PATH) return {};
  OLECHAR name[MAX_PATH] = {};
  if (GetTempFileNameW(directory, u"swt", 0, name) == 0) return {};
  return name;
}

}  // namespace

HRESULT CBitmapHandler::CreateBitmapFileFromResource(ULONG resID, BSTR* path) {
  if (!path) return E_POINTER;
  *path = nullptr;
  return Dovbase::GuardAutomationMethod(
      {u".\\Harbolt", u"CBitmapHandler::CreateBitmapFileFromResource", __LINE__}, kHarboltProgId,
      [&]() -> HRESULT {
        ComPtr<IPictureDisp> picture = platform::LoadBitmapPicture(resID, &harbolt::BuiltInBitmap);
        files_.reserve(files_.size() + 1);  // nothing can fail once the file is written
        std::u16string file = NewTemporaryFile();
        if (file.empty()) return E_FAIL;
        ScopedBstr fileName(file);
        if (!picture || FAILED(OleSavePictureFile(picture.Get(), fileName.Get()))) {
          // The temporary file exists already; an unusable one is not left behind.
          DeleteFileW(file.c_str());
          return E_FAIL;
        }
        files_.push_back(file);
        *path = fileName.Release();
        return S_OK;
      });
}

HRESULT CBitmapHandler::Dispose() {
  for (const std::u16string& file : files_) DeleteFileW(file.c_str());
  files_.clear();
  return S_OK;
}

std::span<const harbolt::DispatchEntry<IBitmapHandler>> CBitmapHandler::DispatchTable() const {
  return kDispatchTable;
}
