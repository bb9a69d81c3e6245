#pragma once
// The colours the bars and captions are drawn in: the program's own, or the
// system's under high contrast.
#include <windows.h>

namespace ocu::win {

// Asked of the system once, and again by RefreshHighContrast when the system says
// that its colours or settings changed; the bars ask on every paint.
bool HighContrast();
void RefreshHighContrast();

// A bar's face: `own` (CLR_DEFAULT: none) or the system's button face.
COLORREF BarFace(COLORREF own);
// Text drawn in the program's own colour `own` on a button face.
COLORREF CaptionText(COLORREF own);

}  // namespace ocu::win
