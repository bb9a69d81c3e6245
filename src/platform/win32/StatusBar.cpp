#include "platform/win32/StatusBar.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "mainwindow/ErrorTexts.h"
#include "mainwindow/ViewLayout.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemColours.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
StatusBar::StatusBar(HWND parent, HINSTANCE instance, int controlId, std::initializer_list<int> panelWidths, HFONT font,
                     COLORREF background, bool sizeGrip, int dpi)
    : font_(font),
      designWidths_(panelWidths),
      dpi_(dpi),
      texts_(designWidths_.size()),
      background_(background),
      sizeGrip_(sizeGrip) {
    panels_.LayOut(designWidths_, dpi_);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER |
                        (sizeGrip ? SBARS_SIZEGRIP : 0);
    hwnd_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
    if (hwnd_ == nullptr) throw std::runtime_error(std::string(text::kNoStatusBar));
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ApplyPanels();
    ::SetWindowSubclass(hwnd_, &StatusBar::Painted, 0, reinterpret_cast<DWORD_PTR>(this));
}

// The bar answers for its texts (SB_GETTEXT and the window text, for assistive
// and automation tools, in both character sets) but is painted
// here: the pointer's coordinates and its colour change on every tick, and the
// control repaints itself whole for each (every panel, its edges, the grip),
// which under Wine costs about as much as the rest of the frame. Painted here,
// only the panels inside the update are drawn, each the classic way.
LRESULT CALLBACK StatusBar::Painted(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
    const auto* bar = reinterpret_cast<const StatusBar*>(self);
    switch (msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        if (wParam != 0) {
            RECT all{};
            ::GetClientRect(hwnd, &all);
            bar->Paint(reinterpret_cast<HDC>(wParam), all);
            return 0;
        }
        const unique_hdc_paint paint(hwnd);
        if (paint.get() != nullptr) bar->Paint(paint.get(), paint.paint().rcPaint);
        return 0;
    }
    case WM_ERASEBKGND: return 1;  // Paint fills the face itself
    case SB_GETTEXTLENGTHW: return bar->AnswerText(wParam, nullptr);
    case SB_GETTEXTW: return bar->AnswerText(wParam, reinterpret_cast<wchar_t*>(lParam));
    case SB_GETTEXTLENGTHA: return bar->AnswerAnsiText(wParam, nullptr);
    case SB_GETTEXTA: return bar->AnswerAnsiText(wParam, reinterpret_cast<char*>(lParam));
    // The bar's window text is its first panel's, as the control has it; the
    // system converts both for a caller that asks in ANSI.
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(bar->Text(0).size());
    case WM_GETTEXT: return bar->AnswerWindowText(wParam, reinterpret_cast<wchar_t*>(lParam));
    case WM_NCDESTROY: ::RemoveWindowSubclass(hwnd, &StatusBar::Painted, id); break;
    default: break;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

void StatusBar::Paint(HDC dc, const RECT& update) const {
    FillFace(dc, update);
    const unique_select_object useFont(dc, font_);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    for (int panel = 0; panel < PanelCount(); ++panel) {
        const RECT part = PanelRect(panel);
        RECT shown{};
        if (::IntersectRect(&shown, &part, &update)) PaintPanel(dc, panel, part);
    }
    DrawGrip(dc);
}

void StatusBar::DrawGrip(HDC dc) const {
    if (!sizeGrip_) return;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    // The classic grip's ridges, drawn on the bar's own face: DrawFrameControl
    // fills its square with the system's button face first, a grey block on cream.
    const int side = GripSide(client);
    const int step = std::max(1, ScaleForDpi(1, dpi_));
    const COLORREF ridge[] = {::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW),
                              ::GetSysColor(COLOR_BTNSHADOW)};
    for (int from = step; from + 3 * step <= side; from += 4 * step) {
        for (int line = 0; line < 3; ++line) {
            const unique_hpen pen(::CreatePen(PS_SOLID, 1, ridge[line]));
            if (!pen) continue;
            const unique_select_object usePen(dc, pen.get());
            for (int k = 0; k < step; ++k) {
                const int d = from + (line * step) + k;
                ::MoveToEx(dc, client.right - d, client.bottom, nullptr);
                ::LineTo(dc, client.right, client.bottom - d);
            }
        }
    }
}

