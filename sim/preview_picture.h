// The preview pictures of the simulated host: a small bitmap derived from
// the file's path and the configuration's name alone, so that every file
// and configuration has its own picture and the same pair always gives the
// same one.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/ole_picture.h"

namespace sim {

constexpr LONG kPreviewSize = 32;

// kPreviewSize x kPreviewSize pixels (0x00RRGGBB, rows from the top): a
// frame and a four-by-four pattern of colours drawn from a hash of the two
// texts.
std::vector<uint32_t> PreviewPixels(std::u16string_view path, std::u16string_view configuration);

ComPtr<IPictureDisp> MakePreviewPicture(std::u16string_view path,
                                        std::u16string_view configuration);

}  // namespace sim
