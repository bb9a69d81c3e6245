#include "platform/win32/ScreenCapture.h"

#include "platform/win32/Handles.h"

namespace ocu::win {

PixelFormat ScreenPixelFormat() {
    const unique_hdc_window screen = win::GetDC(nullptr);
    if (!screen) return PixelFormat::Bits32;
    return FormatForDepth(::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES));
}

std::vector<PaletteEntry> ScreenPalette(HDC screen, PixelFormat format) {
    if (!IsIndexed(format)) return {};
    const UINT count = 1u << BitsPerPixel(format);
    std::vector<PALETTEENTRY> system(count);
    UINT got = 0;
    if ((::GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0)
        got = ::GetSystemPaletteEntries(screen, 0, count, system.data());
    if (got != count) return FallbackPalette(format);
    std::vector<PaletteEntry> palette(count);
    for (UINT i = 0; i < count; ++i) palette[i] = {system[i].peRed, system[i].peGreen, system[i].peBlue, 0};
    return palette;
}

HDC ScreenCapture::Screen() {
    if (!screen_) screen_ = win::GetWindowDC(::GetDesktopWindow());
    return screen_.get();
}

PixelFormat ScreenCapture::ScreenFormat() {
    const HDC screen = Screen();
    if (screen == nullptr) return PixelFormat::Bits32;
    return FormatForDepth(::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES));
}

Image* ScreenCapture::Capture(int x, int y, int w, int h, PixelFormat format) {
    if (w <= 0 || h <= 0) return nullptr;
    const HDC screen = Screen();
    if (screen == nullptr) return nullptr;
    if (!dib_.Ensure(w, h, format, ScreenPalette(screen, format))) return nullptr;
    if (!::BitBlt(dib_.Dc(), 0, 0, w, h, screen, x, y, SRCCOPY)) {
        screen_.reset();  // taken afresh next time, in case the DC itself went bad
        return nullptr;
    }
    // GDI may batch the copy; the core reads the bits directly.
    ::GdiFlush();
    return &dib_.View();
}

}  // namespace ocu::win
