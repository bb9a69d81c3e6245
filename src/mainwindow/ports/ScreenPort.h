#pragma once
// The screen as the view sees it: its extent and format, the pointer on it, the
// capture of an area, the frame buffer and its place in the main window, and the
// marker a pick draws straight onto the screen.
#include <cstdint>

#include "base/Geometry.h"
#include "image/Image.h"

namespace ocu {

class ScreenPort {
public:
    virtual ~ScreenPort() = default;

    virtual IntRect DesktopRect() = 0;         // the virtual screen, read afresh
    virtual IntPoint PrimaryScreenSize() = 0;  // SM_CXSCREEN, SM_CYSCREEN
    virtual PixelFormat ScreenFormat() = 0;    // the format of captured frames
    virtual IntPoint CursorPos() = 0;
    virtual void SetCursorPos(IntPoint p) = 0;
    // Copies the screen area (x, y, w, h) into a platform-owned buffer in the
    // screen's pixel format and returns a view of it, or nullptr on failure. The
    // view stays valid until the next call.
    virtual Image* CaptureScreen(int x, int y, int w, int h) = 0;
    // A platform-owned buffer of w x h in the screen's format for the finished
    // frame; valid until the next call. nullptr on failure.
    virtual Image* FrameBuffer(int w, int h) = 0;
    // Shows the frame buffer at the view's place in the main window's client area.
    virtual void ShowFrame(int left, int top, int w, int h) = 0;
    // The frame last shown and where (client coordinates); nullptr while none is.
    virtual const Image* ShownFrame(IntRect& where) = 0;
    // Asks every window to repaint with its background erased.
    virtual void InvalidateDesktop() = 0;
    // The screen marker of a pick: save the pixels of a screen rectangle, put them
    // back, draw a dashed black outline or the red frame of a target pick.
    virtual void SaveScreenBackup(IntRect area) = 0;
    virtual void RestoreScreenBackup(IntRect area) = 0;
    virtual void DrawPickOutline(IntRect r) = 0;
    virtual void DrawTargetFrame(IntRect r) = 0;
};

}  // namespace ocu
