// A module here has no resource section: the built-in data stands for it.
#include "platform/resources.h"

#include "platform/system_info.h"

namespace platform {

std::u16string LoadStringInLanguage(UINT id, LANGID language, BuiltInString builtIn) {
  const char16_t* text = builtIn ? builtIn(id, language) : nullptr;
  return text ? text : u"";
}

// Without a resource section there is no language to prefer: the ordinary
// lookup finds the English (United States) table, the module's first.
std::u16string LoadStringOrdinary(UINT id, BuiltInString builtIn) {
  return LoadStringInLanguage(id, LANG_ENGLISH_US, builtIn);
}

ComPtr<IPictureDisp> LoadBitmapPicture(UINT id, BuiltInBitmap builtIn) {
  BitmapPixels bitmap;
  if (!builtIn || !builtIn(id, &bitmap)) return nullptr;
  return CreateBitmapPicture(bitmap.width, bitmap.height, bitmap.pixels);
}

std::u16string LoadTextResource(UINT id, const char16_t*, BuiltInText builtIn) {
  return builtIn ? std::u16string(builtIn(id)) : std::u16string();
}

}  // namespace platform
