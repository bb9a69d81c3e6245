// RotateBitmap against the one-pixel-at-a-time reference, byte for byte
// (padding, palette and stride included), on small frames of every format,
// owning or borrowed with a wide stride or an odd address, any palette
// length, any angle, mirror and fitBounds. Both must also refuse the same
// frames with the same message.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "image/Image.h"
#include "rotate/RotateBitmap.h"
#include "rotate/RotateReference.h"
#include "support/ImageHelpers.h"

namespace {

using ocu::Image;
using ocu::PixelFormat;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz_rotate: %s [%s]\n", what, detail.c_str());
    std::abort();
}

constexpr PixelFormat kFormats[] = {PixelFormat::Bits1,  PixelFormat::Bits4,  PixelFormat::Bits8,  PixelFormat::Bits15,
                                    PixelFormat::Bits16, PixelFormat::Bits24, PixelFormat::Bits32, PixelFormat::Custom};

using ocu::support::SameImage;

int Angle(FuzzedDataProvider& fdp) {
    switch (fdp.ConsumeIntegralInRange(0, 3)) {
    case 0: return fdp.ConsumeIntegralInRange(-7200, 7200);
    case 1: return fdp.ConsumeIntegralInRange(-16, 16) * 450;  // the right angles and their halves
    case 2: return fdp.ConsumeIntegralInRange(-16, 16) * 900 + fdp.ConsumeIntegralInRange(-2, 2);
    default: return fdp.ConsumeIntegral<int>();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fdp(data, size);
    const PixelFormat format = kFormats[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(kFormats) - 1)];
    // fitBounds grows a frame by at most 1.42 in each direction, so 40 x 40 stays small.
    const int width = fdp.ConsumeIntegralInRange(0, 40);
    const int height = fdp.ConsumeIntegralInRange(0, 40);
    const int angle = Angle(fdp);
    const bool mirror = fdp.ConsumeBool();
    const bool fitBounds = fdp.ConsumeBool();
    const std::size_t extraStride = 4 * fdp.ConsumeIntegralInRange<std::size_t>(0, 2);
    const bool oddAddress = fdp.ConsumeBool();

    // Palettes of any length the format can index, sometimes longer, and for
    // direct formats sometimes one that the result must not take over.
    const std::size_t indexable = ocu::IsIndexed(format) ? std::size_t{1} << ocu::BitsPerPixel(format) : 4;
    const std::size_t entries = fdp.ConsumeIntegralInRange<std::size_t>(0, indexable + 3);
    std::vector<ocu::PaletteEntry> palette(entries);
    for (ocu::PaletteEntry& e : palette) {
        const auto v = fdp.ConsumeIntegral<std::uint32_t>();
        e = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
             static_cast<std::uint8_t>(v >> 24)};
    }

    std::vector<std::uint8_t> storage;
    Image source;
    if (extraStride == 0 && !oddAddress) {
        source = Image(width, height, format);
    } else {
        const std::size_t stride = ocu::StrideFor(width, format) + extraStride;
        storage.resize(stride * static_cast<std::size_t>(height) + 1);
        source = Image::View(storage.data() + (oddAddress ? 1 : 0), width, height, format, stride);
    }
    source.Palette() = std::move(palette);
    // The rest of the input is the pixels, padding included (a result that
    // picks up source padding must show it), repeated when it runs short.
    const std::vector<std::uint8_t> pixels = fdp.ConsumeRemainingBytes<std::uint8_t>();
    std::size_t next = 0;
    for (int y = 0; y < source.Height(); ++y)
        for (std::size_t i = 0; i < source.Stride(); ++i, ++next)
            source.Row(y)[i] = pixels.empty() ? static_cast<std::uint8_t>(next * 37) : pixels[next % pixels.size()];

    const std::string what = std::to_string(ocu::BitsPerPixel(format)) + "bpp " + std::to_string(width) + "x" +
                             std::to_string(height) + " angle " + std::to_string(angle) + (mirror ? " mirror" : "") +
                             (fitBounds ? " fit" : "") + " stride+" + std::to_string(extraStride) +
                             (oddAddress ? " odd" : "");
    std::string fastError, slowError;
    Image fast, slow;
    try {
        fast = ocu::RotateBitmap(source, angle, mirror, fitBounds);
    } catch (const ocu::ERotateError& e) {
        fastError = e.what();
    }
    try {
        slow = ocu::rotate_test::ReferenceRotate(source, angle, mirror, fitBounds);
    } catch (const ocu::ERotateError& e) {
        slowError = e.what();
    }
    if (fastError != slowError) Fail("refusals differ", what + ": '" + fastError + "' vs '" + slowError + "'");
    if (fastError.empty() && !SameImage(fast, slow)) Fail("result differs from the reference", what);
    return 0;
}
