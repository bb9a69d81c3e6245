#pragma once
// Building images and comparing them, shared by the pixel, turn and frame tests.
#include <cstdint>
#include <cstring>
#include <random>

#include "image/Image.h"
#include "image/PixelOps.h"

namespace ocu::support {

// Every byte random, row padding included, so that a write into the padding
// shows up in a whole-buffer comparison.
inline Image RandomImage(std::mt19937& rng, int w, int h, PixelFormat f) {
    Image img(w, h, f);
    for (std::size_t i = 0; i < img.SizeBytes(); ++i) img.Bits()[i] = static_cast<std::uint8_t>(rng());
    return img;
}

// Every byte, padding included, set to `byte`.
inline Image Filled(int w, int h, PixelFormat f, std::uint8_t byte) {
    Image img(w, h, f);
    std::memset(img.Bits(), byte, img.SizeBytes());
    return img;
}

// The whole buffers, padding included, are the same.
inline bool SameBytes(const Image& a, const Image& b) {
    return a.SizeBytes() == b.SizeBytes() &&
           (a.SizeBytes() == 0 || std::memcmp(a.Bits(), b.Bits(), a.SizeBytes()) == 0);
}

// Equal down to the padding bytes, palette and stride included.
inline bool SameImage(const Image& a, const Image& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.Format() == b.Format() && a.Stride() == b.Stride() &&
           a.Palette() == b.Palette() && SameBytes(a, b);
}

// The raw value of a whole-byte pixel (8 to 32 bits), little-endian.
inline std::uint32_t Px(const Image& img, int x, int y) {
    std::uint32_t v = 0;
    std::memcpy(&v, img.Row(y) + static_cast<std::size_t>(x) * PixelBytes(img.Format()), PixelBytes(img.Format()));
    return v;
}

}  // namespace ocu::support
