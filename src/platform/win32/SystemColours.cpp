#include "platform/win32/SystemColours.h"

#include <commctrl.h>

#include "base/ContrastColours.h"

namespace ocu::win {
namespace {

bool AskHighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

bool highContrast = AskHighContrast();

FaceAndText Shown(COLORREF ownFace, COLORREF ownText) {
    const COLORREF systemFace = ::GetSysColor(COLOR_BTNFACE);
    return ShownColours(highContrast, {ownFace == CLR_DEFAULT ? systemFace : ownFace, ownText},
                        {systemFace, ::GetSysColor(COLOR_BTNTEXT)});
}

}  // namespace

bool HighContrast() { return highContrast; }

void RefreshHighContrast() { highContrast = AskHighContrast(); }

COLORREF BarFace(COLORREF own) { return Shown(own, 0).Face; }

COLORREF CaptionText(COLORREF own) { return Shown(CLR_DEFAULT, own).Text; }

}  // namespace ocu::win
