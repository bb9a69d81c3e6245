// Asks the running magnifier what a test cannot see from X: where its client area
// lies, and the state of its menu entries. It can also choose a menu entry the way
// the menu does (WM_COMMAND), for commands a test has no other way to reach.
//
//   helper_query.exe client              -> "client <x> <y> <w> <h>" (screen coordinates)
//   helper_query.exe menu <id>           -> "menu <id> checked=<0|1> enabled=<0|1>"
//   helper_query.exe command <id>        -> posts WM_COMMAND <id> to the main window
//   helper_query.exe hotkey <mods> <vk>  -> "hotkey free" or "hotkey taken" (tries RegisterHotKey)
//   helper_query.exe hold <mods> <vk> <seconds> -> holds the hot key for that long
// Prints to the file given as the last argument (Wine's console output is unreliable).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

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
    FILE* out = _wfopen(argv[argc - 1], L"w");
    if (out == nullptr) return 3;
    const HWND main = FindWindowW(L"TfrmCap", nullptr);
    const wchar_t* verb = argv[1];
    int rc = 0;
    if (std::wcscmp(verb, L"client") == 0 && main != nullptr) {
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
    } else {
        rc = main == nullptr ? 5 : 2;
    }
    std::fclose(out);
    return rc;
}
