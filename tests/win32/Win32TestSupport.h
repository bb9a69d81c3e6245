#pragma once
// Shared pieces of the Win32-side tests: a window that shows known colours at a
// known place on the screen, message pumping, polling, and a reference decoder
// of captured pixels.
#include <windows.h>
#include <intrin.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "image/Image.h"

namespace ocu::wintest {

struct Rgb {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline Rgb FromColorRef(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

// The colour of one pixel of a DIB-layout image, whatever its format.
inline Rgb PixelRgb(const Image& img, int x, int y) {
    const std::uint8_t* row = img.Row(y);
    auto scale = [](unsigned v, unsigned max) { return static_cast<int>(v * 255 / max); };
    switch (img.Format()) {
    case PixelFormat::Bits32:
    case PixelFormat::Bits24: {
        const std::uint8_t* p = row + x * (img.Format() == PixelFormat::Bits32 ? 4 : 3);
        return {p[2], p[1], p[0]};
    }
    case PixelFormat::Bits16: {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        return {scale((v >> 11) & 31, 31), scale((v >> 5) & 63, 63), scale(v & 31, 31)};
    }
    case PixelFormat::Bits15: {
        const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        return {scale((v >> 10) & 31, 31), scale((v >> 5) & 31, 31), scale(v & 31, 31)};
    }
    case PixelFormat::Bits8: {
        const PaletteEntry& e = img.Palette().at(row[x]);
        return {e.red, e.green, e.blue};
    }
    default: return {-1, -1, -1};
    }
}

inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Pumps messages until `done` holds or the time is up; the result of the last check.
inline bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// A borderless topmost window whose client area is exactly `area` on the screen,
// painted in four unequal blocks (the split is off-centre so that an off-by-one
// in the capture shows) with a one-pixel black line down column `LineX`.
class ColourWindow {
public:
    static constexpr COLORREF TopLeft = RGB(255, 0, 0);
    static constexpr COLORREF TopRight = RGB(0, 255, 0);
    static constexpr COLORREF BottomLeft = RGB(0, 0, 255);
    static constexpr COLORREF BottomRight = RGB(255, 255, 255);
    static constexpr COLORREF Line = RGB(0, 0, 0);

    explicit ColourWindow(RECT area) : area_(area) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OcuColourWindow";
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"OcuColourWindow", L"colours", WS_POPUP, area.left,
                                  area.top, area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                                  wc.hInstance, this);
        ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        ::UpdateWindow(hwnd_);
    }
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;
    ~ColourWindow() { ::DestroyWindow(hwnd_); }

    HWND Handle() const { return hwnd_; }
    int Width() const { return area_.right - area_.left; }
    int Height() const { return area_.bottom - area_.top; }
    int SplitX() const { return Width() / 3; }
    int SplitY() const { return Height() / 2 + 1; }
    int LineX() const { return Width() - 5; }

    // The colour at a client point of the window.
    COLORREF Expected(int x, int y) const {
        if (x == LineX()) return Line;
        if (y < SplitY()) return x < SplitX() ? TopLeft : TopRight;
        return x < SplitX() ? BottomLeft : BottomRight;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE)
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ColourWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_PAINT && self != nullptr) {
            PAINTSTRUCT ps;
            const HDC dc = ::BeginPaint(hwnd, &ps);
            self->Paint(dc);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        if (msg == WM_ERASEBKGND) return 1;
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    void Paint(HDC dc) const {
        auto fill = [dc](int l, int t, int r, int b, COLORREF c) {
            const RECT rc{l, t, r, b};
            const HBRUSH brush = ::CreateSolidBrush(c);
            ::FillRect(dc, &rc, brush);
            ::DeleteObject(brush);
        };
        fill(0, 0, SplitX(), SplitY(), TopLeft);
        fill(SplitX(), 0, Width(), SplitY(), TopRight);
        fill(0, SplitY(), SplitX(), Height(), BottomLeft);
        fill(SplitX(), SplitY(), Width(), Height(), BottomRight);
        fill(LineX(), 0, LineX() + 1, Height(), Line);
    }

    RECT area_;
    HWND hwnd_ = nullptr;
};

// Closes every message box this process opens, from a thread of its own, and
// keeps their texts: the behaviour may ask the user something (hot keys that
// another program holds, for one) and a test must not wait for a person.
class MessageBoxCloser {
public:
    MessageBoxCloser() : thread_([this] { Run(); }) {}
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;
    ~MessageBoxCloser() {
        stop_ = true;
        thread_.join();
    }
    std::vector<std::wstring> Texts() {
        std::lock_guard<std::mutex> lock(mutex_);
        return texts_;
    }

private:
    static BOOL CALLBACK Visit(HWND w, LPARAM self) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(w, &pid);
        wchar_t cls[16]{};
        ::GetClassNameW(w, cls, 16);
        if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(w) && std::wstring(cls) == L"#32770") {
            wchar_t text[512]{};
            ::GetDlgItemTextW(w, 0xFFFF, text, 512);  // the message text of a message box
            auto* closer = reinterpret_cast<MessageBoxCloser*>(self);
            {
                std::lock_guard<std::mutex> lock(closer->mutex_);
                closer->texts_.emplace_back(text);
            }
            ::PostMessageW(w, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    void Run() {
        while (!stop_) {
            ::EnumWindows(Visit, reinterpret_cast<LPARAM>(this));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

// GDI objects in use by this process. Wine has no GetGuiResources; there the
// objects are counted in the process's GDI handle table, which Wine keeps in the
// Windows layout (PEB GdiSharedHandleTable, 24-byte entries, type byte at 14).
inline long GdiObjectsInUse() {
    const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<long>(counted);
    // The PEB's address from the TEB (gs:0x60), read without __readgsqword, whose memory
    // operand at address 0x60 the compiler's bounds check takes for a null dereference.
    std::uintptr_t pebAddress = 0;
    __asm__("movq %%gs:0x60, %0" : "=r"(pebAddress));
    const auto* peb = reinterpret_cast<const std::uint8_t*>(pebAddress);
    const auto* table = *reinterpret_cast<const std::uint8_t* const*>(peb + 0xF8);
    if (table == nullptr) return -1;
    constexpr int kWineHandles = 16384;
    long live = 0;
    for (int i = 0; i < kWineHandles; ++i)
        if (table[i * 24 + 14] != 0) ++live;
    return live;
}

}  // namespace ocu::wintest
