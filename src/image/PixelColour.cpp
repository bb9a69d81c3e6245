#include "image/PixelColour.h"

namespace ocu {
namespace {

std::uint32_t Widen5(std::uint32_t v) { return (v << 3) | (v >> 2); }
std::uint32_t Widen6(std::uint32_t v) { return (v << 2) | (v >> 4); }
std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return (r << 16) | (g << 8) | b; }

}  // namespace

std::optional<std::uint32_t> PixelRgb(const Image& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.Width() || y >= image.Height()) return std::nullopt;
    const std::uint8_t* row = image.Row(y);
    const auto ux = static_cast<std::size_t>(x);
    std::uint32_t index = 0;
    switch (image.Format()) {
    case PixelFormat::Bits32: return image.Pixel32(x, y) & 0xFFFFFFu;
    case PixelFormat::Bits24: {
        const std::uint8_t* p = row + ux * 3;
        return Rgb(p[2], p[1], p[0]);
    }
    case PixelFormat::Bits16: {
        const std::uint32_t v = row[ux * 2] | (static_cast<std::uint32_t>(row[ux * 2 + 1]) << 8);
        return Rgb(Widen5((v >> 11) & 31), Widen6((v >> 5) & 63), Widen5(v & 31));
    }
    case PixelFormat::Bits15: {
        const std::uint32_t v = row[ux * 2] | (static_cast<std::uint32_t>(row[ux * 2 + 1]) << 8);
        return Rgb(Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31));
    }
    case PixelFormat::Bits8: index = row[ux]; break;
    case PixelFormat::Bits4: index = (row[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 0x0F; break;
    case PixelFormat::Bits1: index = (row[ux / 8] >> (7 - ux % 8)) & 1; break;
    default: return std::nullopt;
    }
    if (index >= image.Palette().size()) return std::nullopt;
    const PaletteEntry& e = image.Palette()[index];
    return Rgb(e.red, e.green, e.blue);
}

}  // namespace ocu
