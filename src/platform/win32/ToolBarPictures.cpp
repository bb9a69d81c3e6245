#include "platform/win32/ToolBarPictures.h"

namespace ocu::win {
namespace {

COLORREF Colour(PictureColour c) { return RGB(c.R, c.G, c.B); }

}  // namespace

void DrawToolPicture(HDC dc, int x, int y, CommandId id) {
    for (const PictureStroke& s : ToolPicture(id)) {
        const unique_hpen pen(::CreatePen(PS_SOLID, s.PenWidth, Colour(s.Pen)));
        const unique_hbrush fill(s.Fill ? ::CreateSolidBrush(Colour(*s.Fill)) : nullptr);
        const unique_select_object penIn(dc, pen.get());
        const unique_select_object brushIn(dc, fill ? static_cast<HGDIOBJ>(fill.get()) : ::GetStockObject(NULL_BRUSH));
        POINT p[4];
        for (int i = 0; i < 4; ++i) p[i] = {x + s.At[i].X, y + s.At[i].Y};
        switch (s.Shape) {
        case StrokeShape::Line:
            ::MoveToEx(dc, p[0].x, p[0].y, nullptr);
            ::LineTo(dc, p[1].x, p[1].y);
            break;
        case StrokeShape::Triangle: ::Polygon(dc, p, 3); break;
        case StrokeShape::Ellipse: ::Ellipse(dc, p[0].x, p[0].y, p[1].x, p[1].y); break;
        case StrokeShape::Arc:
            ::SetArcDirection(dc, s.Clockwise ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
            ::Arc(dc, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y);
            break;
        }
    }
}

unique_himagelist MakeToolBarPictures(int size) {
    const auto buttons = MainToolBar();
    const int count = static_cast<int>(buttons.size());
    unique_himagelist list(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0));
    if (!list) return list;
    const unique_hdc_window screen = win::GetDC(nullptr);
    unique_hbitmap strip(::CreateCompatibleBitmap(screen.get(), size * count, size));
    unique_hdc dc(::CreateCompatibleDC(screen.get()));
    if (!strip || !dc) return {};
    {
        const unique_select_object selected(dc.get(), strip.get());
        const RECT all{0, 0, size * count, size};
        const unique_hbrush mask(::CreateSolidBrush(kPictureMask));
        ::FillRect(dc.get(), &all, mask.get());
        // Drawn in the 16-unit grid they were designed in and mapped to the size asked
        // for: lines, pens and curves are scaled by GDI, not the finished pixels, so a
        // larger picture is as sharp as the small one. At 16 the mapping is left alone,
        // so the pictures stay pixel for pixel what they were. A scaled picture keeps a
        // clear pixel on each side: Wine's tool bar shows a column of the neighbouring
        // pictures beside each scaled one.
        const bool scaled = size != kPictureSize;
        if (scaled) {
            ::SetMapMode(dc.get(), MM_ANISOTROPIC);
            ::SetWindowExtEx(dc.get(), kPictureSize, kPictureSize, nullptr);
            ::SetViewportExtEx(dc.get(), size - 2, size - 2, nullptr);
        }
        for (int i = 0; i < count; ++i) {
            if (scaled) ::SetViewportOrgEx(dc.get(), i * size + 1, 1, nullptr);
            DrawToolPicture(dc.get(), scaled ? 0 : i * kPictureSize, 0, buttons[i].Id);
        }
        ::SetMapMode(dc.get(), MM_TEXT);
        ::SetViewportOrgEx(dc.get(), 0, 0, nullptr);
    }
    // The strip is deselected above: the image list copies it.
    if (::ImageList_AddMasked(list.get(), strip.get(), kPictureMask) < 0) return {};
    return list;
}

}  // namespace ocu::win
