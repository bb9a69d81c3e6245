#include "image/ScreenFormat.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

TEST(ScreenFormatTest, EveryDepthHasAFormatTheCoreKnows) {
    const struct {
        int depth;
        PixelFormat format;
    } table[] = {{32, PixelFormat::Bits32}, {24, PixelFormat::Bits24}, {16, PixelFormat::Bits16},
                 {15, PixelFormat::Bits15}, {8, PixelFormat::Bits8},   {4, PixelFormat::Bits32},
                 {1, PixelFormat::Bits32},  {0, PixelFormat::Bits32}};
    for (const auto& row : table) EXPECT_EQ(FormatForDepth(row.depth), row.format) << row.depth;
}

TEST(ScreenFormatTest, FallbackPalettesSpanBlackToWhite) {
    EXPECT_TRUE(FallbackPalette(PixelFormat::Bits32).empty());
    const auto p8 = FallbackPalette(PixelFormat::Bits8);
    ASSERT_EQ(p8.size(), 256u);
    EXPECT_EQ(p8[0], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(p8[0xE0], (PaletteEntry{255, 0, 0, 0}));  // 3-3-2: red, green, blue bits
    EXPECT_EQ(p8[0x1C], (PaletteEntry{0, 255, 0, 0}));
    EXPECT_EQ(p8[0x03], (PaletteEntry{0, 0, 255, 0}));
    const auto p4 = FallbackPalette(PixelFormat::Bits4);
    ASSERT_EQ(p4.size(), 16u);
    EXPECT_EQ(p4[1], (PaletteEntry{17, 17, 17, 0}));
    EXPECT_EQ(p4[15], (PaletteEntry{255, 255, 255, 0}));
}

}  // namespace
}  // namespace ocu
