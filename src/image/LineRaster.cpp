#include "image/LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/PixelOps.h"

namespace ocu {

void PutPixel(Image& img, int x, int y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || x >= img.Width() || y >= img.Height()) return;
    const int bytes = PixelBytes(img.Format());
    if (bytes <= 0) return;
    std::uint8_t* p = img.Row(y) + static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes);
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<std::uint8_t>(pixel >> (8 * i));
}

namespace {

void ThinLine(Image& img, int x0, int y0, int x1, int y1, std::uint32_t pixel) {
    // Bresenham; the end point is left out, as LineTo leaves it.
    const long long dx = std::llabs(static_cast<long long>(x1) - x0);
    const long long dy = -std::llabs(static_cast<long long>(y1) - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    long long err = dx + dy;
    long long x = x0, y = y0;
    // Far-away lines are clipped to the image's neighbourhood before stepping.
    const long long limit = 4LL * (std::max(img.Width(), img.Height()) + 2);
    long long steps = std::max(dx, -dy);
    if (steps > limit * 4 &&
        (std::llabs(x0) > limit || std::llabs(y0) > limit || std::llabs(x1) > limit || std::llabs(y1) > limit)) {
        // Rare: a stroke thrown far outside; draw it as a scaled pass instead of
        // walking billions of steps.
        const double len = static_cast<double>(steps);
        for (long long i = 0; i <= limit * 8; ++i) {
            const double t = static_cast<double>(i) / static_cast<double>(limit * 8);
            if (t * len >= len) break;
            PutPixel(img, static_cast<int>(std::lround(x0 + t * (x1 - x0))),
                     static_cast<int>(std::lround(y0 + t * (y1 - y0))), pixel);
        }
        return;
    }
    while (steps-- > 0) {
        PutPixel(img, static_cast<int>(x), static_cast<int>(y), pixel);
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void WideLine(Image& img, int x0, int y0, int x1, int y1, int width, std::uint32_t pixel) {
    const double r = width / 2.0;
    const int minX = std::max(0, static_cast<int>(std::floor(std::min(x0, x1) - r)));
    const int maxX = std::min(img.Width() - 1, static_cast<int>(std::ceil(std::max(x0, x1) + r)));
    const int minY = std::max(0, static_cast<int>(std::floor(std::min(y0, y1) - r)));
    const int maxY = std::min(img.Height() - 1, static_cast<int>(std::ceil(std::max(y0, y1) + r)));
    const double vx = static_cast<double>(x1) - x0, vy = static_cast<double>(y1) - y0;
    const double len2 = vx * vx + vy * vy;
    const double r2 = r * r;
    // An odd width centres the pen on the pixel; an even one on the pixel's top-left
    // corner, so that it covers exactly `width` pixels across a straight line, the extra
    // one above or to the left, where GDI's wide pens put it.
    const double shift = width % 2 == 0 ? 0.5 : 0.0;
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            const double px = static_cast<double>(x) + shift - x0, py = static_cast<double>(y) + shift - y0;
            double t = len2 > 0 ? (px * vx + py * vy) / len2 : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double ex = px - t * vx, ey = py - t * vy;
            if (ex * ex + ey * ey < r2) PutPixel(img, x, y, pixel);
        }
    }
}

}  // namespace

void DrawLine(Image& img, int x0, int y0, int x1, int y1, int width, std::uint32_t pixel) {
    if (img.Empty()) return;
    if (width <= 1) ThinLine(img, x0, y0, x1, y1, pixel);
    else WideLine(img, x0, y0, x1, y1, width, pixel);
}

}  // namespace ocu
