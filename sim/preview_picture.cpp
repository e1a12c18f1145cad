#include "sim/preview_picture.h"

namespace sim {
namespace {

// FNV-1a over the UTF-16 code units, then a 64-bit mixer per step, so that
// neighbouring names give unrelated colours.
uint64_t Hash(std::u16string_view path, std::u16string_view configuration) {
  uint64_t hash = 14695981039346656037ull;
  auto feed = [&hash](std::u16string_view text) {
    for (char16_t c : text) {
      hash ^= c;
      hash *= 1099511628211ull;
    }
    hash ^= 0xFFFF;
    hash *= 1099511628211ull;
  };
  feed(path);
  feed(configuration);
  return hash;
}

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

}  // namespace

std::vector<uint32_t> PreviewPixels(std::u16string_view path, std::u16string_view configuration) {
  constexpr LONG kCells = 4;
  constexpr LONG kCell = kPreviewSize / kCells;
  uint64_t seed = Hash(path, configuration);
  uint32_t colours[kCells * kCells];
  for (int i = 0; i < kCells * kCells; ++i) {
    seed = Mix(seed);
    colours[i] = static_cast<uint32_t>(seed & 0x00FFFFFF);
  }
  std::vector<uint32_t> pixels(static_cast<size_t>(kPreviewSize * kPreviewSize));
  for (LONG y = 0; y < kPreviewSize; ++y) {
    for (LONG x = 0; x < kPreviewSize; ++x) {
      bool frame = x == 0 || y == 0 || x == kPreviewSize - 1 || y == kPreviewSize - 1;
      pixels[static_cast<size_t>(y * kPreviewSize + x)] =
          frame ? 0x00000000 : colours[(y / kCell) * kCells + x / kCell];
    }
  }
  return pixels;
}

ComPtr<IPictureDisp> MakePreviewPicture(std::u16string_view path,
                                        std::u16string_view configuration) {
  return platform::CreateBitmapPicture(kPreviewSize, kPreviewSize,
                                       PreviewPixels(path, configuration));
}

}  // namespace sim
