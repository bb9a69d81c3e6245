#pragma once
// Copies of the screen into DIB sections in the screen's own pixel format.
#include <windows.h>

#include <vector>

#include "base/Geometry.h"
#include "image/Image.h"
#include "image/ScreenFormat.h"
#include "platform/win32/DibSection.h"
#include "platform/win32/Handles.h"

namespace ocu::win {

// The screen's colour depth, read afresh from a screen DC that is released at once.
PixelFormat ScreenPixelFormat();
// The colour table for an indexed capture: the system palette of a palette
// device, else the fallback palette so that the copy is still legible.
std::vector<PaletteEntry> ScreenPalette(HDC screen, PixelFormat format);

class ScreenCapture {
public:
    // Copies the screen rectangle (x, y, w, h) into the buffer, in `format`, and
    // returns the view of it; nullptr when anything fails. The view lives until
    // the next call.
    Image* Capture(int x, int y, int w, int h, PixelFormat format);
    // The screen's colour depth read from the DC the captures use.
    PixelFormat ScreenFormat();
    DibSection& Buffer() { return dib_; }
    // After a display change the kept DC may describe the old desktop (its size,
    // its depth): the next capture takes a new one.
    void DisplaysChanged() { screen_.reset(); }

private:
    // The screen DC is kept from tick to tick: getting and releasing one costs
    // round trips to the server under Wine, twice a tick.
    HDC Screen();

    DibSection dib_;
    unique_hdc_window screen_;
};

}  // namespace ocu::win
