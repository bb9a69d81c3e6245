#include "platform/win32/Dpi.h"

#include "mainwindow/ViewLayout.h"
#include "platform/win32/Handles.h"

namespace ocu::win {
namespace {

// Looked up at run time: Windows before 10 (1607) has none of them, and there every
// window shows at the system DPI, which the plain calls answer for.
template <class Fn>
Fn User32(const char* name) {
    return reinterpret_cast<Fn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int WindowDpi(HWND hwnd) {
    static const auto getDpi = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    UINT dpi = getDpi != nullptr && hwnd != nullptr ? getDpi(hwnd) : 0;
    if (dpi == 0) {
        if (const unique_hdc_window screen = win::GetDC(nullptr))
            dpi = static_cast<UINT>(::GetDeviceCaps(screen.get(), LOGPIXELSY));
    }
    return dpi == 0 ? kDesignDpi : static_cast<int>(dpi);
}

void AdjustWindowRectForDpi(RECT& rect, HWND window, int dpi) {
    static const auto adjust = User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (adjust == nullptr || !adjust(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto metric = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return metric != nullptr ? metric(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

}  // namespace ocu::win
