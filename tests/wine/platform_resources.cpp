// The platform's Windows side reads the resources of the module that holds
// its code, not the built-in data handed to it: this program's own string
// tables, bitmap and text resource (platform_resources.rc) differ from the
// built-in data below, so every text and size found tells where it came
// from. The message lookup of the add-in goes the same way. Also the
// thread locale pair, and numbers formatted in the "C" locale while the
// process runs in a decimal-comma one. Run by tests/wine/run.sh; prints one
// line per check and "N passed, N failed", and exits with the number of
// failures.
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/messages.h"
#include "platform/bstr.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/resources.h"
#include "platform/system_info.h"
#include "platform/text.h"
#include "platform/unknown.h"
#include "tests/wine/checks.h"

namespace {

using wine_checks::Check;

const char16_t* BuiltInStrings(UINT, LANGID) { return u"built in"; }

bool BuiltInBitmaps(UINT, platform::BitmapPixels* bitmap) {
  *bitmap = platform::BitmapPixels{1, 1, {0}};
  return true;
}

std::u16string_view BuiltInTexts(UINT) { return u"built in"; }

// The width that the bitmap file of the picture states; 0 when it cannot be
// written or read.
int SavedWidth(IPictureDisp* picture) {
  OLECHAR directory[MAX_PATH] = {};
  OLECHAR name[MAX_PATH] = {};
  if (!picture || GetTempPathW(MAX_PATH, directory) == 0 ||
      GetTempFileNameW(directory, u"prt", 0, name) == 0) {
    return 0;
  }
  ScopedBstr path(name);
  int width = 0;
  if (SUCCEEDED(OleSavePictureFile(picture, path.Get()))) {
    std::ifstream file(std::filesystem::path(std::u16string(name)), std::ios::binary);
    char header[54] = {};
    if (file.read(header, sizeof header)) {
      width = static_cast<unsigned char>(header[18]) | static_cast<unsigned char>(header[19]) << 8;
    }
  }
  DeleteFileW(name);
  return width;
}

void CheckStrings() {
  std::u16string english = platform::LoadStringInLanguage(5800, LANG_ENGLISH_US, &BuiltInStrings);
  std::printf("     5800 in English: %s\n", platform::Utf16ToUtf8(english).c_str());
  Check(english == u"menuNode not exists (resource)", "a string in English from the string table");
  Check(platform::LoadStringInLanguage(5800, LANG_CHINESE_SIMPLIFIED, &BuiltInStrings) ==
            u"菜单 (resource)",
        "the same string in Chinese (Simplified)");
  Check(platform::LoadStringInLanguage(5800, 0x0407, &BuiltInStrings).empty(),
        "no text in a language without a table");
  Check(platform::LoadStringInLanguage(17, LANG_CHINESE_SIMPLIFIED, &BuiltInStrings).empty(),
        "no text for an id that the language's table lacks");
  Check(platform::LoadStringOrdinary(17, &BuiltInStrings) == u"seventeen",
        "the ordinary lookup finds the one table that has the id");
  Check(platform::LoadStringOrdinary(99, &BuiltInStrings).empty(), "no text for an unknown id");

  // The add-in's message lookup reads this module's resources too.
  std::u16string message = Dovbase::LoadMessage(5800);
  std::printf("     LoadMessage(5800) with language 0x%04x: %s\n",
              static_cast<unsigned>(GetUserDefaultLangID()),
              platform::Utf16ToUtf8(message).c_str());
  Check(message == (GetUserDefaultLangID() == LANG_CHINESE_SIMPLIFIED
                        ? u"菜单 (resource)"
                        : u"menuNode not exists (resource)"),
        "LoadMessage gives the module's string resource");
  Check(Dovbase::LoadMessage(4000).empty(), "LoadMessage of an id the module lacks is empty");
}

void CheckBitmapsAndTexts() {
  ComPtr<IPictureDisp> picture = platform::LoadBitmapPicture(201, &BuiltInBitmaps);
  Check(static_cast<bool>(picture), "bitmap 201 loads as a picture");
  int width = SavedWidth(picture.Get());
  std::printf("     bitmap 201 is %d pixels wide\n", width);
  Check(width == 16, "the picture is the module's 16-pixel bitmap, not the built-in one");
  Check(!platform::LoadBitmapPicture(202, &BuiltInBitmaps),
        "a bitmap the module lacks gives no picture");
  std::u16string text = platform::LoadTextResource(42, u"REGISTRY", &BuiltInTexts);
  std::printf("     REGISTRY 42: %s\n", platform::Utf16ToUtf8(text).c_str());
  Check(text == u"HKCR { resource }", "a text resource from the module");
  Check(platform::LoadTextResource(43, u"REGISTRY", &BuiltInTexts).empty(),
        "a text resource the module lacks is empty");
}

void CheckThreadLocale() {
  const LCID before = GetThreadLocale();
  Check(SetThreadLocale(0x0407) == TRUE && GetThreadLocale() == 0x0407,
        "the thread locale is set and read back");
  SetThreadLocale(before);
  Check(GetThreadLocale() == before, "and restored");
}

// Numbers are formatted in the "C" locale whatever locale the process runs
// in: with a decimal-comma locale set, "%g" still writes a point.
void CheckNumbersInTheCLocale() {
  const char* old = setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  if (!setlocale(LC_NUMERIC, "German_Germany.1252") && !setlocale(LC_NUMERIC, "de-DE")) {
    Check(false, "a decimal-comma locale can be set");
    return;
  }
  char native[32] = {};
  std::snprintf(native, sizeof native, "%g", 0.0254);
  std::printf("     the process locale writes %s\n", native);
  Check(platform::FormatWide(platform::kUnlimited, u"%g", 0.0254) == u"0.0254",
        "the formatter writes 0.0254 in a decimal-comma locale");
  setlocale(LC_NUMERIC, saved.c_str());
  Check(std::string(setlocale(LC_NUMERIC, nullptr)) == saved,
        "the process locale is left as it was");
}

}  // namespace

int main() {
  CheckStrings();
  CheckBitmapsAndTexts();
  CheckThreadLocale();
  CheckNumbersInTheCLocale();
  return wine_checks::Summary();
}
