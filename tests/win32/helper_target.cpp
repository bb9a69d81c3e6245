// A small target window for the end-to-end tests: it sits at a known place and writes down
// every mouse message it receives, so a test can check what the magnifier passed through.
//
//   helper_target.exe x y w h logfile [hang | hangonclick | failstarts N | framed]
//
// The window is a borderless popup whose client area is exactly x,y,w,h on the screen, so
// client coordinates are screen coordinates minus (x, y) with no frame to account for.
// "framed" gives it a caption and a frame, its outer corner at (x, y); each move logs message
// 0 with the client area's corner on the screen, wParam 1 if that lies apart from (x, y).
// Log lines: "<msg hex> <wParam hex> <x> <y>", x and y as the signed client (or, for the
// wheel messages, screen) coordinates packed in lParam.
// "hang" stops pumping messages two seconds after start, to stand in for a hung program.
// "hangonclick" stops inside the first left-button press it gets (logged first), so a test
// can pick the window while it still answers and have it hang at a known moment.
// "failstarts N" ends with 1 before any window on its first N starts in a folder (counted in
// starts.txt there), as a program does when Wine could not bring up its desktop.
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <cwchar>

namespace {

FILE* g_log = nullptr;
bool g_hangOnClick = false;
constexpr UINT_PTR kHangTimer = 1;

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        if (g_log) {
            std::fprintf(g_log, "%04x %llx %d %d\n", msg, static_cast<unsigned long long>(wParam), GET_X_LPARAM(lParam),
                         GET_Y_LPARAM(lParam));
            std::fflush(g_log);
        }
        if (g_hangOnClick && msg == WM_LBUTTONDOWN)
            for (;;) Sleep(1000);
        return 0;
    }
    switch (msg) {
    case WM_MOVE:
        if (g_log && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
            RECT window{};
            GetWindowRect(hwnd, &window);
            std::fprintf(g_log, "0000 %d %d %d\n",
                         GET_X_LPARAM(lParam) != window.left || GET_Y_LPARAM(lParam) != window.top,
                         GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            std::fflush(g_log);
        }
        return 0;
    case WM_TIMER:
        if (wParam == kHangTimer) {
            KillTimer(hwnd, kHangTimer);
            for (;;) Sleep(1000);
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 6) {
        MessageBoxW(nullptr, L"usage: helper_target x y w h logfile [hang]", L"OcuTarget", MB_OK);
        return 2;
    }
    const int x = _wtoi(argv[1]), y = _wtoi(argv[2]), w = _wtoi(argv[3]), h = _wtoi(argv[4]);
    g_log = _wfopen(argv[5], L"a");
    const bool hang = argc > 6 && std::wcscmp(argv[6], L"hang") == 0;
    g_hangOnClick = argc > 6 && std::wcscmp(argv[6], L"hangonclick") == 0;
    const bool framed = argc > 6 && std::wcscmp(argv[6], L"framed") == 0;
    const int failStarts = argc > 7 && std::wcscmp(argv[6], L"failstarts") == 0 ? _wtoi(argv[7]) : 0;
    LocalFree(argv);
    if (!g_log) return 3;
    if (failStarts > 0) {
        int starts = 0;
        if (FILE* f = _wfopen(L"starts.txt", L"r")) {
            if (std::fscanf(f, "%d", &starts) != 1) starts = 0;
            std::fclose(f);
        }
        if (FILE* f = _wfopen(L"starts.txt", L"w")) {
            std::fprintf(f, "%d\n", starts + 1);
            std::fclose(f);
        }
        if (starts < failStarts) return 1;
    }

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"OcuTargetClass";
    if (!RegisterClassExW(&wc)) return 4;

    const DWORD style = (framed ? WS_OVERLAPPEDWINDOW : WS_POPUP) | WS_VISIBLE;
    HWND hwnd =
        CreateWindowExW(0, wc.lpszClassName, L"OcuTarget", style, x, y, w, h, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 5;
    if (hang) SetTimer(hwnd, kHangTimer, 2000, nullptr);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    std::fclose(g_log);
    return 0;
}
