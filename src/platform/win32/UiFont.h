#pragma once
// The font of the program's own windows: ＭＳ Ｐゴシック at 12 pixels where it is
// installed, else the first Japanese-capable face that is (Meiryo UI on newer
// Windows, Noto Sans CJK JP under Wine with the distribution's CJK fonts).
#include <windows.h>

#include <string>

namespace ocu::win {

// Created on first use; lives until the process ends. Never null.
HFONT UiFont();
// The face UiFont() chose, for diagnostics and tests.
std::wstring UiFontFace();
// True when a font family of that name with a Shift-JIS character set exists.
bool JapaneseFaceExists(const wchar_t* face);

}  // namespace ocu::win
