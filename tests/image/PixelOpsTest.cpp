#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <set>
#include <stdexcept>
#include <tuple>
#include <utility>
#include <vector>

#include "image/PixelOps.h"
#include "support/ImageHelpers.h"

namespace ocu {
namespace {

const PixelFormat kByteFormats[] = {PixelFormat::Bits8, PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24,
                                    PixelFormat::Bits32};

using support::Px;
using support::RandomImage;
using support::SameBytes;

// The straightforward per-pixel versions the fast code must match.

void SetPx(Image& img, int x, int y, std::uint32_t v) {
    std::memcpy(img.Row(y) + static_cast<std::size_t>(x) * PixelBytes(img.Format()), &v, PixelBytes(img.Format()));
}

int Cell(int d, int dstLen, int srcLen) { return static_cast<int>(static_cast<long long>(d) * srcLen / dstLen); }

void RefStretchCopy(Image& dst, int dw, int dh, const Image& src, int sw, int sh) {
    for (int y = 0; y < dh && y < dst.Height(); ++y)
        for (int x = 0; x < dw && x < dst.Width(); ++x) SetPx(dst, x, y, Px(src, Cell(x, dw, sw), Cell(y, dh, sh)));
}

void RefStretchAnd(Image& dst, int dw, int dh, const Image& src, int sw, int sh) {
    for (int y = 0; y < dh && y < dst.Height(); ++y) {
        const int y0 = Cell(y, dh, sh), y1 = std::max(Cell(y + 1, dh, sh), y0 + 1);
        for (int x = 0; x < dw && x < dst.Width(); ++x) {
            const int x0 = Cell(x, dw, sw), x1 = std::max(Cell(x + 1, dw, sw), x0 + 1);
            std::uint32_t v = Px(dst, x, y);
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) v &= Px(src, sx, sy);
            SetPx(dst, x, y, v);
        }
    }
}

TEST(PixelNearestSource, Table) {
    struct Case {
        int d, dstLen, srcLen, expected;
    };
    const Case cases[] = {
        {0, 300, 75, 0},
        {3, 300, 75, 0},
        {4, 300, 75, 1},
        {299, 300, 75, 74},
        {222, 223, 55, 54},
        {52, 223, 55, 12},
        {53, 223, 55, 13},
        {2, 5, 2, 0},
        {3, 5, 2, 1},
        {1, 2, 5, 2},
        {-1, 4, 1, -1},
        {5, 0, 10, 0},
        {5, -3, 10, 0},
        {1999999999, 2000000000, 2000000000, 1999999999},
        {2000000, 2100000, 2050000, 1952380},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NearestSource(c.d, c.dstLen, c.srcLen), c.expected) << c.d << " " << c.dstLen << " " << c.srcLen;
}

// An enlargement must show every source pixel, in order, over the whole view.
TEST(PixelNearestSource, EnlargementCoversEverySourceIndexInOrder) {
    std::mt19937 rng(7);
    for (int run = 0; run < 300; ++run) {
        const int src = 1 + static_cast<int>(rng() % 500);
        const int dst = src + static_cast<int>(rng() % 3000);
        int prev = 0;
        for (int d = 0; d < dst; ++d) {
            const int s = NearestSource(d, dst, src);
            ASSERT_TRUE(s == prev || s == prev + 1) << d;
            prev = s;
        }
        EXPECT_EQ(prev, src - 1);
    }
}

TEST(PixelStretch, HandWorkedRows) {
    Image src(5, 1, PixelFormat::Bits8);
    const std::uint8_t row[] = {0xF0, 0x3C, 0xFF, 0x0F, 0x81};
    std::memcpy(src.Row(0), row, 5);

    Image reduced(2, 1, PixelFormat::Bits8);
    std::memset(reduced.Row(0), 0xFF, 2);
    StretchAnd(reduced, 2, 1, src, 5, 1);
    EXPECT_EQ(reduced.Row(0)[0], 0x30);  // columns 0-1
    EXPECT_EQ(reduced.Row(0)[1], 0x01);  // columns 2-4

    Image enlarged(5, 1, PixelFormat::Bits8);
    StretchCopy(enlarged, 5, 1, src, 2, 1);
    const std::uint8_t expected[] = {0xF0, 0xF0, 0xF0, 0x3C, 0x3C};
    EXPECT_EQ(std::memcmp(enlarged.Row(0), expected, 5), 0);

    Image andEnlarged(5, 1, PixelFormat::Bits8);
    std::memset(andEnlarged.Row(0), 0xFF, 5);
    StretchAnd(andEnlarged, 5, 1, src, 2, 1);  // empty ranges take the nearest column
    EXPECT_EQ(std::memcmp(andEnlarged.Row(0), expected, 5), 0);
}

// Random sizes in every pixel width, enlarging and reducing, with the target
// rectangle both inside and overhanging the destination image.
TEST(PixelStretch, MatchesReferenceOnRandomSizes) {
    std::mt19937 rng(42);
    for (const PixelFormat f : kByteFormats) {
        for (int run = 0; run < 60; ++run) {
            const int sw = 1 + static_cast<int>(rng() % 40), sh = 1 + static_cast<int>(rng() % 40);
            const int dw = 1 + static_cast<int>(rng() % 130), dh = 1 + static_cast<int>(rng() % 130);
            const Image src = RandomImage(rng, sw + static_cast<int>(rng() % 3), sh + static_cast<int>(rng() % 3), f);
            const Image dst =
                RandomImage(rng, dw + static_cast<int>(rng() % 9) - 4, dh + static_cast<int>(rng() % 9) - 4, f);
            SCOPED_TRACE(testing::Message()
                         << "bpp " << BitsPerPixel(f) << " src " << sw << "x" << sh << " dst " << dw << "x" << dh);
            Image fast = dst.Clone(), ref = dst.Clone();
            StretchCopy(fast, dw, dh, src, sw, sh);
            RefStretchCopy(ref, dw, dh, src, sw, sh);
            EXPECT_TRUE(SameBytes(fast, ref)) << "copy";

            fast = dst.Clone();
            ref = dst.Clone();
            StretchAnd(fast, dw, dh, src, sw, sh);
            RefStretchAnd(ref, dw, dh, src, sw, sh);
            EXPECT_TRUE(SameBytes(fast, ref)) << "and";
        }
    }
}

TEST(PixelStretch, SameImageAsSourceAndDestination) {
    std::mt19937 rng(3);
    Image img = RandomImage(rng, 40, 30, PixelFormat::Bits24);
    Image expected = img.Clone();
    StretchCopy(expected, 40, 30, img, 13, 9);
    StretchCopy(img, 40, 30, img, 13, 9);
    EXPECT_TRUE(SameBytes(img, expected));
}

TEST(PixelStretch, RejectsMismatchesAndIgnoresEmptyRectangles) {
    Image a(10, 10, PixelFormat::Bits32), b(10, 10, PixelFormat::Bits24), quad(10, 10, PixelFormat::Bits4);
    Image c(10, 10, PixelFormat::Bits32);
    EXPECT_THROW(StretchCopy(a, 10, 10, b, 5, 5), std::invalid_argument);
    EXPECT_THROW(StretchAnd(quad, 10, 10, quad, 5, 5), std::invalid_argument);
    EXPECT_THROW(StretchCopy(a, 10, 10, c, 11, 5), std::out_of_range);
    c.SetPixel32(0, 0, 0x123456);
    const std::tuple<int, int, int, int> empties[] = {{0, 10, 5, 5}, {10, -1, 5, 5}, {10, 10, 0, 5}, {10, 10, 5, -2}};
    for (const auto& [dw, dh, sw, sh] : empties) {
        StretchCopy(a, dw, dh, c, sw, sh);
        StretchAnd(a, dw, dh, c, sw, sh);
    }
    EXPECT_EQ(a, Image(10, 10, PixelFormat::Bits32));
}

TEST(PixelAndInto, MatchesReferenceClippedToBothImages) {
    std::mt19937 rng(5);
    for (const PixelFormat f : kByteFormats) {
        const Image dst = RandomImage(rng, 23, 17, f);
        const Image src = RandomImage(rng, 19, 21, f);
        Image fast = dst.Clone(), ref = dst.Clone();
        AndInto(fast, src, 100, 100);
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 19; ++x) SetPx(ref, x, y, Px(ref, x, y) & Px(src, x, y));
        EXPECT_TRUE(SameBytes(fast, ref)) << BitsPerPixel(f);
    }
}

