#include "image/PixelColour.h"

#include <gtest/gtest.h>

#include "image/PixelOps.h"

namespace ocu {
namespace {

// Every direct format gives back the colour written through ColorToPixel, up to
// the bits the format keeps; white and black stay exact.
TEST(PixelRgbTest, DirectFormatsReadBackWhatWasStored) {
    struct Case {
        PixelFormat Format;
        std::uint32_t ColorRef;
        std::uint32_t Rgb;
    };
    const Case cases[] = {
        {PixelFormat::Bits32, 0x00332211, 0x112233}, {PixelFormat::Bits24, 0x00332211, 0x112233},
        {PixelFormat::Bits16, 0x00FFFFFF, 0xFFFFFF}, {PixelFormat::Bits16, 0x00000000, 0x000000},
        {PixelFormat::Bits16, 0x000000FF, 0xFF0000},  // red: 5 bits widened
        {PixelFormat::Bits16, 0x0000FF00, 0x00FF00},  // green: 6 bits
        {PixelFormat::Bits15, 0x00FF0000, 0x0000FF}, {PixelFormat::Bits15, 0x00FFFFFF, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        Image img(3, 2, c.Format);
        const std::uint32_t v = ColorToPixel(c.Format, c.ColorRef);
        const int bytes = PixelBytes(c.Format);
        for (int b = 0; b < bytes; ++b) img.Row(1)[2 * bytes + b] = static_cast<std::uint8_t>(v >> (8 * b));
        EXPECT_EQ(PixelRgb(img, 2, 1), c.Rgb) << BitsPerPixel(c.Format) << " bits, " << std::hex << c.ColorRef;
        EXPECT_EQ(PixelRgb(img, 0, 0), 0u);
    }
}

TEST(PixelRgbTest, IndexedFormatsLookUpThePaletteAndRefuseMissingEntries) {
    Image img8(4, 1, PixelFormat::Bits8);
    img8.Palette() = {{0, 0, 0, 0}, {0x12, 0x34, 0x56, 0}};
    img8.Row(0)[1] = 1;
    img8.Row(0)[2] = 7;  // beyond the palette
    EXPECT_EQ(PixelRgb(img8, 1, 0), 0x123456u);
    EXPECT_EQ(PixelRgb(img8, 2, 0), std::nullopt);

    Image img4(3, 1, PixelFormat::Bits4);
    img4.Palette().resize(16);
    img4.Palette()[5] = {0xAA, 0xBB, 0xCC, 0};
    img4.Row(0)[1] = 0x50;  // pixel 2 is the high nibble of byte 1
    EXPECT_EQ(PixelRgb(img4, 2, 0), 0xAABBCCu);

    Image img1(9, 1, PixelFormat::Bits1);
    img1.Palette() = {{0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0}};
    img1.Row(0)[1] = 0x80;  // pixel 8 is the top bit of byte 1
    EXPECT_EQ(PixelRgb(img1, 8, 0), 0xFFFFFFu);
    EXPECT_EQ(PixelRgb(img1, 7, 0), 0u);
}

TEST(PixelRgbTest, PointsOutsideTheImageHaveNoColour) {
    const Image img(2, 2, PixelFormat::Bits32);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}}) EXPECT_EQ(PixelRgb(img, x, y), std::nullopt);
    EXPECT_EQ(PixelRgb(Image(), 0, 0), std::nullopt);
}

}  // namespace
}  // namespace ocu
