#pragma once
// The rotation written the slow, obvious way: one pixel at a time, 32-bit
// fixed point, the start point rounded from long double, explicit
// half-away-from-zero rounding and a format switch per pixel. The production
// code clips spans and specialises per format; it has to agree with this
// byte for byte, padding included.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "image/Image.h"
#include "rotate/RotateBitmap.h"

namespace ocu::rotate_test {

// Raw value of pixel (x, y) in any format (24-bit as 0xRRGGBB from bytes B, G, R).
inline std::uint32_t GetPixel(const Image& img, int x, int y) {
    const std::uint8_t* row = img.Row(y);
    switch (img.Format()) {
    case PixelFormat::Bits1: return (row[x / 8] >> (7 - x % 8)) & 1u;
    case PixelFormat::Bits4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
    case PixelFormat::Bits8: return row[x];
    case PixelFormat::Bits15:
    case PixelFormat::Bits16: return row[2 * x] | (std::uint32_t{row[2 * x + 1]} << 8);
    case PixelFormat::Bits24:
        return row[3 * x] | (std::uint32_t{row[3 * x + 1]} << 8) | (std::uint32_t{row[3 * x + 2]} << 16);
    case PixelFormat::Bits32: return img.Pixel32(x, y);
    case PixelFormat::Custom: break;
    }
    return 0;
}

// Stores a raw value, leaving the other pixels of a shared byte alone.
inline void SetPixel(Image& img, int x, int y, std::uint32_t v) {
    std::uint8_t* row = img.Row(y);
    switch (img.Format()) {
    case PixelFormat::Bits1: {
        const auto mask = static_cast<std::uint8_t>(0x80u >> (x % 8));
        row[x / 8] = static_cast<std::uint8_t>((v & 1u) ? (row[x / 8] | mask) : (row[x / 8] & ~mask));
        break;
    }
    case PixelFormat::Bits4:
        row[x / 2] = static_cast<std::uint8_t>(x % 2 == 0 ? (row[x / 2] & 0x0F) | ((v << 4) & 0xF0)
                                                          : (row[x / 2] & 0xF0) | (v & 0x0F));
        break;
    case PixelFormat::Bits8: row[x] = static_cast<std::uint8_t>(v); break;
    case PixelFormat::Bits15:
    case PixelFormat::Bits16:
        row[2 * x] = static_cast<std::uint8_t>(v);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        break;
    case PixelFormat::Bits24:
        row[3 * x] = static_cast<std::uint8_t>(v);
        row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
        row[3 * x + 2] = static_cast<std::uint8_t>(v >> 16);
        break;
    case PixelFormat::Bits32: img.SetPixel32(x, y, v); break;
    case PixelFormat::Custom: break;
    }
}

inline int RoundHalfAway(int v) { return v >= 0 ? (v + 512) / 1024 : -((512 - v) / 1024); }

inline Image ReferenceRotate(const Image& src, int angle, bool mirror, bool fitBounds) {
    const int w = src.Width(), h = src.Height();
    if (w == 0 || h == 0) throw ERotateError("Bitmap Size Error");
    const PixelFormat f = src.Format();

    const int a = angle >= 0 ? angle % 3600 : 3600 - static_cast<int>(std::llabs(static_cast<long long>(angle)) % 3600);
    const long double t = (a / 10.0L) * 0.017453292519943295L;
    const int s = static_cast<int>(std::lrint(std::sin(t) * 1024));
    const int c = static_cast<int>(std::lrint(std::cos(t) * 1024));

    std::uint32_t background = 0;
    if (f == PixelFormat::Bits1) {
        background = 1;
    } else if (f == PixelFormat::Bits4 || f == PixelFormat::Bits8) {
        // Entries beyond what an index of the format can name are not candidates.
        const std::size_t count = std::min<std::size_t>(src.Palette().size(), std::size_t{1} << BitsPerPixel(f));
        std::uint32_t maxKey = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const PaletteEntry& e = src.Palette()[i];
            const std::uint32_t key = e.blue * 65536u + e.green * 256u + e.red;
            if (key >= maxKey) {
                maxKey = key;
                background = static_cast<std::uint32_t>(i);
            }
        }
    } else {
        background = f == PixelFormat::Bits32 ? 0x00FFFFFFu : f == PixelFormat::Bits24 ? 0xFFFFFFu : 0xFFFFu;
    }

    const int nw = fitBounds ? (std::abs(w * c) + std::abs(h * s) + 512) / 1024 : w;
    const int nh = fitBounds ? (std::abs(w * s) + std::abs(h * c) + 512) / 1024 : h;
    Image dst(nw, nh, f);
    if (IsIndexed(f)) dst.Palette() = src.Palette();

    int x0 = static_cast<int>(std::lrint(c * (-(nw - 1) / 2.0L) - s * (-(nh - 1) / 2.0L) + (w - 1) * 512));
    int y0 = static_cast<int>(std::lrint(s * (-(nw - 1) / 2.0L) + c * (-(nh - 1) / 2.0L) + (h - 1) * 512));
    int dxc = c, dyc = s;
    const int dxr = -s, dyr = c;
    if (mirror) {
        x0 += (nw - 1) * c;
        y0 += (nw - 1) * s;
        dxc = -c;
        dyc = -s;
    }
    if (f == PixelFormat::Custom) throw ERotateError("Illegal Bitmap");

    for (int r = 0; r < nh; ++r) {
        int x = x0 + r * dxr, y = y0 + r * dyr;
        for (int col = 0; col < nw; ++col, x += dxc, y += dyc) {
            const int sx = RoundHalfAway(x), sy = RoundHalfAway(y);
            const bool inside = 0 <= sx && sx < w && 0 <= sy && sy < h;
            SetPixel(dst, col, r, inside ? GetPixel(src, sx, sy) : background);
        }
    }
    return dst;
}

}  // namespace ocu::rotate_test
