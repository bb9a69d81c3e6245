#include "rotate/RotateBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <random>
#include <vector>

#include "rotate/RotateReference.h"
#include "rotate/RotateTestFrames.h"

namespace ocu {
namespace {

using rotate_test::GetPixel;
using rotate_test::kAllFormats;
using rotate_test::RandomFrame;

constexpr PaletteEntry kBlack{0, 0, 0, 0};
constexpr PaletteEntry kWhite{255, 255, 255, 0};

// A 32-bit frame whose every pixel names its own position.
Image NumberedFrame(int w, int h) {
    Image img(w, h, PixelFormat::Bits32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixel32(x, y, static_cast<std::uint32_t>(y * 1000 + x));
    return img;
}

// ---- geometry -------------------------------------------------------------

TEST(RotateGeometry, AngleReductionCoversTheWholeIntRange) {
    const struct {
        int angle, reduced;
    } cases[] = {{0, 0},       {3599, 3599},  {3600, 0},     {7300, 100},    {-1, 3599},
                 {-900, 2700}, {-3600, 3600}, {-7200, 3600}, {INT_MAX, 847}, {INT_MIN, 2752}};
    for (const auto& c : cases) EXPECT_EQ(ReduceRotateAngle(c.angle), c.reduced) << c.angle;
}

TEST(RotateGeometry, QuarterTurnOfThreeByThreeStartsAtTheTopRightCorner) {
    const RotateGeometry g = ComputeRotateGeometry(3, 3, 900, false, false);
    EXPECT_EQ(g.sinQ, 1024);
    EXPECT_EQ(g.cosQ, 0);
    EXPECT_EQ(g.x0, 2048);
    EXPECT_EQ(g.y0, 0);
}

TEST(RotateGeometry, FitBoundsHoldsTheWholeTurnedPicture) {
    const RotateGeometry g = ComputeRotateGeometry(100, 50, 450, false, true);
    EXPECT_EQ(g.sinQ, 724);
    EXPECT_EQ(g.cosQ, 724);
    EXPECT_EQ(g.width, 106);
    EXPECT_EQ(g.height, 106);
    const Image out = RotateBitmap(Image(100, 50, PixelFormat::Bits8), 450, false, true);
    EXPECT_EQ(out.Width(), 106);
    EXPECT_EQ(out.Height(), 106);
    // A quarter turn swaps the sides exactly.
    const RotateGeometry q = ComputeRotateGeometry(100, 50, 900, true, true);
    EXPECT_EQ(q.width, 50);
    EXPECT_EQ(q.height, 100);
}

// ---- orientation and exact turns --------------------------------------------

TEST(RotateBitmap, QuarterTurnIsCounterClockwise) {
    const Image src = NumberedFrame(3, 3);
    const Image out = RotateBitmap(src, 900, false, false);
    EXPECT_EQ(out.Pixel32(0, 0), src.Pixel32(2, 0));  // top edge moves to the left edge
    EXPECT_EQ(out.Pixel32(2, 0), src.Pixel32(2, 2));
    EXPECT_EQ(out.Pixel32(0, 2), src.Pixel32(0, 0));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(out.Pixel32(c, r), src.Pixel32(2 - r, c)) << c << "," << r;
}

// Quarter turns are lossless where the turned frame fits: squares of either
// parity, and any size with fitBounds. (A non-square frame with fitBounds off
// loses its ends, and when width + height is odd its centre falls between
// pixels; for those only the half turn is exact, checked with the mirrors below.)
TEST(RotateBitmap, FourQuarterTurnsGiveTheOriginalBack) {
    const struct {
        int w, h;
        bool fit;
    } shapes[] = {{1, 1, false}, {2, 2, false}, {3, 3, false}, {8, 8, false}, {9, 9, false},
                  {1, 6, true},  {2, 3, true},  {5, 8, true},  {9, 4, true},  {16, 7, true}};
    std::mt19937 rng(7);
    for (const PixelFormat f : kAllFormats) {
        for (const auto& s : shapes) {
            const rotate_test::Frame src = RandomFrame(rng, s.w, s.h, f);
            for (const int quarter : {900, -900, 2700}) {
                Image img = src.image.Clone();
                for (int i = 0; i < 4; ++i) img = RotateBitmap(img, quarter, false, s.fit);
                if (!IsIndexed(f)) img.Palette() = src.image.Palette();
                EXPECT_TRUE(img == src.image)
                    << rotate_test::FormatName(f) << " " << s.w << "x" << s.h << " by " << quarter;
            }
            // A mirrored quarter turn is a reflection: twice is the identity.
            Image twice = RotateBitmap(RotateBitmap(src.image, 900, true, s.fit), 900, true, s.fit);
            if (!IsIndexed(f)) twice.Palette() = src.image.Palette();
            EXPECT_TRUE(twice == src.image) << rotate_test::FormatName(f) << " " << s.w << "x" << s.h << " mirrored";
        }
    }
}

// The turns that need no arithmetic at all, checked pixel by pixel against
// the obvious index mapping.
TEST(RotateBitmap, AxisTurnsAreExactMirrorsAndCopies) {
    using Map = std::function<std::pair<int, int>(int c, int r, int w, int h)>;
    const struct {
        const char* name;
        int angle;
        bool mirror;
        Map from;
    } cases[] = {
        {"copy", 0, false,
         [](int c, int r, int, int) {
             return std::pair{c, r};
         }},
        {"copy at 3600", 3600, false,
         [](int c, int r, int, int) {
             return std::pair{c, r};
         }},
        {"left-right", 0, true,
         [](int c, int r, int w, int) {
             return std::pair{w - 1 - c, r};
         }},
        {"top-bottom", 1800, true,
         [](int c, int r, int, int h) {
             return std::pair{c, h - 1 - r};
         }},
        {"top-bottom at -1800", -1800, true,
         [](int c, int r, int, int h) {
             return std::pair{c, h - 1 - r};
         }},
        {"half turn", 1800, false,
         [](int c, int r, int w, int h) {
             return std::pair{w - 1 - c, h - 1 - r};
         }},
    };
    std::mt19937 rng(3);
    for (const PixelFormat f : kAllFormats) {
        for (const auto& [w, h] : {std::pair{1, 1}, {1, 9}, {9, 1}, {5, 3}, {8, 4}, {17, 6}, {33, 2}}) {
            const rotate_test::Frame src = RandomFrame(rng, w, h, f);
            for (const auto& k : cases) {
                const Image out = RotateBitmap(src.image, k.angle, k.mirror, false);
                ASSERT_EQ(out.Width(), w);
                ASSERT_EQ(out.Height(), h);
                int wrong = 0;
                for (int r = 0; r < h; ++r)
                    for (int c = 0; c < w; ++c) {
                        const auto [sx, sy] = k.from(c, r, w, h);
                        wrong += GetPixel(out, c, r) != GetPixel(src.image, sx, sy);
                    }
                EXPECT_EQ(wrong, 0) << k.name << " " << rotate_test::FormatName(f) << " " << w << "x" << h;
            }
        }
    }
}

TEST(RotateBitmap, AnglesThatNameTheSameTurnGiveTheSameResult) {
    const std::vector<std::vector<int>> aliases = {
        {0, 3600, -3600, 7200}, {-900, 2700}, {450, 4050, -3150}, {1, 3601, -3599}, {INT_MIN, 2752}};
    std::mt19937 rng(5);
    for (const PixelFormat f : kAllFormats) {
        const rotate_test::Frame src = RandomFrame(rng, 11, 8, f);
        for (const auto& group : aliases)
            for (const bool mirror : {false, true})
                for (const bool fit : {false, true}) {
                    const Image first = RotateBitmap(src.image, group.front(), mirror, fit);
                    for (const int angle : group)
                        EXPECT_TRUE(rotate_test::SameImage(RotateBitmap(src.image, angle, mirror, fit), first))
                            << rotate_test::FormatName(f) << " " << angle << " vs " << group.front();
                }
    }
}

// ---- background -------------------------------------------------------------

TEST(RotateBitmap, CornersTurnedInAt45DegreesGetTheBackground) {
    const struct {
        PixelFormat format;
        std::vector<PaletteEntry> palette;
        std::uint32_t expected;
    } cases[] = {
        {PixelFormat::Bits32, {}, 0x00FFFFFF},
        {PixelFormat::Bits24, {}, 0xFFFFFF},
        {PixelFormat::Bits16, {}, 0xFFFF},
        {PixelFormat::Bits15, {}, 0xFFFF},
        {PixelFormat::Bits8, {kBlack, kWhite, kWhite}, 2},                    // later equal entry wins
        {PixelFormat::Bits8, {{0, 0, 200, 0}, {255, 255, 0, 0}, kBlack}, 0},  // blue weighs most
        {PixelFormat::Bits8, {}, 0},
        {PixelFormat::Bits4, {kBlack, kWhite, kWhite}, 2},
        {PixelFormat::Bits1, {kWhite, kBlack}, 1},  // bit 1 whatever colour it is
    };
    for (const auto& k : cases) {
        for (const auto& [w, h] : {std::pair{20, 12}, {21, 13}}) {
            Image src(w, h, k.format);
            src.Palette() = k.palette;
            const Image out = RotateBitmap(src, 450, false, false);
            for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
                EXPECT_EQ(GetPixel(out, x, y), k.expected)
                    << rotate_test::FormatName(k.format) << " " << w << "x" << h << " corner " << x << "," << y;
            EXPECT_EQ(GetPixel(out, w / 2, h / 2), 0u);  // the picture itself is still there
        }
    }
}

// A palette longer than a 4-bit index can address must not make the
// background an entry whose index would be cut to another colour.
TEST(RotateBitmap, BackgroundIgnoresPaletteEntriesTheFormatCannotName) {
    Image src(9, 9, PixelFormat::Bits4);
    src.Palette().assign(17, kBlack);
    src.Palette()[3] = {128, 128, 128, 0};
    src.Palette()[16] = kWhite;
    const Image out = RotateBitmap(src, 450, false, false);
    EXPECT_EQ(GetPixel(out, 0, 0), 3u);
    EXPECT_EQ(out.Palette(), src.Palette());
}

// ---- refusals ----------------------------------------------------------------

TEST(RotateBitmap, RejectsEmptyAndUnknownFramesWithTheirMessages) {
    const struct {
        int w, h;
        PixelFormat format;
        const char* message;
    } cases[] = {
        {0, 5, PixelFormat::Bits32, "Bitmap Size Error"},
        {5, 0, PixelFormat::Bits8, "Bitmap Size Error"},
        {0, 0, PixelFormat::Custom, "Bitmap Size Error"},  // size is checked first
        {3, 3, PixelFormat::Custom, "Illegal Bitmap"},
    };
    for (const auto& k : cases) {
        const Image src(k.w, k.h, k.format);
        for (const int angle : {0, 450, 1800}) {
            try {
                (void)RotateBitmap(src, angle, true, true);
                ADD_FAILURE() << k.message << " not raised";
            } catch (const ERotateError& e) {
                EXPECT_STREQ(e.what(), k.message);
            }
        }
    }
}

}  // namespace
}  // namespace ocu
