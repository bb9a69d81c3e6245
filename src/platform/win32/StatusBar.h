#pragma once
// A status bar with panels, placed by its parent (no automatic alignment): the
// one-panel hint line above the tool bar, and sbMain with its four panels.
#include <windows.h>

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
    // given font, on a plain background colour (CLR_DEFAULT for the system's).
    // Throws std::runtime_error when the control cannot be made.
    StatusBar(HWND parent, HINSTANCE instance, int controlId, std::initializer_list<int> panelWidths, HFONT font,
              COLORREF background, bool sizeGrip);
    StatusBar(const StatusBar&) = delete;
    StatusBar& operator=(const StatusBar&) = delete;

    HWND Handle() const { return hwnd_; }
    // Sets a panel's text. A panel whose text does not fit grows to it and stays
    // that wide: the widths were made for ＭＳ Ｐゴシック, and a wider fallback
    // font must not cut a text off mid-word.
    void SetText(int panel, std::string_view utf8);
    int PanelWidth(int panel) const;
    std::wstring Text(int panel) const;
    // Makes a panel show a small square of a colour (none: no square) before its
    // text; the parent passes its WM_DRAWITEM on to DrawPanel.
    void SetSwatchText(int panel, std::optional<COLORREF> color, std::string_view utf8);
    bool DrawPanel(const DRAWITEMSTRUCT& item);  // false when the item is not ours

private:
    void ApplyPanels() const;
    int TextWidth(const std::wstring& text);
    int MeasureAdvance(wchar_t ch);
    void DrawSwatch(HDC dc, RECT r) const;

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<int> widths_;
    int swatchPanel_ = -1;
    std::optional<COLORREF> swatchColor_;
    std::wstring swatchText_;
    std::optional<RECT> swatchRect_;  // where the bar last had the swatch panel drawn
    COLORREF face_ = 0;               // the bar's background
    // Measures texts off screen: a window's DC costs server round trips each time
    // it is taken, and the pointer's coordinates are measured on every move.
    unique_hdc measureDc_;
    std::unordered_map<wchar_t, int> advances_;
};

}  // namespace ocu::win
