#pragma once
// A bitmap selected into a memory DC of its own: what GDI needs to draw into a
// bitmap or copy out of it. Members are declared so that they go in the one safe
// order: the bitmap is deselected, then deleted, then its DC.
#include <windows.h>

#include <utility>

#include "platform/win32/Handles.h"

namespace ocu::win {

struct BitmapDc {
    unique_hdc dc;
    unique_hbitmap bitmap;
    unique_select_object selection;

    // Takes `newBitmap` into a new DC compatible with `like` (nullptr: the screen).
    // On failure nothing is held, the old pair included.
    bool Reset(HDC like, unique_hbitmap newBitmap) {
        Release();
        if (!newBitmap) return false;
        unique_hdc newDc(::CreateCompatibleDC(like));
        if (!newDc) return false;
        unique_select_object selected(newDc.get(), newBitmap.get());
        if (!selected) return false;
        dc = std::move(newDc);
        bitmap = std::move(newBitmap);
        selection = std::move(selected);
        return true;
    }
    void Release() noexcept {
        selection.reset();
        bitmap.reset();
        dc.reset();
    }
    explicit operator bool() const noexcept { return static_cast<bool>(bitmap); }
};

}  // namespace ocu::win
