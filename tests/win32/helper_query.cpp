// Asks the running magnifier what a test cannot see from X: where its client area
// lies, and the state of its menu entries. It can also choose a menu entry the way
// the menu does (WM_COMMAND), for commands a test has no other way to reach.
//
//   helper_query.exe client              -> "client <x> <y> <w> <h>" (screen coordinates)
//   helper_query.exe menu <id>           -> "menu <id> checked=<0|1> enabled=<0|1>"
//   helper_query.exe command <id>        -> posts WM_COMMAND <id> to the main window
//   helper_query.exe hotkey <mods> <vk>  -> "hotkey free" or "hotkey taken" (tries RegisterHotKey)
//   helper_query.exe hold <mods> <vk> <seconds> -> holds the hot key for that long
//   helper_query.exe dialog <id>         -> "dialog <title>", "text <text of item id>",
//                                           "checked <0|1>" of the dialog the main window
//                                           owns (UTF-8); "dialog none" when none is shown
//   helper_query.exe foreground          -> "foreground <0|1>": whether the main window is the
//                                           foreground window (has the keyboard)
//   helper_query.exe syscommand <id>     -> posts WM_SYSCOMMAND <id> (decimal) to the main
//                                           window, as its window menu or task bar button does
//   helper_query.exe iconic              -> "iconic <0|1>": whether the main window is minimised
//   helper_query.exe screen              -> "screen <x> <y> <w> <h>": the virtual screen as
//                                           this process's Wine describes it
//   helper_query.exe boxes               -> "box <title>\t<message text>" for every shown
//                                           dialog of any owner (message boxes shown after
//                                           the main window is gone included); "boxes none"
// Prints to the file given as the last argument (Wine's console output is unreliable).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "HelperText.h"

namespace {

struct OwnedDialog {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<OwnedDialog*>(param);
    wchar_t cls[32] = L"";
    GetClassNameW(hwnd, cls, 32);
    if (std::wcscmp(cls, L"#32770") == 0 && GetWindow(hwnd, GW_OWNER) == search->owner && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ListDialogs(HWND hwnd, LPARAM param) {
    wchar_t cls[32] = L"";
    GetClassNameW(hwnd, cls, 32);
    if (std::wcscmp(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        wchar_t title[256] = L"", text[1024] = L"";
        GetWindowTextW(hwnd, title, 256);
        GetDlgItemTextW(hwnd, 0xFFFF, text, 1024);
        auto* lines = reinterpret_cast<std::string*>(param);
        *lines += "box " + Utf8(title) + "\t" + Utf8(text) + "\n";
    }
    return TRUE;
}

HMENU FindMenuItem(HMENU menu, UINT id, UINT* position) {
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        if (GetMenuItemID(menu, i) == id) {
            *position = static_cast<UINT>(i);
            return menu;
        }
        if (HMENU sub = GetSubMenu(menu, i)) {
            if (HMENU found = FindMenuItem(sub, id, position)) return found;
        }
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    // Rectangles in the screen's own pixels: a program unaware of the DPI is told
    // them scaled down to 96 dpi, and the tests read the screen in real pixels.
    SetProcessDPIAware();
    FILE* out = _wfopen(argv[argc - 1], L"w");
    if (out == nullptr) return 3;
    const HWND main = FindWindowW(L"TfrmCap", nullptr);
    const wchar_t* verb = argv[1];
    int rc = 0;
    if (std::wcscmp(verb, L"screen") == 0) {
        std::fprintf(out, "screen %d %d %d %d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
                     GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     GetSystemMetrics(SM_CYVIRTUALSCREEN));
    } else if (std::wcscmp(verb, L"boxes") == 0) {
        std::string lines;
        EnumWindows(ListDialogs, reinterpret_cast<LPARAM>(&lines));
        std::fprintf(out, "%s", lines.empty() ? "boxes none\n" : lines.c_str());
    } else if (std::wcscmp(verb, L"client") == 0 && main != nullptr) {
        RECT r{};
        GetClientRect(main, &r);
        POINT origin{0, 0};
        ClientToScreen(main, &origin);
        std::fprintf(out, "client %ld %ld %ld %ld\n", origin.x, origin.y, r.right, r.bottom);
    } else if (std::wcscmp(verb, L"menu") == 0 && main != nullptr && argc >= 4) {
        const UINT id = static_cast<UINT>(_wtoi(argv[2]));
        UINT pos = 0;
        HMENU owner = FindMenuItem(GetMenu(main), id, &pos);
        if (owner == nullptr) {
            rc = 4;
        } else {
            const UINT state = GetMenuState(owner, pos, MF_BYPOSITION);
            std::fprintf(out, "menu %u checked=%d enabled=%d\n", id, (state & MF_CHECKED) ? 1 : 0,
                         (state & (MF_DISABLED | MF_GRAYED)) ? 0 : 1);
        }
    } else if (std::wcscmp(verb, L"command") == 0 && main != nullptr && argc >= 4) {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(_wtoi(argv[2]), 0), 0);
        std::fprintf(out, "posted\n");
    } else if ((std::wcscmp(verb, L"hotkey") == 0 || std::wcscmp(verb, L"hold") == 0) && argc >= 5) {
        const UINT mods = static_cast<UINT>(_wtoi(argv[2]));
        const UINT vk = static_cast<UINT>(_wtoi(argv[3]));
        const bool ok = RegisterHotKey(nullptr, 1, mods, vk) != FALSE;
        std::fprintf(out, "hotkey %s\n", ok ? "free" : "taken");
        std::fflush(out);
        if (ok && std::wcscmp(verb, L"hold") == 0 && argc >= 6) Sleep(static_cast<DWORD>(_wtoi(argv[4])) * 1000);
        if (ok) UnregisterHotKey(nullptr, 1);
    } else if (std::wcscmp(verb, L"syscommand") == 0 && main != nullptr && argc >= 4) {
        PostMessageW(main, WM_SYSCOMMAND, static_cast<WPARAM>(_wtoi(argv[2])), 0);
        std::fprintf(out, "posted\n");
    } else if (std::wcscmp(verb, L"iconic") == 0 && main != nullptr) {
        std::fprintf(out, "iconic %d\n", IsIconic(main) ? 1 : 0);
    } else if (std::wcscmp(verb, L"foreground") == 0 && main != nullptr) {
        std::fprintf(out, "foreground %d\n", GetForegroundWindow() == main ? 1 : 0);
    } else if (std::wcscmp(verb, L"dialog") == 0 && main != nullptr && argc >= 4) {
        OwnedDialog search{main, nullptr};
        EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            std::fprintf(out, "dialog none\n");
        } else {
            const int id = _wtoi(argv[2]);
            wchar_t title[256] = L"", text[1024] = L"";
            GetWindowTextW(search.found, title, 256);
            GetDlgItemTextW(search.found, id, text, 1024);
            std::fprintf(out, "dialog %s\ntext %s\nchecked %d\n", Utf8(title).c_str(), Utf8(text).c_str(),
                         IsDlgButtonChecked(search.found, id) == BST_CHECKED ? 1 : 0);
        }
    } else {
        rc = main == nullptr ? 5 : 2;
    }
    std::fclose(out);
    return rc;
}
