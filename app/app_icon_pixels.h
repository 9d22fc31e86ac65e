// The application icon's images as pixels compiled in (made at build time from the image files
// by tools/icon_pixels): 32 and 16 pixels, then 48 to 256. Ready to use, nothing to decode.
#pragma once

#include <array>
#include <cstdint>

namespace kov {

struct IconPixels {
    int width;
    int height;
    const std::uint32_t* argb;  // premultiplied ARGB32, row after row, as a pixmap holds them
};

extern const std::array<IconPixels, 6> kIconPixels;

}  // namespace kov
