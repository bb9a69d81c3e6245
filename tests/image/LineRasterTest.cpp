#include "image/LineRaster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "image/PixelOps.h"

namespace ocu {
namespace {

constexpr std::uint32_t kInk = 0x00123456;

Image Blank(int w, int h) {
    Image img(w, h, PixelFormat::Bits32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) PutPixel(img, x, y, 0x00FFFFFF);
    return img;
}

bool Inked(const Image& img, int x, int y) {
    const std::uint8_t* p = img.Row(y) + static_cast<std::size_t>(x) * 4;
    return (p[0] | (p[1] << 8) | (p[2] << 16)) == kInk;
}

// The inked pixels of column x (or of row y when `row`), as first and count; first is -1 if none.
struct Band {
    int first = -1, count = 0;
};
Band Across(const Image& img, int at, bool row) {
    Band r;
    const int n = row ? img.Width() : img.Height();
    for (int i = 0; i < n; ++i) {
        if (!(row ? Inked(img, i, at) : Inked(img, at, i))) continue;
        if (r.first < 0) r.first = i;
        ++r.count;
    }
    return r;
}

// A pen of width w covers w pixels across a horizontal or vertical line, whichever way it
// is drawn; the extra pixel of an even width lies above or to the left, as with GDI's wide
// pens (a 4-pixel pen on row 30 covers rows 28 to 31). The ends are round and reach w/2
// past the end points; a 1-pixel pen leaves out its end point, as LineTo does.
TEST(LineRaster, StraightLinesAreAsWideAsThePen) {
    for (int w = 1; w <= 6; ++w) {
        SCOPED_TRACE(w);
        for (const bool reversed : {false, true}) {
            Image h = Blank(64, 64), v = Blank(64, 64);
            if (reversed) {
                DrawLine(h, 50, 30, 10, 30, w, kInk);
                DrawLine(v, 30, 50, 30, 10, w, kInk);
            } else {
                DrawLine(h, 10, 30, 50, 30, w, kInk);
                DrawLine(v, 30, 10, 30, 50, w, kInk);
            }
            const int first = 30 - w / 2;
            for (const int along : {20, 30, 40}) {
                const Band across = Across(h, along, false);
                EXPECT_EQ(across.count, w) << "horizontal, column " << along;
                EXPECT_EQ(across.first, first) << "horizontal, column " << along;
                const Band across2 = Across(v, along, true);
                EXPECT_EQ(across2.count, w) << "vertical, row " << along;
                EXPECT_EQ(across2.first, first) << "vertical, row " << along;
            }
            const Band along = Across(h, 30, true);
            if (w == 1) {
                EXPECT_EQ(along.first, reversed ? 11 : 10);
                EXPECT_EQ(along.count, 40);
            } else {
                EXPECT_EQ(along.first, 10 - w / 2);
                EXPECT_EQ(along.count, 40 + w);
            }
        }
    }
}

// Across a 45-degree line a row crosses the band slantwise: about w times the square root
// of two pixels, the same for both diagonals, and no gap along the line.
TEST(LineRaster, DiagonalBandsAreAsWideAsThePen) {
    for (int w = 1; w <= 6; ++w) {
        SCOPED_TRACE(w);
        Image down = Blank(64, 64), up = Blank(64, 64);
        DrawLine(down, 10, 10, 50, 50, w, kInk);
        DrawLine(up, 10, 50, 50, 10, w, kInk);
        const double want = w == 1 ? 1.0 : w * std::sqrt(2.0);
        for (int y = 20; y <= 40; ++y) {
            const Band a = Across(down, y, true), b = Across(up, y, true);
            EXPECT_LE(std::abs(a.count - want), 1.0) << "row " << y << ": " << a.count;
            EXPECT_EQ(a.count, b.count) << "row " << y;
            // One run, around the line's own pixel.
            for (int x = a.first; x < a.first + a.count; ++x) EXPECT_TRUE(Inked(down, x, y)) << x << "," << y;
            EXPECT_LE(a.first, y);
            EXPECT_GE(a.first + a.count - 1, y);
        }
    }
}

TEST(LineRaster, OnePixelPenKeepsTheLineToPixels) {
    Image img = Blank(16, 16);
    DrawLine(img, 1, 2, 9, 5, 1, kInk);
    const std::vector<std::pair<int, int>> want = {{1, 2}, {2, 2}, {3, 3}, {4, 3}, {5, 4}, {6, 4}, {7, 4}, {8, 5}};
    int inked = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) inked += Inked(img, x, y) ? 1 : 0;
    EXPECT_EQ(inked, static_cast<int>(want.size()));
    for (const auto& [x, y] : want) EXPECT_TRUE(Inked(img, x, y)) << x << "," << y;
}

}  // namespace
}  // namespace ocu
