#include "pipeline/ViewSource.h"

#include "image/PixelOps.h"
#include "rotate/RotateBitmap.h"

namespace ocu {
namespace {

// The pixel a turn of a w x h picture samples for result pixel r, by the turn's
// own rule: the fixed-point point rounded half away from zero, inside only
// where the turn would read the source.
std::optional<IntPoint> TurnedBack(IntPoint r, int w, int h, int angle, bool mirror) {
    const RotateGeometry g = ComputeRotateGeometry(w, h, angle, mirror, false);
    constexpr std::int64_t kOne = 1024, kHalf = 512;
    const std::int64_t x = g.x0 + kHalf + std::int64_t{r.X} * g.dxCol + std::int64_t{r.Y} * g.dxRow;
    const std::int64_t y = g.y0 + kHalf + std::int64_t{r.X} * g.dyCol + std::int64_t{r.Y} * g.dyRow;
    if (x <= 0 || y <= 0 || x >= w * kOne || y >= h * kOne) return std::nullopt;
    return IntPoint{static_cast<int>(x >> 10), static_cast<int>(y >> 10)};
}

IntPoint Enlarged(IntPoint v, const RenderParams& p) {
    return {NearestSource(v.X, p.ViewWidth, p.SrcWidth), NearestSource(v.Y, p.ViewHeight, p.SrcHeight)};
}

}  // namespace

std::optional<IntPoint> ViewSourcePixel(IntPoint v, const RenderParams& p) {
    if (v.X < 0 || v.Y < 0 || v.X >= p.ViewWidth || v.Y >= p.ViewHeight || p.SrcWidth <= 0 || p.SrcHeight <= 0)
        return std::nullopt;
    const bool mirrored = p.FlipH || p.FlipV;
    if (p.RotateAngle == 0) {
        // Mirrored before the enlargement.
        const IntPoint s = Enlarged(v, p);
        return mirrored ? TurnedBack(s, p.SrcWidth, p.SrcHeight, MirrorTurnAngle(p), true) : s;
    }
    // Turned, and before that mirrored, at view size.
    std::optional<IntPoint> e = TurnedBack(v, p.ViewWidth, p.ViewHeight, p.RotateAngle, false);
    if (e && mirrored) e = TurnedBack(*e, p.ViewWidth, p.ViewHeight, MirrorTurnAngle(p), true);
    if (!e) return std::nullopt;
    return Enlarged(*e, p);
}

}  // namespace ocu
