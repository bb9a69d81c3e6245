// The fast rotation against the per-pixel reference: every format, odd and
// even sizes down to 1 x 1, angles of all signs and sizes, mirror and
// fitBounds both ways, borrowed frames with wide strides and odd addresses.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <sstream>

#include "rotate/RotateBitmap.h"
#include "rotate/RotateReference.h"
#include "rotate/RotateTestFrames.h"

namespace ocu {
namespace {

using rotate_test::FrameShape;

std::string Describe(const FrameShape& s, int angle, bool mirror, bool fit) {
    std::ostringstream o;
    o << rotate_test::FormatName(s.format) << " " << s.width << "x" << s.height << " angle " << angle
      << (mirror ? " mirror" : "") << (fit ? " fit" : "") << (s.extraStride ? " wide stride" : "")
      << (s.oddAddress ? " odd address" : "");
    return o.str();
}

// Returns true when production and reference agree byte for byte.
bool Agrees(std::mt19937& rng, const FrameShape& shape, int angle, bool mirror, bool fit) {
    const rotate_test::Frame src = rotate_test::RandomFrame(rng, shape);
    const Image fast = RotateBitmap(src.image, angle, mirror, fit);
    const Image slow = rotate_test::ReferenceRotate(src.image, angle, mirror, fit);
    if (rotate_test::SameImage(fast, slow)) return true;
    ADD_FAILURE() << Describe(shape, angle, mirror, fit);
    return false;
}

TEST(RotateMatchesReference, AwkwardSizesAndAngles) {
    const int angles[] = {0,     1,    5,    100,  449,  450,   451,    899,     900,    901,   1799,
                          1800,  1801, 2700, 3599, 3600, 3601,  -1,     -450,    -900,   -1800, -3600,
                          -3601, 7199, 137,  -137, 3333, 12345, -98765, INT_MAX, INT_MIN};
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 2}, {2, 1}, {1, 7},  {7, 1},  {2, 2},
                                         {3, 5}, {8, 8}, {9, 4}, {16, 9}, {17, 33}};
    std::mt19937 rng(1);
    int failures = 0;
    for (const PixelFormat f : rotate_test::kAllFormats)
        for (const auto& [w, h] : sizes)
            for (const int angle : angles)
                for (const bool mirror : {false, true})
                    for (const bool fit : {false, true}) {
                        failures += !Agrees(rng, FrameShape{w, h, f}, angle, mirror, fit);
                        ASSERT_LT(failures, 10) << "stopping after 10 mismatches";
                    }
}

TEST(RotateMatchesReference, RandomFramesAndAngles) {
    std::mt19937 rng(20240607);
    int failures = 0;
    for (int i = 0; i < 3000; ++i) {
        FrameShape s;
        s.format = rotate_test::kAllFormats[rng() % std::size(rotate_test::kAllFormats)];
        s.width = 1 + static_cast<int>(rng() % 48);
        s.height = 1 + static_cast<int>(rng() % 48);
        // Strides that are not whole pixels send 32-bit frames down the plain
        // loop instead of the gathering one, so both are held to the reference.
        if (rng() % 4 == 0) s.extraStride = 1 + rng() % 12;
        s.oddAddress = rng() % 8 == 0;
        const int angle =
            rng() % 5 == 0 ? static_cast<int>(rng() % 9) * 450 - 3600 : static_cast<int>(rng() % 20001) - 10000;
        failures += !Agrees(rng, s, angle, rng() % 2 == 0, rng() % 2 == 0);
        ASSERT_LT(failures, 10) << "stopping after 10 mismatches";
    }
}

// Long rows and many rows: spans that start and end deep inside a row.
TEST(RotateMatchesReference, LargerFrames) {
    std::mt19937 rng(99);
    for (const PixelFormat f : rotate_test::kAllFormats)
        for (const int angle : {13, 450, 1234, 2999, -1801})
            for (const bool mirror : {false, true}) {
                Agrees(rng, FrameShape{203, 131, f}, angle, mirror, false);
                Agrees(rng, FrameShape{96, 160, f, 8, true}, angle, mirror, true);
                Agrees(rng, FrameShape{150, 77, f, 2}, angle, mirror, true);
            }
}

// The processor picks one way to fetch 32-bit pixels; the others run on other
// processors, so each is forced here and held to the reference.
TEST(RotateMatchesReference, EveryWayOfFetchingThirtyTwoBitPixels) {
    struct Restore {
        ~Restore() { ForceRotateFetch(RotateFetch::Chosen); }
    } restore;
    std::mt19937 rng(32);
    for (const RotateFetch fetch : {RotateFetch::Scalar, RotateFetch::Loads, RotateFetch::Gather}) {
        ForceRotateFetch(fetch);
        int failures = 0;
        for (int i = 0; i < 300 && failures < 10; ++i) {
            FrameShape s{1 + static_cast<int>(rng() % 90), 1 + static_cast<int>(rng() % 90), PixelFormat::Bits32};
            s.oddAddress = rng() % 4 == 0;
            failures += !Agrees(rng, s, static_cast<int>(rng() % 7201) - 3600, rng() % 2 == 0, rng() % 2 == 0);
        }
        for (const int angle : {13, 3590, 887})  // long tiles, and short ones across a wide frame
            failures += !Agrees(rng, FrameShape{300, 41, PixelFormat::Bits32}, angle, false, false);
        EXPECT_EQ(failures, 0) << "fetch " << static_cast<int>(fetch);
    }
}

}  // namespace
}  // namespace ocu
