// The reference of scripts/bench: a magnifier tick written the straightforward GDI
// way, as a first version of such a program would be. Every 100 ms it reads the
// pointer, takes the screen DC, copies the area around the pointer into a new
// compatible bitmap, and either stretches it onto the window (angle 0) or reads
// its bits, enlarges and turns them with a scalar fixed-point loop into a new
// buffer and sets them onto the window. Nothing is kept between ticks.
//
//   gdi_tick.exe SIZE ZOOM ANGLE X Y     client SIZE x SIZE at screen X, Y
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

int g_size = 300, g_zoom = 4, g_angle = 0;

void Tick(HWND wnd) {
    POINT p{};
    ::GetCursorPos(&p);
    const int sw = g_size / g_zoom, sh = g_size / g_zoom;
    const HDC screen = ::GetDC(nullptr);
    const HDC mem = ::CreateCompatibleDC(screen);
    const HBITMAP bmp = ::CreateCompatibleBitmap(screen, sw, sh);
    const HGDIOBJ old = ::SelectObject(mem, bmp);
    ::BitBlt(mem, 0, 0, sw, sh, screen, p.x - sw / 2, p.y - sh / 2, SRCCOPY);
    const HDC out = ::GetDC(wnd);
    if (g_angle == 0) {
        ::StretchBlt(out, 0, 0, g_size, g_size, mem, 0, 0, sw, sh, SRCCOPY);
    } else {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = sw;
        bi.bmiHeader.biHeight = -sh;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        std::vector<std::uint32_t> src(static_cast<std::size_t>(sw) * sh);
        ::SelectObject(mem, old);
        ::GetDIBits(mem, bmp, 0, static_cast<UINT>(sh), src.data(), &bi, DIB_RGB_COLORS);
        std::vector<std::uint32_t> dst(static_cast<std::size_t>(g_size) * g_size, 0xFFFFFFu);
        const double t = g_angle * 3.14159265358979 / 180.0;
        const int c = static_cast<int>(std::lround(std::cos(t) * 1024)),
                  s = static_cast<int>(std::lround(std::sin(t) * 1024));
        const int half = g_size / 2;
        for (int r = 0; r < g_size; ++r) {
            for (int col = 0; col < g_size; ++col) {
                const int x = ((col - half) * c - (r - half) * s) / 1024 + half;
                const int y = ((col - half) * s + (r - half) * c) / 1024 + half;
                if (x < 0 || y < 0 || x >= g_size || y >= g_size) continue;
                dst[static_cast<std::size_t>(r) * g_size + col] =
                    src[static_cast<std::size_t>(y * sh / g_size) * sw + x * sw / g_size];
            }
        }
        bi.bmiHeader.biWidth = g_size;
        bi.bmiHeader.biHeight = -g_size;
        ::SetDIBitsToDevice(out, 0, 0, static_cast<DWORD>(g_size), static_cast<DWORD>(g_size), 0, 0, 0,
                            static_cast<UINT>(g_size), dst.data(), &bi, DIB_RGB_COLORS);
        ::SelectObject(mem, bmp);
    }
    ::ReleaseDC(wnd, out);
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
}

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER: Tick(wnd); return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcW(wnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    int x = 920, y = 40;
    if (argc > 5) {
        g_size = _wtoi(argv[1]);
        g_zoom = _wtoi(argv[2]);
        g_angle = _wtoi(argv[3]);
        x = _wtoi(argv[4]);
        y = _wtoi(argv[5]);
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"GdiTickReference";
    ::RegisterClassW(&wc);
    RECT r{0, 0, g_size, g_size};
    ::AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    const HWND wnd = ::CreateWindowW(L"GdiTickReference", L"GDI tick reference", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y,
                                     r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    ::SetTimer(wnd, 1, 100, nullptr);
    MSG m;
    while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&m);
        ::DispatchMessageW(&m);
    }
    return 0;
}
