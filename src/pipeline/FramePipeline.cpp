#include "pipeline/FramePipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "rotate/RotateBitmap.h"

namespace ocu {
namespace {

// Trunc of the tick's floating-point results; values beyond int only ever
// place the marker far outside the frame, so they are pinned there.
int TruncToInt(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(v, lo, hi));
}

bool HasSource(const RenderParams& p) { return p.SrcWidth > 0 && p.SrcHeight > 0; }

void CheckImages(const Image& capture, const Image& frame, const RenderParams& p) {
    PixelBytes(frame.Format());
    if (capture.Format() != frame.Format()) throw std::invalid_argument("capture and frame formats differ");
    if (frame.Width() < p.ViewWidth || frame.Height() < p.ViewHeight)
        throw std::invalid_argument("frame smaller than the view");
    if (HasSource(p) && (capture.Width() < p.SrcWidth || capture.Height() < p.SrcHeight))
        throw std::invalid_argument("capture smaller than the sampled area");
    if (p.SurfaceLayer != nullptr && p.SurfaceLayer->Format() != SurfaceLayerFormat(frame.Format()))
        throw std::invalid_argument("surface layer format does not suit the frame");
}

void CopyTopLeft(Image& dst, const Image& src, int w, int h) {
    const std::size_t rowBytes = static_cast<std::size_t>(w) * PixelBytes(dst.Format());
    for (int y = 0; y < h; ++y) std::memcpy(dst.Row(y), src.Row(y), rowBytes);
}

// The layer as the tick combines it: at least view-sized. A layer that has
// not caught up with the view yet (it is resized with the window) is padded
// with white, which leaves the picture alone, instead of failing the tick.
const Image* LayerCoveringView(const RenderParams& p, Image& padded) {
    const Image* layer = p.SurfaceLayer;
    if (layer == nullptr || layer->Empty()) return nullptr;
    if (layer->Width() >= p.ViewWidth && layer->Height() >= p.ViewHeight) return layer;
    padded = Image(p.ViewWidth, p.ViewHeight, layer->Format());
    InvertAll(padded);
    CopyTopLeft(padded, *layer, std::min(layer->Width(), p.ViewWidth), std::min(layer->Height(), p.ViewHeight));
    return &padded;
}

// A borrowed view of an image's top-left corner, for the rotation routine,
// which works on whole images.
Image TopLeftView(Image& img, int w, int h, const std::vector<PaletteEntry>& palette) {
    Image view = Image::View(img.Bits(), w, h, img.Format(), img.Stride());
    view.Palette() = palette;
    return view;
}

const std::vector<PaletteEntry>& PaletteOf(const Image& frame, const Image& capture) {
    return frame.Palette().empty() ? capture.Palette() : frame.Palette();
}

// Buffers kept from tick to tick: the turn and the mirror cannot write over
// their own source, and a frame-sized allocation every 100 ms costs more than
// the pixels (fresh pages are faulted in each time).
Image& Scratch(int which, int w, int h, PixelFormat f) {
    thread_local Image buffers[2];
    Image& img = buffers[which];
    if (img.Width() != w || img.Height() != h || img.Format() != f) img = Image::Uninitialized(w, h, f);
    return img;
}

// The enlargement to the view. With nothing sampled (a view smaller than one
// magnified pixel) the frame is black, as a fresh bitmap would be.
void Enlarge(Image& frame, const Image& sampled, const RenderParams& p) {
    if (HasSource(p)) {
        StretchCopy(frame, p.ViewWidth, p.ViewHeight, sampled, p.SrcWidth, p.SrcHeight);
        return;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(p.ViewWidth) * PixelBytes(frame.Format());
    for (int y = 0; y < p.ViewHeight; ++y) std::memset(frame.Row(y), 0, rowBytes);
}

int NearestPaletteIndex(const std::vector<PaletteEntry>& palette, int r, int g, int b) {
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = palette[i].red - r, dg = palette[i].green - g, db = palette[i].blue - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// The AND merge of a 32-bit layer into an 8-bit picture: each pixel's colour ANDed
// with the layer's, shown as the nearest palette colour. White leaves the pixel alone.
void AndColoursInto8(Image& dst, const Image& layer, int w, int h, const std::vector<PaletteEntry>& palette) {
    w = std::min({w, dst.Width(), layer.Width()});
    h = std::min({h, dst.Height(), layer.Height()});
    if (palette.empty()) return;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = dst.Row(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t ink = layer.Pixel32(x, y) & 0xFFFFFFu;
            if (ink == 0xFFFFFFu) continue;
            const PaletteEntry& c = palette[std::min<std::size_t>(row[x], palette.size() - 1)];
            row[x] = static_cast<std::uint8_t>(NearestPaletteIndex(palette, c.red & static_cast<int>(ink >> 16),
                                                                   c.green & static_cast<int>((ink >> 8) & 0xFF),
                                                                   c.blue & static_cast<int>(ink & 0xFF)));
        }
    }
}

// dst &= layer over w x h, whatever the layer's format suits.
void MergeLayer(Image& dst, const Image& layer, int w, int h, const std::vector<PaletteEntry>& palette) {
    if (layer.Format() == dst.Format()) AndInto(dst, layer, w, h);
    else if (dst.Format() == PixelFormat::Bits8) AndColoursInto8(dst, layer, w, h, palette);
    // Other indexed formats (16 and 2 colours) are not drawn on.
}

void MergeLayerSampled(Image& capture, const Image* layer, const RenderParams& p) {
    if (layer == nullptr || !HasSource(p)) return;
    if (layer->Format() == capture.Format()) {
        StretchAnd(capture, p.SrcWidth, p.SrcHeight, *layer, p.ViewWidth, p.ViewHeight);
        return;
    }
    // The layer reduced to the sampled size by the same AND-combining, then merged colour-wise.
    Image reduced(p.SrcWidth, p.SrcHeight, layer->Format());
    InvertAll(reduced);
    StretchAnd(reduced, p.SrcWidth, p.SrcHeight, *layer, p.ViewWidth, p.ViewHeight);
    MergeLayer(capture, reduced, p.SrcWidth, p.SrcHeight, capture.Palette());
}

void RenderPlain(Image& capture, Image& frame, const Image* layer, const RenderParams& p) {
    MergeLayerSampled(capture, layer, p);
    Enlarge(frame, capture, p);
    DrawGuides(frame, p);
}

void RenderMirrored(Image& capture, Image& frame, const Image* layer, const RenderParams& p) {
    MergeLayerSampled(capture, layer, p);
    if (HasSource(p)) {
        const Image sampled = TopLeftView(capture, p.SrcWidth, p.SrcHeight, capture.Palette());
        Image& mirrored = Scratch(1, p.SrcWidth, p.SrcHeight, capture.Format());
        RotateBitmapInto(sampled, mirrored, MirrorTurnAngle(p), true);
        Enlarge(frame, mirrored, p);
    } else {
        Enlarge(frame, capture, p);
    }
    DrawGuides(frame, p);
}

IntRect MarkerRect(const RenderParams& p);

// Turned straight from the capture when nothing but the marker is drawn on the
// enlargement: the same pixels without writing the enlargement out and reading
// it back.
bool RenderRotatedInOnePass(Image& capture, Image& frame, const Image* layer, const RenderParams& p) {
    if (layer != nullptr || p.FlipH || p.FlipV || p.CenterLineVisible || (p.GridVisible && p.GridUnit > 0) ||
        !HasSource(p) || frame.Format() != PixelFormat::Bits32)
        return false;
    const bool marker = !p.ProjectionMode && !p.SurfaceDrawMode;
    Image view = TopLeftView(frame, p.ViewWidth, p.ViewHeight, {});
    RotateEnlargedInto(capture, p.SrcWidth, p.SrcHeight, view, p.RotateAngle, marker ? MarkerRect(p) : IntRect{});
    return true;
}

void RenderRotated(Image& capture, Image& frame, const Image* layer, const RenderParams& p) {
    if (RenderRotatedInOnePass(capture, frame, layer, p)) return;
    Image& enlarged = Scratch(0, p.ViewWidth, p.ViewHeight, frame.Format());
    enlarged.Palette() = PaletteOf(frame, capture);
    Enlarge(enlarged, capture, p);
    if (layer != nullptr) MergeLayer(enlarged, *layer, p.ViewWidth, p.ViewHeight, enlarged.Palette());
    DrawGuides(enlarged, p);
    Image view = TopLeftView(frame, p.ViewWidth, p.ViewHeight, enlarged.Palette());
    if (p.FlipH || p.FlipV) {
        Image& mirrored = Scratch(1, p.ViewWidth, p.ViewHeight, frame.Format());
        RotateBitmapInto(enlarged, mirrored, MirrorTurnAngle(p), true);
        RotateBitmapInto(mirrored, view, p.RotateAngle, false);
    } else {
        RotateBitmapInto(enlarged, view, p.RotateAngle, false);
    }
}

IntRect MarkerRect(const RenderParams& p) {
    const double zoom = p.ZoomRate;
    const int x = TruncToInt((static_cast<double>(p.CursorX) - p.SrcX) * zoom);
    const int y = TruncToInt((static_cast<double>(p.CursorY) - p.SrcY) * zoom);
    const int size = TruncToInt(zoom);
    if (size <= 0) return {};
    // Pinned so the far edge does not overflow; it only ever lies beyond the frame then.
    const auto end = [](int from, int n) {
        return static_cast<int>(std::min<std::int64_t>(std::int64_t{from} + n, std::numeric_limits<int>::max()));
    };
    return {x, y, end(x, size), end(y, size)};
}

void DrawMarker(Image& frame, const RenderParams& p) {
    const IntRect r = MarkerRect(p);
    InvertRect(frame, r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

// A half turn plus left-right is top-bottom.
int MirrorTurnAngle(const RenderParams& p) { return p.FlipV ? 1800 : 0; }

PixelFormat SurfaceLayerFormat(PixelFormat frameFormat) {
    return IsIndexed(frameFormat) ? PixelFormat::Bits32 : frameFormat;
}

void RenderFrame(Image& capture, Image& frame, const RenderParams& p) {
    if (p.ViewWidth <= 0 || p.ViewHeight <= 0) return;
    CheckImages(capture, frame, p);
    if (p.InvertColors) InvertAll(capture);
    Image padded;
    const Image* layer = LayerCoveringView(p, padded);
    if (p.RotateAngle != 0) RenderRotated(capture, frame, layer, p);
    else if (p.FlipH || p.FlipV) RenderMirrored(capture, frame, layer, p);
    else RenderPlain(capture, frame, layer, p);
}

void DrawGuides(Image& frame, const RenderParams& p) {
    const int w = p.ViewWidth;
    const int h = p.ViewHeight;
    if (w <= 0 || h <= 0) return;
    if (p.CenterLineVisible) {
        DottedLineNotXor(frame, w / 2, 0, w / 2, h);
        DottedLineNotXor(frame, 0, h / 2, w, h / 2);
    }
    // A unit of zero or less would stop every tick; it simply draws no grid.
    if (p.GridVisible && p.GridUnit > 0) {
        for (int i = 1; i <= w / p.GridUnit; ++i) DottedLineNotXor(frame, i * p.GridUnit, 0, i * p.GridUnit, h);
        for (int j = 1; j <= h / p.GridUnit; ++j) DottedLineNotXor(frame, 0, j * p.GridUnit, w, j * p.GridUnit);
    }
    if (!p.ProjectionMode && !p.SurfaceDrawMode) DrawMarker(frame, p);
}

}  // namespace ocu