TEST(PixelInvert, InvertAllNotsEveryPixelBitAndKeepsPadding) {
    std::mt19937 rng(11);
    for (const PixelFormat f : kByteFormats) {
        const Image original = RandomImage(rng, 7, 5, f);
        Image img = original.Clone();
        InvertAll(img);
        for (int y = 0; y < 5; ++y) {
            const std::size_t pixelBytes = 7u * PixelBytes(f);
            for (std::size_t i = 0; i < img.Stride(); ++i) {
                const std::uint8_t want =
                    i < pixelBytes ? static_cast<std::uint8_t>(~original.Row(y)[i]) : original.Row(y)[i];
                ASSERT_EQ(img.Row(y)[i], want) << BitsPerPixel(f) << " row " << y << " byte " << i;
            }
        }
    }
}

TEST(PixelInvert, RectIsClippedToTheImage) {
    struct Case {
        int x, y, w, h;
    };
    const Case cases[] = {
        {2, 1, 3, 2},
        {-5, -5, 8, 7},
        {9, 6, 5, 5},
        {0, 0, INT_MAX, INT_MAX},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {INT_MAX - 1, 0, 10, 10},
        {3, 2, 0, 5},
        {3, 2, -4, 5},
        {3, 2, 4, -1},
        {-3, 0, 3, 8},
        {11, 0, 5, 5},
    };
    std::mt19937 rng(13);
    for (const PixelFormat f : kByteFormats) {
        for (const Case& c : cases) {
            const Image original = RandomImage(rng, 11, 8, f);
            Image img = original.Clone();
            InvertRect(img, c.x, c.y, c.w, c.h);
            Image ref = original.Clone();
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 11; ++x) {
                    const bool inside = c.w > 0 && c.h > 0 && x >= c.x && y >= c.y &&
                                        x < static_cast<long long>(c.x) + c.w && y < static_cast<long long>(c.y) + c.h;
                    if (inside) SetPx(ref, x, y, ~Px(ref, x, y));
                }
            EXPECT_TRUE(SameBytes(img, ref)) << BitsPerPixel(f) << " " << c.x << "," << c.y << " " << c.w << "x" << c.h;
        }
    }
}

