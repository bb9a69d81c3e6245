#include "platform/win32/InputBox.h"

#include <algorithm>
#include <vector>

#include "mainwindow/ViewLayout.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/ErrorReport.h"
#include "platform/win32/Handles.h"

namespace ocu::win {
namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;
constexpr int kMargin = 8;
constexpr int kClientWidth = 300;
constexpr int kButtonWidth = 75;

// Builds a DLGTEMPLATE and its items in memory (the layout is redone in pixels
// at WM_INITDIALOG, so the dialog-unit sizes here are placeholders).
class TemplateBuilder {
public:
    void Header(DWORD style, WORD items, const std::wstring& title) {
        Dword(style);
        Dword(0);  // extended style
        Word(items);
        for (int i = 0; i < 4; ++i) Word(0);  // x, y, cx, cy
        Word(0);                              // no menu
        Word(0);                              // standard dialog class
        String(title);
    }
    void Item(DWORD style, WORD id, WORD classAtom, const std::wstring& text) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (int i = 0; i < 4; ++i) Word(0);
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        String(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void String(const std::wstring& s) {
        for (wchar_t c : s) Word(static_cast<WORD>(c));
        Word(0);
    }
    void Align() {
        if (words_.size() % 2 != 0) Word(0);
    }
    std::vector<WORD> words_;
};

struct BoxState {
    const std::wstring* prompt;
    const std::wstring* initial;
    HFONT font;
    HWND owner;
    std::wstring result;
};

void Layout(HWND dialog, const BoxState& s) {
    // The sizes below are pixels at 96 dpi; the box is laid out for the DPI it shows at.
    const int dpi = WindowDpi(dialog);
    const auto px = [dpi](int v) { return ScaleForDpi(v, dpi); };
    const int margin = px(kMargin), clientWidth = px(kClientWidth), buttonWidth = px(kButtonWidth);
    const HWND prompt = ::GetDlgItem(dialog, kPromptId);
    const HWND edit = ::GetDlgItem(dialog, kEditId);
    const HWND ok = ::GetDlgItem(dialog, IDOK);
    const HWND cancel = ::GetDlgItem(dialog, IDCANCEL);
    for (HWND c : {prompt, edit, ok, cancel}) ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), FALSE);

    const unique_hdc_window dc = win::GetDC(dialog);
    const unique_select_object useFont(dc.get(), s.font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.get(), &tm);
    RECT text{0, 0, clientWidth - 2 * margin, 0};
    const std::wstring& p = *s.prompt;
    ::DrawTextW(dc.get(), p.empty() ? L" " : p.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);

    const int lineHeight = static_cast<int>(tm.tmHeight);
    int y = margin;
    ::MoveWindow(prompt, margin, y, clientWidth - 2 * margin, static_cast<int>(text.bottom), FALSE);
    y += static_cast<int>(text.bottom) + px(6);
    const int editHeight = lineHeight + px(8);
    ::MoveWindow(edit, margin, y, clientWidth - 2 * margin, editHeight, FALSE);
    y += editHeight + px(12);
    const int buttonHeight = std::max(px(25), lineHeight + px(10));
    ::MoveWindow(ok, clientWidth / 2 - buttonWidth - px(4), y, buttonWidth, buttonHeight, FALSE);
    ::MoveWindow(cancel, clientWidth / 2 + px(4), y, buttonWidth, buttonHeight, FALSE);
    const int clientHeight = y + buttonHeight + margin;

    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectForDpi(outer, dialog, dpi);
    const int w = outer.right - outer.left;
    const int h = outer.bottom - outer.top;
    // Centred on the owner when it is on screen, else on the work area.
    RECT around{};
    if (s.owner == nullptr || !::IsWindowVisible(s.owner) || ::IsIconic(s.owner) || !::GetWindowRect(s.owner, &around))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    const int x = around.left + (around.right - around.left - w) / 2;
    const int top = around.top + (around.bottom - around.top - h) / 2;
    ::SetWindowPos(dialog, nullptr, x, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK BoxProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = FALSE;
    Guarded(dialog, [&] {
        switch (msg) {
        case WM_INITDIALOG: {
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            const auto& s = *reinterpret_cast<BoxState*>(lParam);
            ::SetDlgItemTextW(dialog, kPromptId, s.prompt->c_str());
            ::SetDlgItemTextW(dialog, kEditId, s.initial->c_str());
            Layout(dialog, s);
            ::SendDlgItemMessageW(dialog, kEditId, EM_SETSEL, 0, -1);
            handled = TRUE;  // the edit field, first in tab order, gets the focus
            break;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto& s = *reinterpret_cast<BoxState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
                const HWND edit = ::GetDlgItem(dialog, kEditId);
                std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
                text.resize(
                    static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
                s.result = std::move(text);
                ::EndDialog(dialog, IDOK);
                handled = TRUE;
            } else if (LOWORD(wParam) == IDCANCEL) {
                ::EndDialog(dialog, IDCANCEL);
                handled = TRUE;
            }
            break;
        default: break;
        }
    });
    return handled;
}

}  // namespace

std::wstring NormalizeLineBreaks(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            out += L"\r\n";
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::wstring> ShowInputBox(HINSTANCE instance, HWND owner, const std::wstring& title,
                                         const std::wstring& prompt, const std::wstring& initial, HFONT font) {
    TemplateBuilder t;
    t.Header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 4, title);
    t.Item(SS_LEFT | SS_NOPREFIX, kPromptId, 0x0082, L"");
    t.Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEditId, 0x0081, L"");
    t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 0x0080, L"OK");
    t.Item(WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 0x0080, L"キャンセル");
    const std::wstring shownPrompt = NormalizeLineBreaks(prompt);
    BoxState state{&shownPrompt, &initial, font, owner, {}};
    const INT_PTR r = ::DialogBoxIndirectParamW(instance, t.Get(), owner, BoxProc, reinterpret_cast<LPARAM>(&state));
    if (r != IDOK) return std::nullopt;
    return state.result;
}

}  // namespace ocu::win
