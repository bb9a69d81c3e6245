#include <gtest/gtest.h>

#include "platform/win32/Handles.h"
#include "platform/win32/UiFont.h"

namespace ocu::win {
namespace {

bool DrawsJapanese(HFONT font) {
    const unique_hdc_window screen = win::GetDC(nullptr);
    const unique_select_object use(screen.get(), font);
    const wchar_t text[] = L"押拡ゴシ";
    WORD glyphs[4]{};
    if (::GetGlyphIndicesW(screen.get(), text, 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) return false;
    for (WORD g : glyphs)
        if (g == 0xFFFF) return false;
    return true;
}

TEST(UiFontTest, TheChosenFontDrawsJapaneseWhereAnyJapaneseFontIsInstalled) {
    const HFONT font = UiFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(UiFont(), font) << "one font for the whole program";
    if (UiFontFace() == L"DEFAULT_GUI_FONT") GTEST_SKIP() << "no Japanese font on this system";
    EXPECT_TRUE(DrawsJapanese(font)) << "face chosen: " << std::string(UiFontFace().begin(), UiFontFace().end());
    LOGFONTW lf{};
    ASSERT_GT(::GetObjectW(font, sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
}

TEST(UiFontTest, AnUnknownFaceIsNotFound) { EXPECT_FALSE(JapaneseFaceExists(L"No Such Face Ocumira")); }

}  // namespace
}  // namespace ocu::win
