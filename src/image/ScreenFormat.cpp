#include "image/ScreenFormat.h"

#include <cstdint>

namespace ocu {

PixelFormat FormatForDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 32: return PixelFormat::Bits32;
    case 24: return PixelFormat::Bits24;
    case 16: return PixelFormat::Bits16;
    case 15: return PixelFormat::Bits15;
    case 8: return PixelFormat::Bits8;
    default: return PixelFormat::Bits32;
    }
}

std::vector<PaletteEntry> FallbackPalette(PixelFormat format) {
    if (!IsIndexed(format)) return {};
    const unsigned count = 1u << BitsPerPixel(format);
    std::vector<PaletteEntry> palette(count);
    for (unsigned i = 0; i < count; ++i) {
        if (count == 256) {
            palette[i] = {static_cast<std::uint8_t>((i >> 5) * 255 / 7),
                          static_cast<std::uint8_t>(((i >> 2) & 7) * 255 / 7),
                          static_cast<std::uint8_t>((i & 3) * 255 / 3), 0};
        } else {
            const auto g = static_cast<std::uint8_t>(i * 255 / (count - 1));
            palette[i] = {g, g, g, 0};
        }
    }
    return palette;
}

}  // namespace ocu
