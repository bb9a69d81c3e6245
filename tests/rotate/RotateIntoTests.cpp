// The turn into a caller's buffer (the capture tick's way: no allocation per frame) and
// the turn of an enlargement that is never written out.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

#include "image/PixelOps.h"
#include "rotate/RotateBitmap.h"
#include "rotate/RotateTestFrames.h"

namespace ocu {
namespace {

using rotate_test::FormatName;
using rotate_test::kAllFormats;
using rotate_test::RandomFrame;
using rotate_test::SameImage;

TEST(RotateBitmapInto, GivesTheSameBytesAsANewResultAndKeepsItsMemory) {
    std::mt19937 rng(16);
    for (const PixelFormat f : kAllFormats) {
        const auto src = RandomFrame(rng, 37, 23, f);
        Image into;
        for (const int angle : {0, 450, 900, 1370, 1800, 2700, 3599}) {
            for (const bool mirror : {false, true}) {
                RotateBitmapInto(src.image, into, angle, mirror);
                const std::uint8_t* memory = into.Bits();
                RotateBitmapInto(src.image, into, angle, mirror);  // the same size again: same memory
                EXPECT_EQ(into.Bits(), memory);
                EXPECT_TRUE(SameImage(into, RotateBitmap(src.image, angle, mirror, false)))
                    << FormatName(f) << " angle " << angle << " mirror " << mirror;
            }
        }
        // A grown result is remade at the new size.
        RotateBitmapInto(src.image, into, 450, false, true);
        EXPECT_TRUE(SameImage(into, RotateBitmap(src.image, 450, false, true))) << FormatName(f);
    }
}

TEST(RotateBitmapInto, ABorrowedResultMustFitAndItsRowsBeyondItStayUntouched) {
    std::mt19937 rng(3);
    const auto src = RandomFrame(rng, 40, 30, PixelFormat::Bits32);
    // A view of the left 40 columns of a wider buffer, as the tick's frame section is.
    std::vector<std::uint8_t> memory(StrideFor(50, PixelFormat::Bits32) * 30, 0xAB);
    Image view = Image::View(memory.data(), 40, 30, PixelFormat::Bits32, StrideFor(50, PixelFormat::Bits32));
    RotateBitmapInto(src.image, view, 450, false);
    EXPECT_EQ(view, RotateBitmap(src.image, 450, false, false));
    for (int y = 0; y < 30; ++y)
        for (int x = 40; x < 50; ++x) EXPECT_EQ(view.Row(y)[x * 4], 0xAB) << x << "," << y;

    Image small = Image::View(memory.data(), 20, 30, PixelFormat::Bits32, StrideFor(50, PixelFormat::Bits32));
    EXPECT_THROW(RotateBitmapInto(src.image, small, 450, false), std::invalid_argument);
    Image self =
        Image::View(const_cast<std::uint8_t*>(src.image.Bits()), 40, 30, PixelFormat::Bits32, src.image.Stride());
    EXPECT_THROW(RotateBitmapInto(src.image, self, 450, false), std::invalid_argument);
    Image empty(0, 0, PixelFormat::Bits32);
    EXPECT_THROW(RotateBitmapInto(empty, view, 450, false), ERotateError);
}

// The reference: the enlargement made, the rectangle inverted, then turned.
Image EnlargedThenTurned(const Image& src, int srcW, int srcH, int w, int h, int angle, IntRect inv) {
    Image big(w, h, PixelFormat::Bits32);
    StretchCopy(big, w, h, src, srcW, srcH);
    InvertRect(big, inv.Left, inv.Top, inv.Width(), inv.Height());
    return RotateBitmap(big, angle, false, false);
}

TEST(RotateEnlargedInto, MatchesEnlargingInvertingAndTurningAtEveryKindOfAngle) {
    std::mt19937 rng(7);
    const struct {
        int srcW, srcH, w, h;
    } sizes[] = {{62, 55, 248, 220}, {25, 25, 100, 100}, {33, 20, 100, 70}, {7, 9, 50, 31}, {40, 40, 40, 40}};
    for (const auto& s : sizes) {
        const auto src = RandomFrame(rng, s.srcW + 3, s.srcH + 2, PixelFormat::Bits32);
        const IntRect marks[] = {{s.w / 2, s.h / 2, s.w / 2 + 4, s.h / 2 + 4},
                                 {-3, -3, 2, 2},
                                 {s.w - 2, s.h - 1, s.w + 5, s.h + 5},
                                 {},
                                 {s.w + 10, 0, s.w + 14, 4}};
        for (const int angle : {0, 1, 137, 450, 900, 1234, 1800, 2250, 2700, 3599}) {
            for (const IntRect& mark : marks) {
                Image out(s.w, s.h, PixelFormat::Bits32);
                RotateEnlargedInto(src.image, s.srcW, s.srcH, out, angle, mark);
                EXPECT_EQ(out, EnlargedThenTurned(src.image, s.srcW, s.srcH, s.w, s.h, angle, mark))
                    << s.w << "x" << s.h << " from " << s.srcW << "x" << s.srcH << " angle " << angle << " mark "
                    << mark.Left << "," << mark.Top;
            }
        }
    }
}

TEST(RotateEnlargedInto, RefusesOtherFormatsAndSourcesTooSmall) {
    Image src(10, 10, PixelFormat::Bits24), out(40, 40, PixelFormat::Bits24);
    EXPECT_THROW(RotateEnlargedInto(src, 10, 10, out, 450, {}), std::invalid_argument);
    Image src32(10, 10, PixelFormat::Bits32), out32(40, 40, PixelFormat::Bits32);
    EXPECT_THROW(RotateEnlargedInto(src32, 11, 10, out32, 450, {}), std::invalid_argument);
    EXPECT_THROW(RotateEnlargedInto(src32, 10, 10, src32, 450, {}), std::invalid_argument);
}

TEST(ImageCopy, ACopyOfANarrowViewTakesOnlyItsOwnPixels) {
    std::vector<std::uint8_t> memory(StrideFor(64, PixelFormat::Bits32) * 8);
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<std::uint8_t>(i * 7);
    const Image view = Image::View(memory.data(), 5, 8, PixelFormat::Bits32, StrideFor(64, PixelFormat::Bits32));
    const Image copy = view.Clone();
    EXPECT_EQ(copy.Stride(), StrideFor(5, PixelFormat::Bits32));
    EXPECT_EQ(copy, view);
    Image kept(5, 8, PixelFormat::Bits32);
    const std::uint8_t* before = kept.Bits();
    kept.AssignCopy(view);
    EXPECT_EQ(kept.Bits(), before);
    EXPECT_EQ(kept, view);
}

}  // namespace
}  // namespace ocu
