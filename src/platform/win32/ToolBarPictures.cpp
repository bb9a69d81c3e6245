#include "platform/win32/ToolBarPictures.h"

namespace ocu::win {
namespace {

constexpr COLORREF kInk = RGB(0, 51, 153);
constexpr COLORREF kGlass = RGB(170, 215, 255);
constexpr COLORREF kHandle = RGB(120, 72, 24);
constexpr COLORREF kArrow = RGB(0, 110, 40);

struct Pen {
    unique_hpen pen;
    unique_select_object sel;
    Pen(HDC dc, int width, COLORREF c) : pen(::CreatePen(PS_SOLID, width, c)), sel(dc, pen.get()) {}
};
struct Brush {
    unique_hbrush brush;
    unique_select_object sel;
    Brush(HDC dc, COLORREF c) : brush(::CreateSolidBrush(c)), sel(dc, brush.get()) {}
};

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
}

void Triangle(HDC dc, int x, int y, POINT a, POINT b, POINT c) {
    const POINT pts[3] = {{x + a.x, y + a.y}, {x + b.x, y + b.y}, {x + c.x, y + c.y}};
    ::Polygon(dc, pts, 3);
}

// A magnifying glass; `plus` adds the vertical stroke of a plus sign.
void Magnifier(HDC dc, int x, int y, bool plus) {
    {
        Pen handle(dc, 2, kHandle);
        Line(dc, x + 10, y + 10, x + 15, y + 15);
        Line(dc, x + 11, y + 10, x + 15, y + 14);
    }
    {
        Pen rim(dc, 1, kInk);
        Brush glass(dc, kGlass);
        ::Ellipse(dc, x, y, x + 13, y + 13);
    }
    Pen sign(dc, 2, kInk);
    Line(dc, x + 3, y + 6, x + 10, y + 6);
    if (plus) Line(dc, x + 6, y + 3, x + 6, y + 10);
}

void FlipPicture(HDC dc, int x, int y, bool horizontal) {
    {
        Pen axis(dc, 1, RGB(128, 128, 128));
        for (int i = 0; i < 16; i += 3) {
            if (horizontal) Line(dc, x + 7, y + i, x + 7, y + i + 2);
            else Line(dc, x + i, y + 7, x + i + 2, y + 7);
        }
    }
    Pen edge(dc, 1, kInk);
    Brush solid(dc, kInk);
    // The filled shape and its hollow mirror image.
    if (horizontal) Triangle(dc, x, y, {0, 7}, {5, 2}, {5, 12});
    else Triangle(dc, x, y, {7, 0}, {2, 5}, {12, 5});
    Brush hollow(dc, RGB(255, 255, 255));
    if (horizontal) Triangle(dc, x, y, {14, 7}, {9, 2}, {9, 12});
    else Triangle(dc, x, y, {7, 14}, {2, 9}, {12, 9});
}

// A three-quarter circle with an arrow head at its end, turning clockwise or not.
void TurnPicture(HDC dc, int x, int y, bool clockwise) {
    {
        Pen arc(dc, 2, kArrow);
        ::SetArcDirection(dc, clockwise ? AD_CLOCKWISE : AD_COUNTERCLOCKWISE);
        // From the top round to the side the head points away from.
        const int endX = clockwise ? x + 2 : x + 13;
        ::Arc(dc, x + 2, y + 3, x + 14, y + 15, x + 8, y + 3, endX, y + 9);
    }
    Pen edge(dc, 1, kArrow);
    Brush head(dc, kArrow);
    if (clockwise) Triangle(dc, x, y, {0, 9}, {6, 9}, {3, 4});
    else Triangle(dc, x, y, {10, 9}, {15, 9}, {12, 4});
}

void ResetPicture(HDC dc, int x, int y) {
    {
        Pen ring(dc, 2, kArrow);
        const unique_select_object hollow(dc, ::GetStockObject(NULL_BRUSH));
        ::Ellipse(dc, x + 2, y + 3, x + 15, y + 16);
    }
    Pen needle(dc, 2, kInk);
    Line(dc, x + 8, y + 10, x + 8, y + 4);
    Pen edge(dc, 1, kInk);
    Brush head(dc, kInk);
    Triangle(dc, x, y, {5, 4}, {11, 4}, {8, 0});
}

}  // namespace

void DrawToolPicture(HDC dc, int x, int y, CommandId id) {
    switch (id) {
    case CommandId::tbZoomUp: Magnifier(dc, x, y, true); break;
    case CommandId::tbZoomOut: Magnifier(dc, x, y, false); break;
    case CommandId::tbFlipH: FlipPicture(dc, x, y, true); break;
    case CommandId::tbFlipV: FlipPicture(dc, x, y, false); break;
    case CommandId::tbLRotate: TurnPicture(dc, x, y, true); break;   // 右に回転
    case CommandId::tbRRotate: TurnPicture(dc, x, y, false); break;  // 左に回転
    case CommandId::tbReset: ResetPicture(dc, x, y); break;
    default: break;
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
