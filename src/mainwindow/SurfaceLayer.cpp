#include "mainwindow/SurfaceLayer.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "image/LineRaster.h"
#include "image/PixelOps.h"
#include "pipeline/FramePipeline.h"

namespace ocu {
namespace {
constexpr std::uint32_t kWhite = 0xFFFFFF;
}

void SurfaceLayer::Create() {
    created_ = true;
    image_ = Image(0, 0, SurfaceLayerFormat(screen_.ScreenFormat()));
}

void SurfaceLayer::Release() {
    if (created_) image_ = Image();
}

void SurfaceLayer::ViewResized(int width, int height) {
    if (created_) SizeSurfaceLayer(width, height);
}

void SurfaceLayer::SizeSurfaceLayer(int width, int height) {
    const PixelFormat format = SurfaceLayerFormat(screen_.ScreenFormat());
    if (image_.Format() != format) image_ = Image(0, 0, format);
    // New pixels are white: transparent under the AND merge.
    image_.Resize(std::max(width, 0), std::max(height, 0), 0xFF);
}

void SurfaceLayer::ClearSurfaceLayer() {
    const int w = std::min(s_.ViewWidth, image_.Width());
    const int h = std::min(s_.ViewHeight, image_.Height());
    const std::size_t rowBytes =
        static_cast<std::size_t>(std::max(w, 0)) * static_cast<std::size_t>(PixelBytes(image_.Format()));
    for (int y = 0; y < h; ++y) std::fill_n(image_.Row(y), rowBytes, std::uint8_t{0xFF});
}

void SurfaceLayer::SetSurfaceDrawMode(bool on) {
    s_.SurfaceDrawMode = on;
    if (on) {
        s_.SurfaceVisible = true;
        SizeSurfaceLayer(s_.ViewWidth, s_.ViewHeight);
    }
}

const Image* SurfaceLayer::ForFrame(PixelFormat captureFormat) {
    const PixelFormat layerFormat = SurfaceLayerFormat(captureFormat);
    if (image_.Format() != layerFormat || image_.Width() < s_.ViewWidth || image_.Height() < s_.ViewHeight)
        SizeSurfaceLayer(std::max(image_.Width(), s_.ViewWidth), std::max(image_.Height(), s_.ViewHeight));
    return image_.Format() == layerFormat ? &image_ : nullptr;
}

void SurfaceLayer::ViewToLayer(int& x, int& y) const {
    const int w = s_.ViewWidth, h = s_.ViewHeight;
    if (s_.RotateAngle != 0) {
        const int cx = w / 2, cy = h / 2;
        const long double dx = x - cx, dy = y - cy;
        // The angle is rounded to single precision before use; the products are
        // formed at extended precision and truncated.
        const float a = static_cast<float>(static_cast<long double>(s_.RotateAngle) / 10.0L *
                                           3.14159265358979323846264338327950288L / 180.0L);
        const long double c = std::cos(static_cast<long double>(a));
        const long double sn = std::sin(static_cast<long double>(a));
        const long double nx = c * dx - sn * dy;
        const long double ny = sn * dx + c * dy;
        auto trunc = [](long double v) {
            if (!(v > -2147483648.0L)) return INT32_MIN;
            if (!(v < 2147483647.0L)) return INT32_MAX;
            return static_cast<int>(v);
        };
        x = trunc(nx) + cx;
        y = trunc(ny) + cy;
    }
    if (s_.FlipH) x = 2 * (w / 2) - x;
    if (s_.FlipV) y = 2 * (h / 2) - y;
}

void SurfaceLayer::StrokeStart(int x, int y) {
    x -= s_.ViewLeft;
    y -= s_.ViewTop;
    ViewToLayer(x, y);
    lastX_ = x;
    lastY_ = y;
    stroking_ = true;
}

void SurfaceLayer::StrokeMove(ShiftState shift, int x, int y) {
    x -= s_.ViewLeft;
    y -= s_.ViewTop;
    ViewToLayer(x, y);
    int width = 0;
    std::uint32_t color = kWhite;
    if (shift.Left && !shift.Ctrl) {
        width = penWidth_;
        color = color_;
    } else if (shift.Left && shift.Ctrl) {
        width = penWidth_ * 4;
    } else if (shift.Right && !shift.Ctrl && !shift.Left) {
        width = 5;
    } else {
        return;  // nothing painted, and the stroke keeps its last point
    }
    DrawLine(image_, lastX_, lastY_, x, y, width, ColorToPixel(image_.Format(), color));
    lastX_ = x;
    lastY_ = y;
}

}  // namespace ocu
