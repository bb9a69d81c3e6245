#pragma once
// The pixel work of one capture tick: from the captured area to the finished
// view frame. The Win32 side only copies the screen into `capture` and shows
// `frame`; everything between is here, so that it is bit-exact and testable.
#include "image/Image.h"
#include "image/PixelOps.h"

namespace ocu {

struct RenderParams {
    int ViewWidth = 0, ViewHeight = 0, SrcWidth = 0, SrcHeight = 0;
    float ZoomRate = 1.0f;
    bool FlipH = false, FlipV = false;
    int RotateAngle = 0;  // tenths of a degree
    bool InvertColors = false;
    // nullptr unless the layer is shown. In SurfaceLayerFormat(frame format);
    // pixels beyond its edges count as white, so a layer not yet sized to the
    // view just leaves that part of the picture alone.
    const Image* SurfaceLayer = nullptr;
    bool CenterLineVisible = false, GridVisible = false;
    int GridUnit = 0;
    bool ProjectionMode = false, SurfaceDrawMode = false;
    int CursorX = 0, CursorY = 0, SrcX = 0, SrcY = 0;  // screen coordinates

    friend bool operator==(const RenderParams&, const RenderParams&) = default;
};

// A mirrored view is the picture turned by this angle with the left-right mirror.
int MirrorTurnAngle(const RenderParams& p);

// The format the surface layer is kept in for frames of `frameFormat`: the
// frame's own, so the merge is a plain AND; but 32 bits for an indexed frame,
// whose palette indexes mean nothing under AND and cannot hold a pen colour
// that is not in the palette. Such a layer is merged colour by colour, each
// result shown as the nearest colour of the frame's palette.
PixelFormat SurfaceLayerFormat(PixelFormat frameFormat);

// Renders one tick. `capture` holds the sampled area (at least SrcWidth x
// SrcHeight, a plain copy of the screen) and is used as scratch; `frame` (at
// least ViewWidth x ViewHeight, the capture's format) receives the view.
// The path follows the view state: plain, mirrored, or rotated (whatever the
// mirrors). Inversion is applied to the capture first, so neither the layer
// nor the guides are inverted. The layer is merged before the mirror, and the
// guides are drawn after the mirror but before the turn.
// A view of zero or negative size draws nothing. Throws std::invalid_argument
// for images of the wrong size or format, and ERotateError from the turn;
// after an exception the frame is half made and must not be shown.
void RenderFrame(Image& capture, Image& frame, const RenderParams& p);

// Centre lines, grid and cursor marker onto a frame at view scale, in the
// dotted NOT-XOR pen and DSTINVERT. A GridUnit of zero or less draws no grid.
// Never throws for a frame of a whole-byte format.
void DrawGuides(Image& frame, const RenderParams& p);

}  // namespace ocu
