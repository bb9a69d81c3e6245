#include "platform/win32/ScreenMarker.h"

namespace ocu::win {
namespace {

void OutlineOnScreen(IntRect r, HPEN pen, int bkMode) {
    if (pen == nullptr) return;
    const HWND desktop = ::GetDesktopWindow();
    const unique_hdc_window screen = win::GetWindowDC(desktop);
    if (!screen) return;
    const unique_select_object usePen(screen.get(), pen);
    const unique_select_object noFill(screen.get(), ::GetStockObject(NULL_BRUSH));
    const int oldMode = ::SetBkMode(screen.get(), bkMode);
    ::Rectangle(screen.get(), r.Left, r.Top, r.Right, r.Bottom);
    ::SetBkMode(screen.get(), oldMode);
}

}  // namespace

bool ScreenMarker::EnsureBackup(HDC screen, int w, int h) {
    if (backup_ && w == width_ && h == height_) return true;
    Release();
    if (w <= 0 || h <= 0 || !backup_.Reset(screen, unique_hbitmap(::CreateCompatibleBitmap(screen, w, h))))
        return false;
    width_ = w;
    height_ = h;
    return true;
}

void ScreenMarker::SaveBackup(IntRect area) {
    const HWND desktop = ::GetDesktopWindow();
    const unique_hdc_window screen = win::GetWindowDC(desktop);
    if (!screen || !EnsureBackup(screen.get(), area.Width(), area.Height())) return;
    ::BitBlt(backup_.dc.get(), 0, 0, width_, height_, screen.get(), area.Left, area.Top, SRCCOPY);
}

void ScreenMarker::RestoreBackup(IntRect area) {
    if (!backup_) return;
    const HWND desktop = ::GetDesktopWindow();
    const unique_hdc_window screen = win::GetWindowDC(desktop);
    if (!screen) return;
    ::BitBlt(screen.get(), area.Left, area.Top, area.Width(), area.Height(), backup_.dc.get(), 0, 0, SRCCOPY);
}

void ScreenMarker::DrawOutline(IntRect r) {
    // No fill: the gaps of the dashes show the screen, as the marker's clear brush did.
    const unique_hpen pen(::CreatePen(PS_DASH, 1, RGB(0, 0, 0)));
    OutlineOnScreen(r, pen.get(), TRANSPARENT);
}

void ScreenMarker::DrawFrame(IntRect r) {
    const unique_hpen pen(::CreatePen(PS_SOLID, 2, RGB(255, 0, 0)));
    OutlineOnScreen(r, pen.get(), OPAQUE);
}

void ScreenMarker::Release() noexcept {
    backup_.Release();
    width_ = height_ = 0;
}

}  // namespace ocu::win
