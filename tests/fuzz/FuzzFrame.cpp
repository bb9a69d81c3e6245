// One capture tick on small frames with arbitrary settings: any zoom bits
// (NaN and infinities too), any angle, grid unit, cursor and sampled-area
// position, layers of any size, and now and then images that break the
// preconditions. RenderFrame must throw std::invalid_argument exactly when a
// precondition is broken, and otherwise never fail; a view of no size draws
// nothing; a whole turn draws what no turn draws. The raster operations it
// is built from are checked against a per-pixel reading on the result:
// inverting a rectangle and drawing a dotted line touch exactly their pixels,
// and doing either twice restores the picture.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "image/Image.h"
#include "image/PixelOps.h"
#include "pipeline/FramePipeline.h"
#include "support/ImageHelpers.h"

namespace {

using ocu::Image;
using ocu::PixelFormat;

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "fuzz_frame: %s [%s]\n", what, detail.c_str());
    std::abort();
}

void Check(bool ok, const char* what, const std::string& detail = {}) {
    if (!ok) Fail(what, detail);
}

constexpr PixelFormat kWholeByte[] = {PixelFormat::Bits8, PixelFormat::Bits15, PixelFormat::Bits16, PixelFormat::Bits24,
                                      PixelFormat::Bits32};
constexpr PixelFormat kOther[] = {PixelFormat::Bits1, PixelFormat::Bits4, PixelFormat::Custom};

PixelFormat PickFormat(FuzzedDataProvider& fdp) {
    if (fdp.ConsumeIntegralInRange(0, 15) == 0)
        return kOther[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(kOther) - 1)];
    return kWholeByte[fdp.ConsumeIntegralInRange<std::size_t>(0, std::size(kWholeByte) - 1)];
}

void FillFrom(Image& img, FuzzedDataProvider& fdp) {
    std::uint32_t x = fdp.ConsumeIntegral<std::uint32_t>() | 1u;
    for (int y = 0; y < img.Height(); ++y)
        for (std::size_t i = 0; i < img.Stride(); ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            img.Row(y)[i] = static_cast<std::uint8_t>(x);
        }
}

bool SameView(const Image& a, const Image& b, int w, int h, int bytes) {
    for (int y = 0; y < h; ++y)
        if (std::memcmp(a.Row(y), b.Row(y), static_cast<std::size_t>(w) * static_cast<std::size_t>(bytes)) != 0)
            return false;
    return true;
}

using ocu::support::SameBytes;

// Pixel (x, y) is the bitwise NOT of the same pixel of `before`, or equal to it.
bool PixelInverted(const Image& now, const Image& before, int x, int y, int bytes) {
    for (int k = 0; k < bytes; ++k) {
        const std::size_t at =
            static_cast<std::size_t>(x) * static_cast<std::size_t>(bytes) + static_cast<std::size_t>(k);
        if (now.Row(y)[at] != static_cast<std::uint8_t>(~before.Row(y)[at])) return false;
    }
    return true;
}
bool PixelKept(const Image& now, const Image& before, int x, int y, int bytes) {
    return std::memcmp(now.Row(y) + static_cast<std::size_t>(x) * bytes,
                       before.Row(y) + static_cast<std::size_t>(x) * bytes, static_cast<std::size_t>(bytes)) == 0;
}

