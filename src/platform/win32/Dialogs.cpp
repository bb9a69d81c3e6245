#include "platform/win32/Dialogs.h"

#include <cwchar>
#include <vector>

#include "dialogs/DialogTexts.h"
#include "mainwindow/DialogLayout.h"
#include "mainwindow/ViewLayout.h"
#include "platform/win32/DialogIds.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/ErrorReport.h"
#include "platform/win32/FileSettingsStore.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemColours.h"
#include "platform/win32/TextConvert.h"
#include "platform/win32/UiFont.h"

namespace ocu::win {
namespace {

// Pixel layouts of the dialogs at 96 dpi, scaled for the owner's monitor.
struct Placement {
    int id;
    DialogBox box;
};

void Layout(HWND dialog, int clientW, int clientH, const Placement* items, std::size_t count, bool outerSize) {
    const int dpi = WindowDpi(dialog);
    auto px = [dpi](int v) { return ScaleForDpi(v, dpi); };
    // The font grows with the boxes, or the text would stay small in a large dialog.
    const HFONT font = UiFont(dpi);
    RECT frame{0, 0, px(clientW), px(clientH)};
    if (!outerSize) AdjustWindowRectForDpi(frame, dialog, dpi);
    ::SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (std::size_t i = 0; i < count; ++i) {
        const HWND item = ::GetDlgItem(dialog, items[i].id);
        if (item == nullptr) continue;
        const DialogBox& b = items[i].box;
        ::SetWindowPos(item, nullptr, px(b.X), px(b.Y), px(b.W), px(b.H), SWP_NOZORDER | SWP_NOACTIVATE);
        if (font != nullptr) ::SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // Centred on the owner, as the main window's dialogs are.
    RECT owner{}, self{};
    const HWND parent = ::GetWindow(dialog, GW_OWNER);
    if (parent != nullptr && ::GetWindowRect(parent, &owner) && ::GetWindowRect(dialog, &self)) {
        const IntPoint at =
            CentredOn({static_cast<int>(owner.left), static_cast<int>(owner.top), static_cast<int>(owner.right),
                       static_cast<int>(owner.bottom)},
                      {static_cast<int>(self.right - self.left), static_cast<int>(self.bottom - self.top)});
        ::SetWindowPos(dialog, nullptr, at.X, at.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

struct OptionsState {
    OptionsChoice choice;
};

INT_PTR OptionsProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<OptionsState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        using L = OptionsDialogLayout;
        static constexpr Placement kItems[] = {
            {IDC_SHORTCUT_GROUP, L::kGroup},
            {IDC_RESIST_PROGRAM, L::kCheck},
            {IDOK, L::kOk},
            {IDCANCEL, L::kCancel},
        };
        Layout(dialog, L::kOuterSize.X, L::kOuterSize.Y, kItems, std::size(kItems), true);
        ::CheckDlgButton(dialog, IDC_RESIST_PROGRAM, state->choice.Shortcut ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* state = reinterpret_cast<OptionsState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
            state->choice.Shortcut = ::IsDlgButtonChecked(dialog, IDC_RESIST_PROGRAM) == BST_CHECKED;
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

struct VersionState {
    const std::wstring* version;
    const std::wstring* url;
    unique_hfont titleFont;
};

INT_PTR VersionProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<VersionState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        using L = VersionDialogLayout;
        static constexpr Placement kItems[] = {
            {IDC_VERSION_PANEL, L::kPanel},
            {IDC_PRODUCT_LABEL, L::kProduct},
            {IDC_VERSION_LABEL, L::kVersionLabel},
            {IDC_VERSION_MEMO, L::kVersionMemo},
            {IDC_URL_EDIT, L::kUrl},
            {IDC_MEMO2, L::kMemo2},
            {IDOK, L::kOk},
        };
        Layout(dialog, L::kClientSize.X, L::kClientSize.Y, kItems, std::size(kItems), false);
        LOGFONTW lf{};
        lf.lfHeight = -ScaleForDpi(L::kProductFontPixels, WindowDpi(dialog));
        lf.lfWeight = FW_BOLD;
        lf.lfCharSet = DEFAULT_CHARSET;
        const std::wstring face = UiFontFace();
        wcsncpy_s(lf.lfFaceName, face.c_str(), _TRUNCATE);
        state->titleFont.reset(::CreateFontIndirectW(&lf));
        if (state->titleFont)
            ::SendDlgItemMessageW(dialog, IDC_PRODUCT_LABEL, WM_SETFONT,
                                  reinterpret_cast<WPARAM>(state->titleFont.get()), FALSE);
        ::SetDlgItemTextW(dialog, IDC_VERSION_MEMO, state->version->c_str());
        ::SetDlgItemTextW(dialog, IDC_URL_EDIT, state->url->c_str());
        ::SetDlgItemTextW(dialog, IDC_MEMO2, Utf8ToWide(text::kVersionMemo2).c_str());
        // OK has the focus, so that Enter closes the dialog and no text shows selected.
        ::SetFocus(::GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_CTLCOLORSTATIC: {
        const HWND control = reinterpret_cast<HWND>(lParam);
        const int id = ::GetDlgCtrlID(control);
        if (id == IDC_PRODUCT_LABEL || id == IDC_URL_EDIT) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, CaptionText(RGB(0, 0, 255)));
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

std::optional<OptionsChoice> ShowOptionsDialog(HINSTANCE instance, HWND owner, OptionsChoice current) {
    OptionsState state{current};
    const INT_PTR result = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_OPTIONS), owner,
                                             GuardedDialogProc<OptionsProc>, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return state.choice;
}

void ShowVersionDialog(HINSTANCE instance, HWND owner, const std::wstring& versionText, const std::wstring& url) {
    VersionState state{&versionText, &url, {}};
    ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_VERSION), owner, GuardedDialogProc<VersionProc>,
                      reinterpret_cast<LPARAM>(&state));
}

std::wstring ReadFileVersionText() {
    const std::wstring module = ModulePath();
    if (module.empty()) return {};
    const wchar_t* path = module.c_str();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return {};
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path, 0, size, block.data())) return {};
    void* value = nullptr;
    UINT valueLength = 0;
    if (!::VerQueryValueW(block.data(), L"\\StringFileInfo\\041103A4\\FileVersion", &value, &valueLength) ||
        value == nullptr || valueLength == 0)
        return {};
    return std::wstring(static_cast<const wchar_t*>(value));
}

}  // namespace ocu::win
