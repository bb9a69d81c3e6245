#include "platform/win32/InputBox.h"

#include <algorithm>
#include <vector>

#include "base/LineBreaks.h"
#include "mainwindow/DialogLayout.h"
#include "mainwindow/Texts.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/ErrorReport.h"
#include "platform/win32/Handles.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;
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

void Move(HWND item, const IntRect& r) { ::MoveWindow(item, r.Left, r.Top, r.Width(), r.Height(), FALSE); }

void Layout(HWND dialog, const BoxState& s) {
    const int dpi = WindowDpi(dialog);
    const HWND prompt = ::GetDlgItem(dialog, kPromptId);
    const HWND edit = ::GetDlgItem(dialog, kEditId);
    const HWND ok = ::GetDlgItem(dialog, IDOK);
    const HWND cancel = ::GetDlgItem(dialog, IDCANCEL);
    for (HWND c : {prompt, edit, ok, cancel}) ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(s.font), FALSE);

    const unique_hdc_window dc = win::GetDC(dialog);
    const unique_select_object useFont(dc.get(), s.font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc.get(), &tm);
    RECT text{0, 0, InputBoxPromptWidth(dpi), 0};
    const std::wstring& p = *s.prompt;
    ::DrawTextW(dc.get(), p.empty() ? L" " : p.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);

    const InputBoxLayout l = LayoutInputBox(dpi, static_cast<int>(text.bottom), static_cast<int>(tm.tmHeight));
    Move(prompt, l.Prompt);
    Move(edit, l.Edit);
    Move(ok, l.Ok);
    Move(cancel, l.Cancel);
    RECT outer{0, 0, l.Client.X, l.Client.Y};
    AdjustWindowRectForDpi(outer, dialog, dpi);
    const IntPoint size{static_cast<int>(outer.right - outer.left), static_cast<int>(outer.bottom - outer.top)};
    // Centred on the owner when it is on screen, else on the work area.
    RECT around{};
    if (s.owner == nullptr || !::IsWindowVisible(s.owner) || ::IsIconic(s.owner) || !::GetWindowRect(s.owner, &around))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    const IntPoint at = CentredOn({static_cast<int>(around.left), static_cast<int>(around.top),
                                   static_cast<int>(around.right), static_cast<int>(around.bottom)},
                                  size);
    ::SetWindowPos(dialog, nullptr, at.X, at.Y, size.X, size.Y, SWP_NOZORDER | SWP_NOACTIVATE);
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

std::optional<std::wstring> ShowInputBox(HINSTANCE instance, HWND owner, const std::wstring& title,
                                         const std::wstring& prompt, const std::wstring& initial, HFONT font) {
    TemplateBuilder t;
    t.Header(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 4, title);
    t.Item(SS_LEFT | SS_NOPREFIX, kPromptId, 0x0082, L"");
    t.Item(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kEditId, 0x0081, L"");
    t.Item(WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 0x0080, L"OK");
    t.Item(WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 0x0080, Utf8ToWide(text::kCancelButton));
    const std::wstring shownPrompt = NormalizeLineBreaks(prompt);
    BoxState state{&shownPrompt, &initial, font, owner, {}};
    const INT_PTR r = ::DialogBoxIndirectParamW(instance, t.Get(), owner, BoxProc, reinterpret_cast<LPARAM>(&state));
    if (r != IDOK) return std::nullopt;
    return state.result;
}

}  // namespace ocu::win
