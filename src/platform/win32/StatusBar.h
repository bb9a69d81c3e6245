#pragma once
// The two status bars of the main window: the one-panel hint line above the tool
// bar and sbMain with its four panels at the bottom.
#include <windows.h>

#include <initializer_list>
#include <string_view>

namespace ocu::win {

// A status bar that the parent places itself (no automatic alignment), with
// panels of the given widths (the last one runs to the right edge), the given
// font, and a plain background colour (CLR_DEFAULT for the system's).
// nullptr on failure.
HWND CreateStatusBar(HWND parent, HINSTANCE instance, int controlId, std::initializer_list<int> panelWidths,
                     HFONT font, COLORREF background, bool sizeGrip);
void SetStatusPanelText(HWND bar, int panel, std::string_view utf8);

}  // namespace ocu::win
