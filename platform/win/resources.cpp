// The module's resources are the system's: the resource section of the module
// that holds this code. The built-in data is not looked at.
#include "platform/resources.h"

#include "platform/module.h"
#include "platform/text.h"
#include "platform/win/sdk.h"

namespace platform {
namespace {

HMODULE OwnModule() { return ModuleOfAddress(reinterpret_cast<const void*>(&OwnModule)); }

std::u16string Text(const char16_t* text, uint32_t length) {
  return text ? std::u16string(text, length) : std::u16string();
}

}  // namespace

std::u16string LoadStringInLanguage(UINT id, LANGID language, BuiltInString) {
  uint32_t length = 0;
  const char16_t* text = sdk::FindStringResource(OwnModule(), id, language, &length);
  return Text(text, length);
}

std::u16string LoadStringOrdinary(UINT id, BuiltInString) {
  uint32_t length = 0;
  const char16_t* text = sdk::LoadStringResource(OwnModule(), id, &length);
  return Text(text, length);
}

ComPtr<IPictureDisp> LoadBitmapPicture(UINT id, BuiltInBitmap) {
  void* made = nullptr;
  ComPtr<IPictureDisp> picture;
  if (SUCCEEDED(sdk::LoadBitmapPicture(OwnModule(), id, &made))) {
    picture.Attach(static_cast<IPictureDisp*>(made));
  }
  return picture;
}

std::u16string LoadTextResource(UINT id, const char16_t* type, BuiltInText) {
  uint32_t bytes = 0;
  const void* data = sdk::FindDataResource(OwnModule(), type, id, &bytes);
  if (!data) return {};
  return Utf8ToUtf16(std::string_view(static_cast<const char*>(data), bytes));
}

}  // namespace platform
