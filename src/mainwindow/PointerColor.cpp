// The colour under the pointer and its readout.
#include "mainwindow/PointerColor.h"

#include <cstdio>

#include "image/PixelColour.h"
#include "pipeline/ViewSource.h"
#include "settings/IniManager.h"

namespace ocu {
std::string ColorText(std::uint32_t rgb, bool hex) {
    const unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    char text[16];
    if (hex) std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
    else std::snprintf(text, sizeof text, "%u,%u,%u", r, g, b);
    return text;
}

std::optional<IntPoint> PointerReadout::PointerViewPoint(const RenderParams& frame) {
    if (!s_.FixView && !s_.ProjectionMode && !s_.SurfaceDrawMode) return std::nullopt;
    const IntPoint origin = window_.ClientOrigin();
    const IntPoint v{frame.CursorX - origin.X - s_.ViewLeft, frame.CursorY - origin.Y - s_.ViewTop};
    if (v.X < 0 || v.Y < 0 || v.X >= s_.ViewWidth || v.Y >= s_.ViewHeight) return std::nullopt;
    return v;
}

std::optional<IntPoint> PointerReadout::PointerScreenPixel(const RenderParams& frame) {
    // Following the pointer, the view is centred on it and the pixel under the
    // pointer is the one wanted. Pinned, projected or drawn on, the pointer rests
    // on the view, and the wanted pixel is the one the view shows there.
    const auto v = PointerViewPoint(frame);
    if (!v) return IntPoint{frame.CursorX, frame.CursorY};
    const auto sampled = ViewSourcePixel(*v, frame);
    if (!sampled) return std::nullopt;  // a bare corner of a turned view
    return IntPoint{frame.SrcX + sampled->X, frame.SrcY + sampled->Y};
}

void PointerReadout::Read(const Image& capture, const RenderParams& frame, bool pointerOnWindow) {
    // The reading stays what it was while a menu is open, and while the pointer
    // crosses this window anywhere but over a view that names its pixels: on its
    // way to a menu or a button the pointer would otherwise read the window's own
    // face, and the menu's commands would copy that instead of the colour pointed at.
    if (menuLoop_ || (pointerOnWindow && !PointerViewPoint(frame))) return;
    // Read from the pixels the tick has just captured: a pointer away from them
    // (a pinned area elsewhere) has no reading rather than a second screen read.
    // The capture is the screen's own colours, so with inversion on the reading
    // is still the colour on the screen.
    color_.reset();
    if (const auto p = PointerScreenPixel(frame)) {
        const int x = p->X - frame.SrcX, y = p->Y - frame.SrcY;
        if (x >= 0 && y >= 0 && x < s_.SrcWidth && y < s_.SrcHeight) color_ = PixelRgb(capture, x, y);
    }
    Show();
}

std::string PointerReadout::Text() const { return color_ ? ColorText(*color_, ini_.InfoIsHex) : std::string(); }

void PointerReadout::Show(bool panelIsNew) {
    if (panelIsNew) shown_ = false;
    // Hidden, the hint line is left alone: the reading is still kept for the copy.
    if (!ini_.PointerColorVisible) return;
    const std::string text = Text();
    // The bar repaints on every text it is given; the colour changes far
    // less often than the tick runs.
    if (shown_ && text == shownText_) return;
    shownText_ = text;
    shown_ = true;
    texts_.SetColorReadout(color_, text);
}

}  // namespace ocu
