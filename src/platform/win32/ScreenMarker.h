#pragma once
// The marker of a pick, drawn straight onto the screen, and the bitmap that keeps
// the screen pixels under it (PickBackup) so they can be put back.
#include <windows.h>

#include "base/Geometry.h"
#include "platform/win32/BitmapDc.h"

namespace ocu::win {

class ScreenMarker {
public:
    // Sizes the backup to the area and copies the screen pixels of the area into it.
    void SaveBackup(IntRect area);
    // Copies the backup back onto the screen at the area's top-left, area-sized.
    void RestoreBackup(IntRect area);
    // The area pick: a dashed black 1-pixel outline, right and bottom exclusive.
    static void DrawOutline(IntRect r);
    // The target pick: a solid red 2-pixel frame.
    static void DrawFrame(IntRect r);
    void Release() noexcept;

    int BackupWidth() const { return width_; }
    int BackupHeight() const { return height_; }

private:
    bool EnsureBackup(HDC screen, int w, int h);

    BitmapDc backup_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace ocu::win
