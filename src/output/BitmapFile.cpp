#include "output/BitmapFile.h"

#include <cstring>

#include "base/FileName.h"

namespace ocu {
namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;

}  // namespace

std::string BitmapFileName(const std::string& chosen) { return FileNameWithExtension<char>(chosen, ".bmp"); }

std::vector<std::uint8_t> BitmapInfo(int width, int height, PixelFormat format, std::span<const PaletteEntry> palette) {
    const int bpp = BitsPerPixel(format);
    const bool bitfields = format == PixelFormat::Bits16;
    const std::size_t paletteEntries = IsIndexed(format) ? (std::size_t{1} << bpp) : 0;
    const std::size_t rows = static_cast<std::size_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
    std::vector<std::uint8_t> b(kInfoHeader + (bitfields ? 12 : paletteEntries * 4), 0);
    Put32(b, 0, kInfoHeader);
    Put32(b, 4, static_cast<std::uint32_t>(width));
    Put32(b, 8, static_cast<std::uint32_t>(height));
    Put16(b, 12, 1);
    Put16(b, 14, static_cast<std::uint32_t>(bpp));
    Put32(b, 16, bitfields ? kBiBitfields : kBiRgb);
    Put32(b, 20, static_cast<std::uint32_t>(StrideFor(width, format) * rows));
    Put32(b, 24, 3780);  // 96 dpi
    Put32(b, 28, 3780);
    Put32(b, 32, static_cast<std::uint32_t>(paletteEntries));
    if (bitfields) {
        Put32(b, kInfoHeader, 0xF800);
        Put32(b, kInfoHeader + 4, 0x07E0);
        Put32(b, kInfoHeader + 8, 0x001F);
    }
    for (std::size_t i = 0; i < paletteEntries && i < palette.size(); ++i) {
        // The colour table is blue, green, red, reserved.
        b[kInfoHeader + 4 * i] = palette[i].blue;
        b[kInfoHeader + 4 * i + 1] = palette[i].green;
        b[kInfoHeader + 4 * i + 2] = palette[i].red;
    }
    return b;
}

std::vector<std::uint8_t> EncodeBmp(const Image& image) {
    if (image.Empty() || BitsPerPixel(image.Format()) == 0) return {};
    // Positive height: the file's rows run bottom-up.
    const std::vector<std::uint8_t> info = BitmapInfo(image.Width(), image.Height(), image.Format(), image.Palette());
    const std::size_t stride = StrideFor(image.Width(), image.Format());
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(image.Height());
    const std::size_t offset = kFileHeader + info.size();
    std::vector<std::uint8_t> b(offset + pixelBytes, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    std::memcpy(b.data() + kFileHeader, info.data(), info.size());
    for (int y = 0; y < image.Height(); ++y) {
        std::memcpy(b.data() + offset + stride * static_cast<std::size_t>(image.Height() - 1 - y), image.Row(y),
                    stride);
    }
    return b;
}

Image DecodeBmp(const std::vector<std::uint8_t>& b) {
    if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M') return {};
    const std::uint32_t offset = Get32(b, 10);
    const std::uint32_t headerSize = Get32(b, 14);
    const auto width = static_cast<std::int32_t>(Get32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(Get32(b, 22));
    const std::uint32_t bpp = Get16(b, 28);
    const std::uint32_t compression = Get32(b, 30);
    std::uint32_t colors = Get32(b, 46);
    if (headerSize < kInfoHeader || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return {};
    if (width > 1 << 16 || rawHeight > 1 << 16 || rawHeight < -(1 << 16)) return {};
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    PixelFormat f;
    switch (bpp) {
    case 1: f = PixelFormat::Bits1; break;
    case 4: f = PixelFormat::Bits4; break;
    case 8: f = PixelFormat::Bits8; break;
    case 16: f = PixelFormat::Bits15; break;
    case 24: f = PixelFormat::Bits24; break;
    case 32: f = PixelFormat::Bits32; break;
    default: return {};
    }
    if (compression == kBiBitfields && bpp == 16) {
        const std::size_t masks = kFileHeader + headerSize;
        if (masks + 12 > b.size()) return {};
        if (Get32(b, masks) == 0xF800 && Get32(b, masks + 4) == 0x07E0) f = PixelFormat::Bits16;
    } else if (compression != kBiRgb && !(compression == kBiBitfields && bpp == 32)) {
        return {};
    }
    // Before allocating: a header alone can ask for a 16 GiB picture.
    const std::size_t stride = StrideFor(width, f);
    if (offset > b.size() || b.size() - offset < stride * static_cast<std::size_t>(height)) return {};
    Image img(width, height, f);
    if (IsIndexed(f)) {
        if (colors == 0) colors = 1u << bpp;
        if (colors > 256) return {};
        const std::size_t at = kFileHeader + headerSize;
        if (at + colors * 4 > b.size()) return {};
        img.Palette().resize(colors);
        for (std::size_t i = 0; i < colors; ++i)
            img.Palette()[i] = {b[at + 4 * i + 2], b[at + 4 * i + 1], b[at + 4 * i], 0};
    }
    for (int y = 0; y < height; ++y) {
        const int fileRow = topDown ? y : height - 1 - y;
        std::memcpy(img.Row(y), b.data() + offset + stride * static_cast<std::size_t>(fileRow), stride);
    }
    return img;
}

}  // namespace ocu
