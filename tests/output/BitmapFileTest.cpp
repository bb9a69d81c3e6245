#include <gtest/gtest.h>

#include <random>

#include "output/BitmapFile.h"

namespace ocu {
namespace {

TEST(BitmapFileName, ReplacesOrAppendsTheExtensionOfTheLastElementOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\pics\\view.jpg", "C:\\pics\\view.bmp"}, {"C:\\pics\\a.b.png", "C:\\pics\\a.b.bmp"},
        {"C:\\pics\\view", "C:\\pics\\view.bmp"},     {"C:\\my.pics\\view", "C:\\my.pics\\view.bmp"},
        {"C:\\pics\\view.bmp", "C:\\pics\\view.bmp"}, {"view.BMP", "view.bmp"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(BitmapFileName(in), out) << in;
}

Image RandomImage(PixelFormat f, int w, int h, std::mt19937& rng) {
    Image img(w, h, f);
    for (int y = 0; y < h; ++y)
        for (std::size_t i = 0; i < img.Stride(); ++i) img.Row(y)[i] = static_cast<std::uint8_t>(rng());
    // Padding bits beyond the width are not part of the picture.
    const std::size_t used = (static_cast<std::size_t>(w) * BitsPerPixel(f) + 7) / 8;
    for (int y = 0; y < h; ++y)
        for (std::size_t i = used; i < img.Stride(); ++i) img.Row(y)[i] = 0;
    if (IsIndexed(f)) {
        img.Palette().resize(std::size_t{1} << BitsPerPixel(f));
        for (auto& e : img.Palette())
            e = {static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                 0};
    }
    return img;
}

TEST(BitmapFile, EveryDepthRoundTripsExactly) {
    std::mt19937 rng(7);
    for (PixelFormat f : {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Bits8, PixelFormat::Bits15,
                          PixelFormat::Bits16, PixelFormat::Bits24, PixelFormat::Bits32}) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{17, 5}, std::pair{300, 223}}) {
            const Image img = RandomImage(f, w, h, rng);
            const auto bytes = EncodeBmp(img);
            const Image back = DecodeBmp(bytes);
            EXPECT_TRUE(back == img) << BitsPerPixel(f) << " " << w << "x" << h;
        }
    }
}

TEST(BitmapFile, HeaderFieldsOfA24BitFile) {
    Image img(3, 2, PixelFormat::Bits24);
    img.Row(0)[0] = 0x11;  // top-left blue byte
    const auto b = EncodeBmp(img);
    ASSERT_EQ(b.size(), 14u + 40u + 12u * 2u);  // rows of 9 bytes padded to 12
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[10], 54);         // pixels right after the headers
    EXPECT_EQ(b[28], 24);         // bits per pixel
    EXPECT_EQ(b[30], 0);          // BI_RGB
    EXPECT_EQ(b[54 + 12], 0x11);  // the top row is stored last
}

TEST(BitmapFile, TopDownInfoCarriesMasksOrTheColourTable) {
    auto at32 = [](const std::vector<std::uint8_t>& b, std::size_t i) {
        std::uint32_t v = 0;
        for (std::size_t k = 4; k-- > 0;) v = v << 8 | b[i + k];
        return v;
    };
    const auto masks = BitmapInfo(3, -2, PixelFormat::Bits16, {});
    ASSERT_EQ(masks.size(), 40u + 12u);
    EXPECT_EQ(static_cast<std::int32_t>(at32(masks, 8)), -2);
    EXPECT_EQ(at32(masks, 20), 16u) << "rows of 8 bytes, counted without the sign";
    EXPECT_EQ(at32(masks, 40), 0xF800u);
    EXPECT_EQ(at32(masks, 48), 0x001Fu);
    const PaletteEntry red{255, 0, 0, 0};
    const auto table = BitmapInfo(1, -1, PixelFormat::Bits8, {&red, 1});
    ASSERT_EQ(table.size(), 40u + 1024u);
    EXPECT_EQ(at32(table, 40), 0x00FF0000u) << "blue, green, red, reserved";
    EXPECT_EQ(at32(table, 44), 0u) << "missing entries black";
}

TEST(BitmapFile, GarbageDecodesToNothing) {
    std::mt19937 rng(3);
    for (int i = 0; i < 200; ++i) {
        std::vector<std::uint8_t> bytes(rng() % 120);
        for (auto& v : bytes) v = static_cast<std::uint8_t>(rng());
        if (bytes.size() > 2) bytes[0] = 'B', bytes[1] = 'M';
        (void)DecodeBmp(bytes);  // must not crash or read past the end (sanitizers watch)
    }
    EXPECT_TRUE(DecodeBmp({}).Empty());
}

}  // namespace
}  // namespace ocu
