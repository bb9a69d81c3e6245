// The colour under the pointer: the readout in the status bar and its menu entries,
// with the PNG save, the other addition to the save menu.
#include "mainwindow/PointerColor.h"

#include <cstdio>

#include "image/PixelColour.h"
#include "image/PixelOps.h"
#include "mainwindow/TfrmCap.h"
#include "settings/IniManager.h"

namespace ocu {
IntPoint SampledPixelOfView(IntPoint v, int viewWidth, int viewHeight, int srcWidth, int srcHeight, bool flipH,
                            bool flipV) {
    int sx = NearestSource(v.X, viewWidth, srcWidth);
    int sy = NearestSource(v.Y, viewHeight, srcHeight);
    if (flipH) sx = srcWidth - 1 - sx;
    if (flipV) sy = srcHeight - 1 - sy;
    return {sx, sy};
}

std::string ColorText(std::uint32_t rgb, bool hex) {
    const unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    char text[16];
    if (hex) std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
    else std::snprintf(text, sizeof text, "%u,%u,%u", r, g, b);
    return text;
}

std::optional<IntPoint> TfrmCap::PointerScreenPixel(IntPoint cursor, IntPoint src) {
    // Following the pointer, the view is centred on it and the pixel under the
    // pointer is the one wanted. Pinned, projected or drawn on, the pointer rests
    // on the view, and the wanted pixel is the one the view shows there.
    if (!s_.FixView && !s_.ProjectionMode && !s_.SurfaceDrawMode) return cursor;
    const IntPoint origin = p_.ClientOrigin();
    int vx = cursor.X - origin.X - s_.ViewLeft;
    int vy = cursor.Y - origin.Y - s_.ViewTop;
    if (vx < 0 || vy < 0 || vx >= s_.ViewWidth || vy >= s_.ViewHeight) return cursor;
    IntPoint sampled;
    if (s_.RotateAngle != 0) {
        // Turned views are mirrored after the enlargement, so the way back is the
        // one the surface layer's strokes take.
        ViewToLayer(vx, vy);
        if (vx < 0 || vy < 0 || vx >= s_.ViewWidth || vy >= s_.ViewHeight) return std::nullopt;  // a bare corner
        sampled = SampledPixelOfView({vx, vy}, s_.ViewWidth, s_.ViewHeight, s_.SrcWidth, s_.SrcHeight, false, false);
    } else {
        sampled =
            SampledPixelOfView({vx, vy}, s_.ViewWidth, s_.ViewHeight, s_.SrcWidth, s_.SrcHeight, s_.FlipH, s_.FlipV);
    }
    return IntPoint{src.X + sampled.X, src.Y + sampled.Y};
}

void TfrmCap::ReadPointerColor(const Image& capture, IntPoint src, IntPoint cursor) {
    // Read from the pixels the tick has just captured: a pointer away from them
    // (a pinned area elsewhere) has no reading rather than a second screen read.
    pointerColor_.reset();
    if (const auto p = PointerScreenPixel(cursor, src)) {
        const int x = p->X - src.X, y = p->Y - src.Y;
        if (x >= 0 && y >= 0 && x < s_.SrcWidth && y < s_.SrcHeight) pointerColor_ = PixelRgb(capture, x, y);
    }
    ShowPointerColor();
}

void TfrmCap::ShowPointerColor() {
    const std::string text = pointerColor_ ? ColorText(*pointerColor_, ini_.InfoIsHex) : std::string();
    // The bar repaints on every text it is given; the colour changes far
    // less often than the tick runs.
    if (pointerColorShown_ && text == pointerColorText_) return;
    pointerColorText_ = text;
    pointerColorShown_ = true;
    p_.SetColorReadout(pointerColor_, text);
}

bool TfrmCap::OnAddedCommand(CommandId id) {
    switch (id) {
    case CommandId::mmSavePngFile:
        if (imageOutput_.Attached()) imageOutput_.SavePngFile();
        return true;
    case CommandId::mmColorHex:
        ini_.InfoIsHex = !ini_.InfoIsHex;
        RefreshMenuStates();
        ShowPointerColor();
        return true;
    case CommandId::mmCopyColor:
        if (imageOutput_.Attached()) imageOutput_.CopyColor(pointerColorText_);
        return true;
    default: return false;
    }
}

}  // namespace ocu
