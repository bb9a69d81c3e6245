#pragma once
// A status bar with panels, placed by its parent (no automatic alignment): the
// one-panel hint line above the tool bar, and the status bar with its four panels.
#include <windows.h>

#include "mainwindow/StatusPanels.h"
#include "platform/win32/Handles.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ocu::win {

class StatusBar {
public:
    // Panels of the given widths (the last one runs to the right edge), in the
    // given font, on a plain background colour (CLR_DEFAULT for the system's),
    // drawn the classic way whatever the visual style.
    // Throws std::runtime_error when the control cannot be made.
    // The widths are pixels at 96 dpi; the bar lays them out for `dpi`.
    StatusBar(HWND parent, HINSTANCE instance, int controlId, std::initializer_list<int> panelWidths, HFONT font,
              COLORREF background, bool sizeGrip, int dpi = 96);
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    HWND Handle() const { return hwnd_; }
    // The window now shows at another DPI: the panels take their widths for it (and
    // grow again to texts that do not fit), the texts the font for it.
    void SetDpi(int dpi, HFONT font);
    // Sets a panel's text. A panel whose text does not fit grows to it and stays
    // that wide: the widths were made for ＭＳ Ｐゴシック, and a wider fallback
    // font must not cut a text off mid-word.
    void SetText(int panel, std::string_view utf8);
    int PanelWidth(int panel) const;
    int PanelCount() const { return panels_.Count(); }
    RECT PanelRect(int panel) const;  // where the panel is drawn, in the bar's client area
    std::wstring Text(int panel) const;
    // Makes a panel show a small square of a colour (none: no square) before its text.
    void SetSwatchText(int panel, std::optional<COLORREF> color, std::string_view utf8);
    // Panels of these widths (at 96 dpi) from now on; the texts of the panels that
    // remain stay, a panel that goes takes its text and swatch with it.
    void SetPanels(std::initializer_list<int> panelWidths);

private:
    void ApplyPanels() const;
    void LayOutPanels();
    int TextWidth(const std::wstring& text);
    int MeasureAdvance(wchar_t ch);
    static LRESULT CALLBACK Painted(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
    void Paint(HDC dc, const RECT& update) const;
    void PaintPanel(HDC dc, int panel, RECT part) const;
    void FillFace(HDC dc, const RECT& r) const;
    void DrawGrip(HDC dc) const;
    int GripSide(const RECT& client) const;
    void StoreText(int panel, const std::wstring& text);
    LRESULT AnswerText(WPARAM panel, wchar_t* buffer) const;
    LRESULT AnswerAnsiText(WPARAM panel, char* buffer) const;
    LRESULT AnswerWindowText(WPARAM room, wchar_t* buffer) const;
    void PaintPanelNow(int panel) const;

    void DrawSwatch(HDC dc, RECT r) const;

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<int> designWidths_;  // at 96 dpi
    int dpi_ = 96;
    StatusPanels panels_;
    std::vector<std::wstring> texts_;  // one a panel
    int swatchPanel_ = -1;
    std::optional<COLORREF> swatchColor_;
    COLORREF background_ = CLR_DEFAULT;  // CLR_DEFAULT: the system's face colour
    bool sizeGrip_ = false;
    // Measures texts off screen: a window's DC costs server round trips each time
    // it is taken, and the pointer's coordinates are measured on every move.
    unique_hdc measureDc_;
    std::unordered_map<wchar_t, int> advances_;
};

}  // namespace ocu::win
