// Bitmap files both ways. Every input is first read as a file: DecodeBmp must
// never crash, and whatever it accepts must survive EncodeBmp and DecodeBmp
// again. Then the same bytes describe an image (format, size, palette,
// pixels) that must come back from EncodeBmp and DecodeBmp unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/Image.h"
#include "output/BitmapFile.h"

namespace {

using ocu::Image;
using ocu::PixelFormat;

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz_bmp: %s [%s]\n", what, detail.c_str());
    std::abort();
}

void Check(bool ok, const char* what, const std::string& detail = {}) {
    if (!ok) Fail(what, detail);
}

std::string Describe(const Image& img) {
    return std::to_string(ocu::BitsPerPixel(img.Format())) + "bpp " + std::to_string(img.Width()) + "x" +
           std::to_string(img.Height()) + " palette " + std::to_string(img.Palette().size());
}

// What a file can carry of an image: the colour table of an indexed format has
// exactly as many entries as its indices can name (missing ones black, extra
// ones dropped), and no flags byte; a direct format has none.
Image AsStored(const Image& img) {
    Image out = img.Clone();
    if (ocu::IsIndexed(img.Format())) {
        out.Palette().resize(std::size_t{1} << ocu::BitsPerPixel(img.Format()));
        for (ocu::PaletteEntry& e : out.Palette()) e.flags = 0;
    } else {
        out.Palette().clear();
    }
    return out;
}

void CheckRoundTrip(const Image& img, const char* what) {
    const std::vector<std::uint8_t> file = ocu::EncodeBmp(img);
    Check(file.size() >= 54 && file[0] == 'B' && file[1] == 'M', what, "no bitmap file header");
    const std::uint32_t declared = file[2] | (file[3] << 8) | (file[4] << 16) | (std::uint32_t{file[5]} << 24);
    Check(declared == file.size(), what, "file size field");
    const Image back = ocu::DecodeBmp(file);
    Check(back == AsStored(img), what, Describe(img) + " came back as " + Describe(back));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// The same picture stored the other way up (rows reversed, height negated)
// must read as the same image. Only for files whose pixels lie after the
// headers, colour table and masks: reversing rows that overlap those would
// change the header as well.
void CheckFlippedFile(const std::vector<std::uint8_t>& file, const Image& decoded) {
    const std::size_t offset = Get32(file, 10);
    const std::size_t table = ocu::IsIndexed(decoded.Format()) ? 4 * decoded.Palette().size()
                              : Get32(file, 30) == 3           ? 12
                                                               : 0;
    if (offset < 14 + std::size_t{Get32(file, 14)} + table) return;
    std::vector<std::uint8_t> flipped = file;
    const std::size_t stride = decoded.Stride();
    const auto rows = static_cast<std::size_t>(decoded.Height());
    for (std::size_t r = 0; r < rows; ++r)
        std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(offset + stride * r), stride,
                    flipped.begin() + static_cast<std::ptrdiff_t>(offset + stride * (rows - 1 - r)));
    const std::uint32_t height = 0u - Get32(file, 22);
    for (int i = 0; i < 4; ++i)
        flipped[22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(height >> (8 * i));
    Check(ocu::DecodeBmp(flipped) == decoded, "the file stored the other way up reads differently", Describe(decoded));
}

constexpr PixelFormat kFormats[] = {PixelFormat::Bits1,  PixelFormat::Bits4,  PixelFormat::Bits8, PixelFormat::Bits15,
                                    PixelFormat::Bits16, PixelFormat::Bits24, PixelFormat::Bits32};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const Image decoded = ocu::DecodeBmp(bytes);
    if (!decoded.Empty()) {
        Check(decoded.Format() != PixelFormat::Custom, "decoded a Custom image");
        Check(ocu::IsIndexed(decoded.Format()) || decoded.Palette().empty(), "palette on a direct format");
        Check(decoded.Palette().size() <= 256, "palette longer than 256");
        // Every pixel byte comes from the file.
        Check(decoded.SizeBytes() <= size, "image larger than the file", Describe(decoded));
        CheckRoundTrip(decoded, "decoded file round trip");
        CheckFlippedFile(bytes, decoded);
    }

    FuzzedDataProvider fdp(data, size);
    const PixelFormat format = kFormats[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(kFormats) - 1)];
    const int width = fdp.ConsumeIntegralInRange(1, 48);
    const int height = fdp.ConsumeIntegralInRange(1, 48);
    Image img(width, height, format);
    const std::size_t indexable = ocu::IsIndexed(format) ? std::size_t{1} << ocu::BitsPerPixel(format) : 4;
    img.Palette().resize(fdp.ConsumeIntegralInRange<std::size_t>(0, indexable + 2));
    for (ocu::PaletteEntry& e : img.Palette()) {
        const auto v = fdp.ConsumeIntegral<std::uint32_t>();
        e = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
             static_cast<std::uint8_t>(v >> 24)};
    }
    const std::vector<std::uint8_t> pixels = fdp.ConsumeRemainingBytes<std::uint8_t>();
    std::size_t next = 0;
    for (int y = 0; y < height; ++y)
        for (std::size_t i = 0; i < img.Stride(); ++i, ++next)
            img.Row(y)[i] = pixels.empty() ? static_cast<std::uint8_t>(next * 131) : pixels[next % pixels.size()];
    CheckRoundTrip(img, "image round trip");

    Check(ocu::EncodeBmp(Image()).empty(), "an empty image encoded");
    Check(ocu::EncodeBmp(Image(3, 3, PixelFormat::Custom)).empty(), "a Custom image encoded");
    return 0;
}
