#include "platform/win32/StatusBar.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "mainwindow/ErrorTexts.h"
#include "platform/win32/Handles.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {

// Room a panel needs beside its text: its borders and the control's margins.
constexpr int kPanelPadding = 10;

// Visual styles ignore a status bar's background colour; a bar that must be
// cream is drawn classic. uxtheme is loaded by hand: it is absent on some
// systems, and the bar works without it.
void DrawClassic(HWND bar) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    static const HMODULE uxtheme = ::LoadLibraryW(L"uxtheme.dll");
    if (uxtheme == nullptr) return;
    const auto setTheme =
        reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void (*)()>(::GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setTheme != nullptr) setTheme(bar, L"", L"");
}

}  // namespace

StatusBar::StatusBar(HWND parent, HINSTANCE instance, int controlId, std::initializer_list<int> panelWidths, HFONT font,
                     COLORREF background, bool sizeGrip)
    : font_(font), widths_(panelWidths) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER |
                        (sizeGrip ? SBARS_SIZEGRIP : 0);
    hwnd_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
    if (hwnd_ == nullptr) throw std::runtime_error(std::string(text::kNoStatusBar));
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ApplyPanels();
    // Classic on every system, so that the face behind a panel is one known
    // colour and a panel can be repainted on its own (SetSwatchText).
    DrawClassic(hwnd_);
    if (background != CLR_DEFAULT) ::SendMessageW(hwnd_, SB_SETBKCOLOR, 0, static_cast<LPARAM>(background));
    face_ = background != CLR_DEFAULT ? background : ::GetSysColor(COLOR_3DFACE);
}

void StatusBar::ApplyPanels() const {
    std::vector<int> edges;
    int right = 0;
    for (int w : widths_) edges.push_back(right += w);
    if (!edges.empty()) edges.back() = -1;
    ::SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

int StatusBar::TextWidth(const std::wstring& text) {
    // GDI's extent of a line is the sum of its characters' advances, so each
    // character is measured once. The pointer's coordinates are set on every
    // tick, and selecting a font into a DC goes through the display driver.
    int width = 0;
    for (const wchar_t ch : text) {
        auto known = advances_.find(ch);
        if (known == advances_.end()) known = advances_.emplace(ch, MeasureAdvance(ch)).first;
        width += known->second;
    }
    return width;
}

int StatusBar::MeasureAdvance(wchar_t ch) {
    if (!measureDc_) measureDc_.reset(::CreateCompatibleDC(nullptr));
    if (!measureDc_) return 0;
    const HDC dc = measureDc_.get();
    // Selected only while measuring: the font belongs to the parent, which
    // deletes it, and a font still selected into a DC cannot be deleted.
    const unique_select_object useFont(dc, font_);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, &ch, 1, &size);
    return static_cast<int>(size.cx);
}

void StatusBar::SetText(int panel, std::string_view utf8) {
    if (panel < 0 || panel >= static_cast<int>(widths_.size())) return;
    const std::wstring text = Utf8ToWide(utf8);
    const bool last = panel + 1 == static_cast<int>(widths_.size());
    if (!last && !text.empty()) {
        const int needed = TextWidth(text) + kPanelPadding;
        if (needed > widths_[panel]) {
            widths_[panel] = needed;
            ApplyPanels();
        }
    }
    ::SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.c_str()));
}

void StatusBar::SetSwatchText(int panel, std::optional<COLORREF> color, std::string_view utf8) {
    if (panel < 0 || panel >= static_cast<int>(widths_.size())) return;
    swatchColor_ = color;
    swatchText_ = Utf8ToWide(utf8);
    if (swatchPanel_ != panel) {
        // Made owner-drawn once; the bar repaints the panel as it takes the style.
        swatchPanel_ = panel;
        ::SendMessageW(hwnd_, SB_SETTEXTW, static_cast<WPARAM>(panel) | SBT_OWNERDRAW, 0);
        return;
    }
    // Only this panel, at once and by itself: the colour under a moving pointer
    // changes on most ticks, and the bar's own repaint draws every panel, its
    // edges and the hint beside, which under Wine costs more than the frame.
    if (swatchRect_ && ::IsWindowVisible(hwnd_)) {
        if (const unique_hdc_window dc = win::GetDC(hwnd_)) {
            DrawSwatch(dc.get(), *swatchRect_);
            return;
        }
    }
    RECT part{};
    if (::SendMessageW(hwnd_, SB_GETRECT, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(&part)) != 0) {
        ::InvalidateRect(hwnd_, &part, FALSE);
    } else {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

bool StatusBar::DrawPanel(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != hwnd_ || static_cast<int>(item.itemID) != swatchPanel_) return false;
    swatchRect_ = item.rcItem;  // inside the panel's edge, as the bar lays it out
    DrawSwatch(item.hDC, item.rcItem);
    return true;
}

// Opaque over the whole panel, so that drawing it again needs no repaint of
// the bar behind it first.
void StatusBar::DrawSwatch(HDC dc, RECT r) const {
    if (const HBRUSH face = ::CreateSolidBrush(face_)) {
        ::FillRect(dc, &r, face);
        ::DeleteObject(face);
    }
    const int side = std::max<int>(0, (r.bottom - r.top) - 4);
    if (swatchColor_ && side > 0) {
        RECT square{r.left + 2, r.top + 2, r.left + 2 + side, r.top + 2 + side};
        if (const HBRUSH fill = ::CreateSolidBrush(*swatchColor_)) {
            ::FillRect(dc, &square, fill);
            ::DeleteObject(fill);
        }
        ::FrameRect(dc, &square, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    r.left += side + 6;
    const unique_select_object useFont(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, swatchText_.c_str(), static_cast<int>(swatchText_.size()), &r,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

int StatusBar::PanelWidth(int panel) const {
    return panel >= 0 && panel < static_cast<int>(widths_.size()) ? widths_[panel] : 0;
}

std::wstring StatusBar::Text(int panel) const {
    const auto length = LOWORD(::SendMessageW(hwnd_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(hwnd_, SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length);
    return text;
}

}  // namespace ocu::win
