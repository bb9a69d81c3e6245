// Inputs the bitmap fuzzer found, kept as plain tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "output/BitmapFile.h"

// Any allocation past 1 GiB fails the test run instead of paging the machine
// to death; the largest picture a test here may decode is a few kilobytes.
extern "C" const char* __asan_default_options() { return "max_allocation_size_mb=1024"; }

namespace ocu {
namespace {

std::vector<std::uint8_t> HeaderOnly(std::int32_t width, std::int32_t height, std::uint16_t bpp) {
    std::vector<std::uint8_t> b(54, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, 54, 4);
    put(10, 54, 4);  // pixels would start right after the header
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, bpp, 2);
    return b;
}

// A 54-byte file claiming 65536 x 65536 at 32 bits used to allocate and zero
// 16 GiB before noticing that it holds no pixels.
TEST(DecodeBmpRegression, HeaderWithoutPixelsAllocatesNothingLarge) {
    EXPECT_TRUE(DecodeBmp(HeaderOnly(65536, 65536, 32)).Empty());
    EXPECT_TRUE(DecodeBmp(HeaderOnly(65536, -65536, 24)).Empty());
    EXPECT_TRUE(DecodeBmp(HeaderOnly(65536, 65536, 1)).Empty());
}

// One row short of what the header asks for is still refused.
TEST(DecodeBmpRegression, TruncatedPixelsAreRefused) {
    std::vector<std::uint8_t> b = HeaderOnly(3, 2, 24);
    b.resize(54 + 12);  // two rows of 12 bytes are needed
    EXPECT_TRUE(DecodeBmp(b).Empty());
    b.resize(54 + 24);
    EXPECT_FALSE(DecodeBmp(b).Empty());
}

}  // namespace
}  // namespace ocu