// Laid out here rather than asked of the bar: a bar placed by its parent
// (CCS_NORESIZE) may keep the panels' bounds of an earlier size.
RECT StatusBar::PanelRect(int panel) const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    int borders[3]{};  // horizontal, vertical, between panels
    ::SendMessageW(hwnd_, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    // No panel runs under the grip.
    const int end = static_cast<int>(client.right) - (sizeGrip_ ? GripSide(client) : 0);
    const auto [left, right] = panels_.Span(panel, borders[2], static_cast<int>(client.right), end);
    return {left, borders[1], right, client.bottom};
}

int StatusBar::GripSide(const RECT& client) const {
    return std::min<int>(SystemMetricForDpi(SM_CXVSCROLL, dpi_), client.bottom);
}

void StatusBar::FillFace(HDC dc, const RECT& r) const {
    // The system's face is asked each time: the user may change it while we run.
    if (const unique_hbrush face{::CreateSolidBrush(BarFace(background_))}) ::FillRect(dc, &r, face.get());
}

// Expects the bar's font and text colour selected.
void StatusBar::PaintPanel(HDC dc, int panel, RECT part) const {
    // A sunken panel with its text, as DrawStatusText draws one without a visual
    // style; that function takes the style's pane when one is active, which
    // would hide the bar's own colour (the status bar's is cream).
    FillFace(dc, part);
    ::DrawEdge(dc, &part, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (panel == swatchPanel_) {
        DrawSwatch(dc, part);
        return;
    }
    part.left += ScaleForDpi(3, dpi_);
    ::SetBkMode(dc, TRANSPARENT);
    const std::wstring& text = texts_[static_cast<std::size_t>(panel)];
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &part,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void StatusBar::ApplyPanels() const {
    const std::vector<int> edges = panels_.Edges();
    ::SendMessageW(hwnd_, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void StatusBar::SetDpi(int dpi, HFONT font) {
    dpi_ = dpi;
    font_ = font;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    advances_.clear();  // measured in the old font
    LayOutPanels();
}

// The design widths at the current DPI, each panel but the last grown to its text.
void StatusBar::LayOutPanels() {
    std::vector<int> textWidths(designWidths_.size());
    for (std::size_t i = 0; i + 1 < textWidths.size(); ++i)
        if (!texts_[i].empty()) textWidths[i] = TextWidth(texts_[i]);
    panels_.LayOut(designWidths_, dpi_, textWidths);
    ApplyPanels();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
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
    if (panel < 0 || panel >= PanelCount()) return;
    const std::wstring text = Utf8ToWide(utf8);
    // The last panel runs to the bar's end and never grows: its text is not measured.
    const bool relaid = panel + 1 < PanelCount() && !text.empty() && panels_.Fit(panel, TextWidth(text));
    if (relaid) ApplyPanels();
    StoreText(panel, text);
    if (relaid) {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    } else {
        PaintPanelNow(panel);
    }
}

// The texts live here and the bar's SB_GETTEXT answers from them: handing
// the coordinates to the control on every tick (without its repaint) cost
// about as much under Wine as drawing them.
void StatusBar::StoreText(int panel, const std::wstring& text) {
    std::wstring& stored = texts_[static_cast<std::size_t>(panel)];
    if (stored == text) return;
    stored = text;
    // Screen readers take a panel's text from the bar as a child (1 for the first panel),
    // and follow it only when told that its name changed.
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd_, OBJID_CLIENT, panel + 1);
}

// The caller's buffer has room for what the length message answered: at most
// 65535 characters, and the text is cut there as the control cuts it.
LRESULT StatusBar::AnswerText(WPARAM panel, wchar_t* buffer) const {
    if (panel >= texts_.size()) return 0;
    const std::wstring& text = texts_[panel];
    const std::size_t length = std::min<std::size_t>(text.size(), 0xFFFF);
    if (buffer != nullptr) {
        std::copy_n(text.c_str(), length, buffer);
        buffer[length] = L'\0';
    }
    return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(length), 0));
}

// In the system's ANSI code page, as the control answers an ANSI caller: the
// length is in bytes of that page.
LRESULT StatusBar::AnswerAnsiText(WPARAM panel, char* buffer) const {
    if (panel >= texts_.size()) return 0;
    const std::wstring& text = texts_[panel];
    const int wide = static_cast<int>(std::min<std::size_t>(text.size(), 0xFFFF));
    const int needed =
        wide == 0 ? 0 : ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(needed, 0)), '\0');
    if (needed > 0) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, ansi.data(), needed, nullptr, nullptr);
    ansi.resize(std::min<std::size_t>(ansi.size(), 0xFFFF));
    if (buffer != nullptr) std::copy(ansi.c_str(), ansi.c_str() + ansi.size() + 1, buffer);
    return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(ansi.size()), 0));
}