void CheckInvertRect(Image& img, FuzzedDataProvider& fdp, int bytes) {
    const int x = fdp.ConsumeIntegral<int>() % 64, y = fdp.ConsumeIntegral<int>() % 64;
    const int w = fdp.ConsumeBool() ? fdp.ConsumeIntegral<int>() : fdp.ConsumeIntegralInRange(-2, 64);
    const int h = fdp.ConsumeBool() ? fdp.ConsumeIntegral<int>() : fdp.ConsumeIntegralInRange(-2, 64);
    const Image before = img.Clone();
    ocu::InvertRect(img, x, y, w, h);
    for (int py = 0; py < img.Height(); ++py)
        for (int px = 0; px < img.Width(); ++px) {
            const bool inside = w > 0 && h > 0 && px >= x && py >= y && std::int64_t{px} < std::int64_t{x} + w &&
                                std::int64_t{py} < std::int64_t{y} + h;
            Check(inside ? PixelInverted(img, before, px, py, bytes) : PixelKept(img, before, px, py, bytes),
                  "InvertRect",
                  std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" + std::to_string(h));
        }
    ocu::InvertRect(img, x, y, w, h);
    Check(SameBytes(img, before), "InvertRect twice");
}

void CheckDottedLine(Image& img, FuzzedDataProvider& fdp, int bytes) {
    const bool horizontal = fdp.ConsumeBool();
    const int across = fdp.ConsumeIntegralInRange(-2, 50);
    const int from = fdp.ConsumeBool() ? fdp.ConsumeIntegral<int>() : fdp.ConsumeIntegralInRange(-60, 60);
    const int to = fdp.ConsumeBool() ? fdp.ConsumeIntegral<int>() : fdp.ConsumeIntegralInRange(-60, 60);
    const Image before = img.Clone();
    if (horizontal) ocu::DottedLineNotXor(img, from, across, to, across);
    else ocu::DottedLineNotXor(img, across, from, across, to);
    const std::int64_t dir = to > from ? 1 : -1, length = (std::int64_t{to} - from) * dir;
    for (int py = 0; py < img.Height(); ++py)
        for (int px = 0; px < img.Width(); ++px) {
            const int along = horizontal ? px : py, at = horizontal ? py : px;
            const std::int64_t k = (std::int64_t{along} - from) * dir;
            const bool dot = at == across && k >= 0 && k < length && k % 2 == 0;
            Check(dot ? PixelInverted(img, before, px, py, bytes) : PixelKept(img, before, px, py, bytes),
                  "DottedLineNotXor",
                  std::string(horizontal ? "horizontal " : "vertical ") + std::to_string(from) + ".." +
                      std::to_string(to) + " at " + std::to_string(across));
        }
    if (horizontal) ocu::DottedLineNotXor(img, from, across, to, across);
    else ocu::DottedLineNotXor(img, across, from, across, to);
    Check(SameBytes(img, before), "DottedLineNotXor twice");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fdp(data, size);
    ocu::RenderParams p;
    const PixelFormat format = PickFormat(fdp);
    const PixelFormat captureFormat = fdp.ConsumeIntegralInRange(0, 15) == 0 ? PickFormat(fdp) : format;
    p.ViewWidth = fdp.ConsumeIntegralInRange(-1, 40);
    p.ViewHeight = fdp.ConsumeIntegralInRange(-1, 40);
    p.SrcWidth = fdp.ConsumeIntegralInRange(-1, 40);
    p.SrcHeight = fdp.ConsumeIntegralInRange(-1, 40);
    // Images usually fit; now and then one is a pixel short.
    const int frameW = std::max(0, p.ViewWidth + fdp.ConsumeIntegralInRange(-1, 3));
    const int frameH = std::max(0, p.ViewHeight + fdp.ConsumeIntegralInRange(-1, 3));
    const int captureW = std::max(0, p.SrcWidth + fdp.ConsumeIntegralInRange(-1, 3));
    const int captureH = std::max(0, p.SrcHeight + fdp.ConsumeIntegralInRange(-1, 3));
    p.ZoomRate = fdp.ConsumeBool() ? std::bit_cast<float>(fdp.ConsumeIntegral<std::uint32_t>())
                                   : fdp.ConsumeFloatingPointInRange(1.0f, 16.0f);
    p.FlipH = fdp.ConsumeBool();
    p.FlipV = fdp.ConsumeBool();
    switch (fdp.ConsumeIntegralInRange(0, 3)) {
    case 0: p.RotateAngle = 0; break;
    case 1: p.RotateAngle = fdp.ConsumeIntegralInRange(-3600, 3600); break;
    case 2: p.RotateAngle = fdp.ConsumeIntegralInRange(-8, 8) * 450; break;
    default: p.RotateAngle = fdp.ConsumeIntegral<int>(); break;
    }
    p.InvertColors = fdp.ConsumeBool();
    p.CenterLineVisible = fdp.ConsumeBool();
    p.GridVisible = fdp.ConsumeBool();
    p.GridUnit = fdp.ConsumeBool() ? fdp.ConsumeIntegral<int>() : fdp.ConsumeIntegralInRange(-1, 12);
    p.ProjectionMode = fdp.ConsumeBool();
    p.SurfaceDrawMode = fdp.ConsumeBool();
    const bool wideCoordinates = fdp.ConsumeBool();
    auto coordinate = [&] {
        return wideCoordinates ? fdp.ConsumeIntegral<int>() : fdp.ConsumeIntegralInRange(-50, 100);
    };
    p.CursorX = coordinate();
    p.CursorY = coordinate();
    p.SrcX = coordinate();
    p.SrcY = coordinate();

    Image layer;
    const bool withLayer = fdp.ConsumeBool();
    if (withLayer) {
        const PixelFormat layerFormat =
            fdp.ConsumeIntegralInRange(0, 15) == 0 ? PickFormat(fdp) : ocu::SurfaceLayerFormat(format);
        layer = Image(fdp.ConsumeIntegralInRange(0, 44), fdp.ConsumeIntegralInRange(0, 44), layerFormat);
        FillFrom(layer, fdp);
        p.SurfaceLayer = &layer;
    }
    Image capture(captureW, captureH, captureFormat);
    Image frame(frameW, frameH, format);
    FillFrom(capture, fdp);
    FillFrom(frame, fdp);
    if (ocu::IsIndexed(format)) frame.Palette().resize(std::size_t{1} << ocu::BitsPerPixel(format));

    const bool wholeByte = std::find(std::begin(kWholeByte), std::end(kWholeByte), format) != std::end(kWholeByte);
    const bool hasSource = p.SrcWidth > 0 && p.SrcHeight > 0;
    const bool valid = wholeByte && captureFormat == format && frameW >= p.ViewWidth && frameH >= p.ViewHeight &&
                       (!hasSource || (captureW >= p.SrcWidth && captureH >= p.SrcHeight)) &&
                       (!withLayer || layer.Format() == ocu::SurfaceLayerFormat(format));
    const bool drawsNothing = p.ViewWidth <= 0 || p.ViewHeight <= 0;

    const Image captureBefore = capture.Clone();
    const Image frameBefore = frame.Clone();
    try {
        ocu::RenderFrame(capture, frame, p);
    } catch (const std::invalid_argument& e) {
        Check(!valid && !drawsNothing, "RenderFrame refused a valid tick", e.what());
        return 0;
    }
    Check(valid || drawsNothing, "RenderFrame accepted a broken tick");
    if (drawsNothing) {
        Check(SameBytes(frame, frameBefore) && SameBytes(capture, captureBefore), "an empty view drew");
        return 0;
    }
    const int bytes = ocu::PixelBytes(format);

    // Without a layer or mirrors, whole turns take the rotated path yet must
    // draw what no turn draws.
    if (!withLayer && !p.FlipH && !p.FlipV && p.RotateAngle == 0) {
        for (const int whole : {3600, -3600}) {
            Image capture2 = captureBefore.Clone();
            Image frame2 = frameBefore.Clone();
            ocu::RenderParams q = p;
            q.RotateAngle = whole;
            ocu::RenderFrame(capture2, frame2, q);
            Check(SameView(frame, frame2, p.ViewWidth, p.ViewHeight, bytes), "a whole turn changed the view",
                  std::to_string(whole));
        }
    }

    CheckInvertRect(frame, fdp, bytes);
    CheckDottedLine(frame, fdp, bytes);
    return 0;
}
