#include "platform/win32/StatusBar.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {

// Visual styles ignore a status bar's background colour; a bar that must be
// cream is drawn classic. uxtheme is loaded by hand: it is absent on some
// systems, and the bar works without it.
void DrawClassic(HWND bar) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const HMODULE uxtheme = ::LoadLibraryW(L"uxtheme.dll");
    if (uxtheme == nullptr) return;
    const auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setTheme != nullptr) setTheme(bar, L"", L"");
}

}  // namespace

HWND CreateStatusBar(HWND parent, HINSTANCE instance, int controlId, std::initializer_list<int> panelWidths,
                     HFONT font, COLORREF background, bool sizeGrip) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NORESIZE | CCS_NOPARENTALIGN |
                        CCS_NODIVIDER | (sizeGrip ? SBARS_SIZEGRIP : 0);
    const HWND bar = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
    if (bar == nullptr) return nullptr;
    ::SendMessageW(bar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    std::vector<int> edges;
    int right = 0;
    for (int w : panelWidths) edges.push_back(right += w);
    if (!edges.empty()) edges.back() = -1;
    ::SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    if (background != CLR_DEFAULT) {
        DrawClassic(bar);
        ::SendMessageW(bar, SB_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    }
    return bar;
}

void SetStatusPanelText(HWND bar, int panel, std::string_view utf8) {
    const std::wstring text = Utf8ToWide(utf8);
    ::SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(panel & 0xFF), reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace ocu::win
