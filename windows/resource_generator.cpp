// Writes the Windows module's resources from the built-in tables that stand
// for them on other systems (addin/resources.h, common/message_table.h), so
// that both builds serve one and the same data:
//   resource_generator OUTDIR
// writes OUTDIR/harbolt.rgs (registry script 101), OUTDIR/bitmap_<id>.bmp
// (bitmaps 111, 112, 201, 202) and OUTDIR/strings.rc (the string tables in
// English (United States), Chinese (Simplified) and Chinese (Traditional)).
// Built and run on the build machine, during the cross build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "addin/resources.h"
#include "common/message_table.h"
#include "common/messages.h"
#include "platform/format.h"
#include "platform/system_info.h"
#include "platform/text.h"

namespace {

constexpr UINT kMessageIds[] = {
    Dovbase::IDS_ADDIN_TITLE,
    Dovbase::IDS_LOGIN,
    Dovbase::IDS_LOGOUT,
    Dovbase::IDS_MENU_NODE_MISSING,
    Dovbase::IDS_INVALID_DOC_TYPE,
    Dovbase::IDS_NOT_ASSEMBLY,
    Dovbase::IDS_TABLE_NODE_MISSING,
    Dovbase::IDS_QUERY_FAILED,
    Dovbase::IDS_INDEX_OUT_OF_RANGE,
    Dovbase::IDS_QUERY_UNKNOWN_ERROR,
};

struct Table {
  LANGID language;
  const char* statement;  // the resource script's LANGUAGE statement
};
constexpr Table kTables[] = {
    {LANG_ENGLISH_US, "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US"},
    {LANG_CHINESE_SIMPLIFIED, "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED"},
    {LANG_CHINESE_TRADITIONAL, "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL"},
};

constexpr UINT kBitmapIds[] = {harbolt::IDB_TOOLBAR_SMALL, harbolt::IDB_TOOLBAR_LARGE,
                               harbolt::IDB_ADDIN_SMALL, harbolt::IDB_ADDIN_LARGE};

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

void PutLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 24-bit bottom-up bitmap file of the pixels.
std::string BitmapFile(const platform::BitmapPixels& bitmap) {
  const uint32_t stride = ((static_cast<uint32_t>(bitmap.width) * 3 + 3) / 4) * 4;
  const uint32_t image = stride * static_cast<uint32_t>(bitmap.height);
  std::string out;
  out += "BM";
  PutLe(out, 14 + 40 + image, 4);
  PutLe(out, 0, 4);
  PutLe(out, 14 + 40, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(bitmap.width), 4);
  PutLe(out, static_cast<uint32_t>(bitmap.height), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, image, 4);
  PutLe(out, 2835, 4);  // 72 dots per inch
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (LONG y = bitmap.height - 1; y >= 0; --y) {
    std::string row;
    for (LONG x = 0; x < bitmap.width; ++x) {
      uint32_t rgb = bitmap.pixels[static_cast<size_t>(y) * bitmap.width + x];
      PutLe(row, rgb & 0xFFFFFF, 3);  // blue, green, red
    }
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

bool IsHexDigit(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A wide string literal of the resource script: ASCII as it stands, every
// other character as an escape, so that the script's code page plays no part.
// A hexadecimal digit right after an escape is escaped too, since an escape
// takes every hexadecimal digit that follows it.
std::string RcLiteral(std::u16string_view text) {
  std::string out = "L\"";
  bool escaped = false;
  for (char16_t c : text) {
    bool plain = c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\' && !(escaped && IsHexDigit(c));
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      out += platform::Utf16ToUtf8(platform::FormatWide(16, u"\\x%04x", c));
    }
    escaped = !plain;
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: resource_generator OUTDIR\n");
    return 64;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);

  std::u16string_view script = harbolt::BuiltInRegistryScript(harbolt::IDR_HARBOLT);
  if (script.empty() || !WriteBytes(dir / "harbolt.rgs", platform::Utf16ToUtf8(script))) {
    std::fprintf(stderr, "resource_generator: cannot write the registry script\n");
    return 1;
  }

  for (UINT id : kBitmapIds) {
    platform::BitmapPixels bitmap;
    std::string name = "bitmap_" + std::to_string(id) + ".bmp";
    if (!harbolt::BuiltInBitmap(id, &bitmap) || !WriteBytes(dir / name, BitmapFile(bitmap))) {
      std::fprintf(stderr, "resource_generator: cannot write bitmap %u\n", id);
      return 1;
    }
  }

  std::string strings = "// The module's string tables, written by resource_generator.\n";
  for (const Table& table : kTables) {
    strings += std::string(table.statement) + "\nSTRINGTABLE\nBEGIN\n";
    for (UINT id : kMessageIds) {
      const char16_t* text = Dovbase::BuiltInMessage(id, table.language);
      if (text) strings += "  " + std::to_string(id) + ", " + RcLiteral(text) + "\n";
    }
    strings += "END\n\n";
  }
  if (!WriteBytes(dir / "strings.rc", strings)) {
    std::fprintf(stderr, "resource_generator: cannot write the string tables\n");
    return 1;
  }
  return 0;
}
