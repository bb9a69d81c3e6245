#pragma once
// The font of the program's own windows: ＭＳ Ｐゴシック at 12 pixels at 96 dpi (scaled
// with the window's DPI) where it is installed, else the first Japanese-capable face
// that is (Meiryo UI on newer Windows, Noto Sans CJK JP under Wine with the
// distribution's CJK fonts).
#include <windows.h>

#include <string>

namespace ocu::win {

// One font a DPI, created on first use; each lives until the process ends, so a
// window that moves between monitors never holds a deleted font. Never null.
HFONT UiFont(int dpi = 96);
// The face UiFont() chose, for diagnostics and tests.
std::wstring UiFontFace();
// True when a font family of that name with a Shift-JIS character set exists.
bool JapaneseFaceExists(const wchar_t* face);

}  // namespace ocu::win
