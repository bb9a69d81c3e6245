#include "mainwindow/ViewMath.h"

#include <climits>
#include <cmath>

namespace ocu {
namespace {

int SaturatedTrunc(long double q) {
    if (std::isnan(q)) return 0;
    if (q >= static_cast<long double>(INT_MAX)) return INT_MAX;
    if (q <= static_cast<long double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(q);  // truncates toward zero
}

}  // namespace

int TruncDiv(int value, float zoom) {
    if (zoom == 0.0f) return value == 0 ? 0 : (value > 0 ? INT_MAX : INT_MIN);
    return SaturatedTrunc(static_cast<long double>(value) / static_cast<long double>(zoom));
}

int TruncMul(int value, float zoom) {
    return SaturatedTrunc(static_cast<long double>(value) * static_cast<long double>(zoom));
}

float ZoomStepped(float rate, float delta) {
    return static_cast<float>(static_cast<long double>(rate) + static_cast<long double>(delta));
}

int FloorTenths(int angleTenths) {
    const int q = angleTenths / 10;
    return (angleTenths % 10 != 0 && angleTenths < 0) ? q - 1 : q;
}

int FloorHalf(float zoom) {
    const long double h = std::floor(static_cast<long double>(zoom) / 2.0L);
    return SaturatedTrunc(h);
}

IntPoint SampleOrigin(IntPoint cursor, int srcWidth, int srcHeight, const IntRect& desktop) {
    const int halfW = srcWidth / 2;
    const int halfH = srcHeight / 2;
    long long cx = cursor.X;
    long long cy = cursor.Y;
    if (cx <= static_cast<long long>(desktop.Left) + halfW) cx = static_cast<long long>(desktop.Left) + halfW;
    if (cy <= static_cast<long long>(desktop.Top) + halfH) cy = static_cast<long long>(desktop.Top) + halfH;
    if (cx + halfW >= desktop.Right) cx = static_cast<long long>(desktop.Right) - halfW;
    if (cy + halfH >= desktop.Bottom) cy = static_cast<long long>(desktop.Bottom) - halfH;
    return {static_cast<int>(cx - halfW), static_cast<int>(cy - halfH)};
}

IntPoint PushInside(IntPoint p, int width, int height, const IntRect& desktop) {
    if (p.X < desktop.Left) p.X = desktop.Left;
    if (p.Y < desktop.Top) p.Y = desktop.Top;
    if (static_cast<long long>(p.X) + width > desktop.Right) p.X = desktop.Right - width;
    if (static_cast<long long>(p.Y) + height > desktop.Bottom) p.Y = desktop.Bottom - height;
    return p;
}

std::string DecimalText(long long v) { return std::to_string(v); }

std::string LimitAnsiWidth(const std::string& s, int units) {
    std::size_t i = 0;
    int used = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t len = 1;
        if (c >= 0xF0) len = 4;
        else if (c >= 0xE0) len = 3;
        else if (c >= 0xC0) len = 2;
        if (i + len > s.size()) break;  // a cut-off character at the end is dropped
        int w = 1;
        if (len >= 2) {
            w = 2;
            // half-width katakana U+FF61..U+FF9F is one unit in the Japanese code page
            if (len == 3 && c == 0xEF) {
                const unsigned cp = ((c & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                                    (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
                if (cp >= 0xFF61 && cp <= 0xFF9F) w = 1;
            }
        }
        if (used + w > units) break;
        used += w;
        i += len;
    }
    return s.substr(0, i);
}

}  // namespace ocu
