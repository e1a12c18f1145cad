#include "addin/resources.h"

#include <span>
#include <string_view>

namespace harbolt {
namespace {

// The registry script of the add-in. %APPID% and %MODULE% are replaced when
// it is applied.
constexpr char16_t kRegistryScript[] =
    uR"(HKCR
{
	NoRemove AppID
	{
		'%APPID%' = s 'Harbolt'
		'Harbolt.DLL'
		{
			val AppID = s '%APPID%'
		}
	}
}
HKCR
{
	Harbolt.Harbolt.1 = s 'Harbolt Class'
	{
		CLSID = s '{1C227C16-C127-4F54-B26C-EF8F2BA2448D}'
	}
	Harbolt.Harbolt = s 'Harbolt Class'
	{
		CLSID = s '{1C227C16-C127-4F54-B26C-EF8F2BA2448D}'
		CurVer = s 'Harbolt.Harbolt.1'
	}
	NoRemove CLSID
	{
		ForceRemove {1C227C16-C127-4F54-B26C-EF8F2BA2448D} = s 'Harbolt Class'
		{
			ProgID = s 'Harbolt.Harbolt.1'
			VersionIndependentProgID = s 'Harbolt.Harbolt'
			ForceRemove Programmable
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'apartment'
			}
			TypeLib = s '{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}'
		}
	}
}
HKLM
{
	NoRemove SOFTWARE
	{
		NoRemove SolidWorks
		{
			NoRemove AddIns
			{
				ForceRemove {1C227C16-C127-4F54-B26C-EF8F2BA2448D} = d '0'
				{
					val Description = s 'Harbolt AddIn'
					val Title = s 'Harbolt'
				}
			}
		}
	}
}
)";

// The colours of the bitmap texts below.
struct PaletteEntry {
  char key;
  uint32_t colour;
};
constexpr PaletteEntry kPalette[] = {
    {'.', 0xC0C0C0},  // the background, which the host treats as transparent
    {'b', 0x1F3F8F}, {'w', 0xFFFFFF}, {'o', 0xE08020}, {'k', 0x202020},
};

constexpr const char* kToolbarSmall[] = {
    "................", "................", "................", "..bbb......bbb..",
    "..bwb......bwb..", "..bwb......bwb..", "..bwbbbbbbbbwb..", "..bwwwwwwwwwwb..",
    "..bwbbbbbbbbwb..", "..bwb......bwb..", "..bwb......bwb..", "..bwb......bwb..",
    "..bbb......bbb..", "................", "................", "................",
};

constexpr const char* kToolbarLarge[] = {
    "........................", "........................", "........................",
    "........................", "...bbbb..........bbbb...", "...bwwb..........bwwb...",
    "...bwwb..........bwwb...", "...bwwb..........bwwb...", "...bwwb..........bwwb...",
    "...bwwbbbbbbbbbbbbwwb...", "...bwwwwwwwwwwwwwwwwb...", "...bwwwwwwwwwwwwwwwwb...",
    "...bwwbbbbbbbbbbbbwwb...", "...bwwb..........bwwb...", "...bwwb..........bwwb...",
    "...bwwb..........bwwb...", "...bwwb..........bwwb...", "...bwwb..........bwwb...",
    "...bwwb..........bwwb...", "...bbbb..........bbbb...", "........................",
    "........................", "........................", "........................",
};

constexpr const char* kAddinSmall[] = {
    "................", "................", "...oooooooooo...", "..oooooooooooo..",
    "..oooooooooooo..", "..oooooooooooo..", "..ooookkkkoooo..", "...oooooooooo...",
    "......oooo......", "......kkkk......", "......oooo......", "......oooo......",
    "......kkkk......", "......oooo......", "......oooo......", "................",
};

constexpr const char* kAddinLarge[] = {
    "................................", "................................",
    "................................", "......oooooooooooooooooooo......",
    "......oooooooooooooooooooo......", ".....oooooooooooooooooooooo.....",
    "....oooooooooooooooooooooooo....", "....oooooooooooooooooooooooo....",
    "...oooooooooooooooooooooooooo...", "...oooooooookkkkkkkkooooooooo...",
    "...oooooooooooooooooooooooooo...", "....oooooooooooooooooooooooo....",
    "....ooooooookkkkkkkkoooooooo....", ".....oooooooooooooooooooooo.....",
    "......oooooooooooooooooooo......", "......ooooookkkkkkkkoooooo......",
    "............oooooooo............", "............oooooooo............",
    "............kkkkkkkk............", "............oooooooo............",
    "............oooooooo............", "............kkkkkkkk............",
    "............oooooooo............", "............oooooooo............",
    "............kkkkkkkk............", "............oooooooo............",
    "............oooooooo............", "............kkkkkkkk............",
    "............oooooooo............", "............oooooooo............",
    "............kkkkkkkk............", "................................",
};

struct BitmapEntry {
  UINT id;
  std::span<const char* const> rows;
};
constexpr BitmapEntry kBitmaps[] = {
    {IDB_TOOLBAR_SMALL, kToolbarSmall},
    {IDB_TOOLBAR_LARGE, kToolbarLarge},
    {IDB_ADDIN_SMALL, kAddinSmall},
    {IDB_ADDIN_LARGE, kAddinLarge},
};

uint32_t Colour(char key) {
  for (const PaletteEntry& entry : kPalette) {
    if (entry.key == key) return entry.colour;
  }
  return kPalette[0].colour;
}

}  // namespace

bool BuiltInBitmap(UINT id, platform::BitmapPixels* bitmap) {
  for (const BitmapEntry& entry : kBitmaps) {
    if (entry.id != id) continue;
    platform::BitmapPixels loaded;
    loaded.height = static_cast<LONG>(entry.rows.size());
    loaded.width = static_cast<LONG>(std::string_view(entry.rows[0]).size());
    loaded.pixels.reserve(static_cast<size_t>(loaded.width) * loaded.height);
    for (std::string_view row : entry.rows) {
      for (char key : row) loaded.pixels.push_back(Colour(key));
    }
    *bitmap = std::move(loaded);
    return true;
  }
  return false;
}

std::u16string_view BuiltInRegistryScript(UINT id) {
  return id == IDR_HARBOLT ? std::u16string_view(kRegistryScript) : std::u16string_view();
}

}  // namespace harbolt