TEST(PixelDottedLine, DotsFromTheStartPointClippedAndSelfInverse) {
    using Points = std::set<std::pair<int, int>>;
    struct Case {
        int x0, y0, x1, y1;
        Points inverted;
    };
    // Image 6 x 4.
    const std::vector<Case> cases = {
        {0, 1, 6, 1, {{0, 1}, {2, 1}, {4, 1}}},
        {1, 1, 5, 1, {{1, 1}, {3, 1}}},           // end excluded
        {5, 2, 0, 2, {{5, 2}, {3, 2}, {1, 2}}},   // drawn leftwards
        {-3, 0, 6, 0, {{1, 0}, {3, 0}, {5, 0}}},  // phase kept through the clip
        {8, 3, -2, 3, {{4, 3}, {2, 3}, {0, 3}}},
        {2, 0, 2, 4, {{2, 0}, {2, 2}}},
        {1, 3, 1, -5, {{1, 3}, {1, 1}}},
        {4, -1, 4, 100, {{4, 1}, {4, 3}}},
        {-2000000000, 2, 2000000000, 2, {{0, 2}, {2, 2}, {4, 2}}},
        {0, -1, 6, -1, {}},
        {0, 4, 6, 4, {}},
        {6, 0, 6, 4, {}},
        {2, 2, 2, 2, {}},
    };
    std::mt19937 rng(17);
    for (const PixelFormat f : kByteFormats) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << BitsPerPixel(f) << " (" << c.x0 << "," << c.y0 << ")-(" << c.x1 << "," << c.y1 << ")");
            const Image original = RandomImage(rng, 6, 4, f);
            Image img = original.Clone();
            DottedLineNotXor(img, c.x0, c.y0, c.x1, c.y1);
            Image ref = original.Clone();
            for (const auto& [x, y] : c.inverted) SetPx(ref, x, y, ~Px(ref, x, y));
            EXPECT_TRUE(SameBytes(img, ref));
            DottedLineNotXor(img, c.x0, c.y0, c.x1, c.y1);
            EXPECT_TRUE(SameBytes(img, original));
        }
    }
    Image img(6, 4, PixelFormat::Bits32);
    EXPECT_THROW(DottedLineNotXor(img, 0, 0, 3, 3), std::invalid_argument);
}

TEST(PixelColorToPixel, DirectFormats) {
    struct Case {
        PixelFormat f;
        std::uint32_t colorref, pixel;
    };
    const Case cases[] = {
        {PixelFormat::Bits32, 0x00FF0000, 0x000000FF}, {PixelFormat::Bits32, 0x00123456, 0x00563412},
        {PixelFormat::Bits32, 0xFF000000, 0x00000000}, {PixelFormat::Bits24, 0x000000FF, 0x00FF0000},
        {PixelFormat::Bits16, 0x00FFFFFF, 0xFFFF},     {PixelFormat::Bits16, 0x00FF0000, 0x001F},
        {PixelFormat::Bits16, 0x0000FF00, 0x07E0},     {PixelFormat::Bits16, 0x000000FF, 0xF800},
        {PixelFormat::Bits15, 0x00FFFFFF, 0x7FFF},     {PixelFormat::Bits15, 0x0000FF00, 0x03E0},
        {PixelFormat::Bits15, 0x00070707, 0x0000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ColorToPixel(c.f, c.colorref), c.pixel) << BitsPerPixel(c.f) << " " << std::hex << c.colorref;
    EXPECT_THROW(ColorToPixel(PixelFormat::Bits8, 0), std::invalid_argument);
}

}  // namespace
}  // namespace ocu
