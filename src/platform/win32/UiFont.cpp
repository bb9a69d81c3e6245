#include "platform/win32/UiFont.h"

#include <cwchar>
#include <map>

#include "mainwindow/ViewLayout.h"

#include "platform/win32/Handles.h"

namespace ocu::win {
namespace {

constexpr int kUiFontHeight = 12;  // 12-pixel characters at 96 dpi

// In order of preference. The first is the one the layout was made for.
constexpr const wchar_t* kFaces[] = {
    L"ＭＳ Ｐゴシック",  L"MS PGothic",   L"Meiryo UI",  L"Yu Gothic UI", L"MS UI Gothic",
    L"Noto Sans CJK JP", L"Noto Sans JP", L"IPAPGothic", L"VL PGothic",
};

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

struct ChosenFont {
    unique_hfont font;
    std::wstring face;
    bool stock = false;
};

ChosenFont Choose(int dpi) {
    ChosenFont chosen;
    for (const wchar_t* face : kFaces) {
        if (!JapaneseFaceExists(face)) continue;
        LOGFONTW lf{};
        lf.lfHeight = -ScaleForDpi(kUiFontHeight, dpi);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = SHIFTJIS_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        chosen.font.reset(::CreateFontIndirectW(&lf));
        if (chosen.font) {
            chosen.face = face;
            return chosen;
        }
    }
    // No Japanese face: the system's dialog font at least keeps the layout.
    chosen.stock = true;
    chosen.face = L"DEFAULT_GUI_FONT";
    return chosen;
}

ChosenFont& Chosen(int dpi) {
    // Only the user-interface thread asks; a handful of DPIs at most in a run.
    static std::map<int, ChosenFont> fonts;
    auto found = fonts.find(dpi);
    if (found == fonts.end()) found = fonts.emplace(dpi, Choose(dpi)).first;
    return found->second;
}

}  // namespace

bool JapaneseFaceExists(const wchar_t* face) {
    const unique_hdc_window screen = win::GetDC(nullptr);
    if (!screen) return false;
    LOGFONTW lf{};
    lf.lfCharSet = SHIFTJIS_CHARSET;
    std::wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(screen.get(), &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

HFONT UiFont(int dpi) {
    ChosenFont& c = Chosen(dpi > 0 ? dpi : kDesignDpi);
    if (c.stock) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    return c.font.get();
}

std::wstring UiFontFace() { return Chosen(kDesignDpi).face; }

}  // namespace ocu::win