// WM_GETTEXT's contract: at most `room` characters with the terminating null,
// and the number copied without it.
LRESULT StatusBar::AnswerWindowText(WPARAM room, wchar_t* buffer) const {
    if (buffer == nullptr || room == 0) return 0;
    const std::wstring text = Text(0);
    const std::size_t copied = std::min<std::size_t>(text.size(), room - 1);
    std::copy_n(text.c_str(), copied, buffer);
    buffer[copied] = L'\0';
    return static_cast<LRESULT>(copied);
}

void StatusBar::PaintPanelNow(int panel) const {
    if (!::IsWindowVisible(hwnd_)) return;  // painted whole when it shows
    const RECT part = PanelRect(panel);
    const unique_hdc_window dc = win::GetDC(hwnd_);
    if (!dc) {
        ::InvalidateRect(hwnd_, &part, FALSE);
        return;
    }
    const unique_select_object useFont(dc.get(), font_);
    ::SetTextColor(dc.get(), ::GetSysColor(COLOR_BTNTEXT));
    PaintPanel(dc.get(), panel, part);
}

void StatusBar::SetSwatchText(int panel, std::optional<COLORREF> color, std::string_view utf8) {
    if (panel < 0 || panel >= PanelCount()) return;
    swatchPanel_ = panel;
    swatchColor_ = color;
    StoreText(panel, Utf8ToWide(utf8));
    PaintPanelNow(panel);
}

// Inside the panel's edge: a square of the colour (none: no square), then the text.
void StatusBar::DrawSwatch(HDC dc, RECT r) const {
    const int inset = ScaleForDpi(2, dpi_);
    const int side = std::max<int>(0, (r.bottom - r.top) - 2 * inset);
    if (swatchColor_ && side > 0) {
        RECT square{r.left + inset, r.top + inset, r.left + inset + side, r.top + inset + side};
        if (const unique_hbrush fill{::CreateSolidBrush(*swatchColor_)}) ::FillRect(dc, &square, fill.get());
        ::FrameRect(dc, &square, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    r.left += side + 3 * inset;
    ::SetBkMode(dc, TRANSPARENT);
    const std::wstring& text = texts_[static_cast<std::size_t>(swatchPanel_)];
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void StatusBar::SetPanels(std::initializer_list<int> panelWidths) {
    designWidths_.assign(panelWidths);
    texts_.resize(designWidths_.size());
    if (swatchPanel_ >= static_cast<int>(designWidths_.size())) {
        swatchPanel_ = -1;
        swatchColor_.reset();
    }
    LayOutPanels();
}

int StatusBar::PanelWidth(int panel) const { return panels_.Width(panel); }

std::wstring StatusBar::Text(int panel) const {
    return panel >= 0 && panel < static_cast<int>(texts_.size()) ? texts_[static_cast<std::size_t>(panel)]
                                                                 : std::wstring();
}

}  // namespace ocu::win
