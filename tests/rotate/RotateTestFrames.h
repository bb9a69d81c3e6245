#pragma once
// Frames for the rotation tests: random bytes everywhere (row padding too, so
// a result that leaks source padding shows up), optionally borrowed from a
// buffer with a wider stride or an odd start address, as a DIB section's
// memory might be.
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/Image.h"
#include "support/ImageHelpers.h"

namespace ocu::rotate_test {

inline constexpr PixelFormat kAllFormats[] = {PixelFormat::Bits1,  PixelFormat::Bits4,  PixelFormat::Bits8,
                                              PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24,
                                              PixelFormat::Bits32};

inline std::string FormatName(PixelFormat f) {
    return std::to_string(BitsPerPixel(f)) + (f == PixelFormat::Bits15 ? "(555)" : "") + "bpp";
}

struct Frame {
    std::unique_ptr<std::vector<std::uint8_t>> storage;  // backing memory of a borrowed image
    Image image;
};

struct FrameShape {
    int width = 1;
    int height = 1;
    PixelFormat format = PixelFormat::Bits32;
    std::size_t extraStride = 0;  // > 0: a borrowed view with that much more per row
    bool oddAddress = false;      // borrowed view starting one byte into its buffer
};

inline std::vector<PaletteEntry> RandomPalette(std::mt19937& rng, std::size_t count) {
    std::vector<PaletteEntry> p(count);
    for (PaletteEntry& e : p) {
        const auto v = static_cast<std::uint32_t>(rng());
        e = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
             static_cast<std::uint8_t>(v >> 24)};
    }
    return p;
}

inline Frame RandomFrame(std::mt19937& rng, const FrameShape& s) {
    Frame fr;
    if (s.extraStride == 0 && !s.oddAddress) {
        fr.image = Image(s.width, s.height, s.format);
    } else {
        const std::size_t stride = StrideFor(s.width, s.format) + s.extraStride;
        fr.storage = std::make_unique<std::vector<std::uint8_t>>(stride * static_cast<std::size_t>(s.height) + 1);
        fr.image = Image::View(fr.storage->data() + (s.oddAddress ? 1 : 0), s.width, s.height, s.format, stride);
    }
    for (int y = 0; y < fr.image.Height(); ++y)
        for (std::size_t i = 0; i < fr.image.Stride(); ++i) fr.image.Row(y)[i] = static_cast<std::uint8_t>(rng());
    // Palettes of every length the formats allow (and, rarely, longer); direct
    // formats sometimes carry one that the result must not inherit.
    const std::size_t maxEntries = IsIndexed(s.format) ? (std::size_t{1} << BitsPerPixel(s.format)) : 4;
    if (IsIndexed(s.format) || rng() % 4 == 0)
        fr.image.Palette() = RandomPalette(rng, rng() % 16 == 0 ? maxEntries + 3 : rng() % (maxEntries + 1));
    return fr;
}

inline Frame RandomFrame(std::mt19937& rng, int width, int height, PixelFormat f) {
    return RandomFrame(rng, FrameShape{width, height, f});
}

using support::SameImage;

}  // namespace ocu::rotate_test
