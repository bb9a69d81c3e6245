#pragma once
// A top-down DIB section selected into its own memory DC, with an ocu::Image
// view over its bits, so GDI and the core work on the same pixels without a copy.
//
// It only grows: a request that fits the section's capacity in the same format
// reuses it and narrows the view, so a zoom held down (a new sampled size every
// 100 ms) creates no GDI objects at all.
#include <windows.h>

#include <span>

#include "image/Image.h"
#include "platform/win32/BitmapDc.h"

namespace ocu::win {

class DibSection {
public:
    DibSection() = default;
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    // Makes the section at least w x h in `format`; the view is exactly w x h.
    // Indexed formats take `palette` as their colour table (missing entries
    // black). false (and nothing held) when the section cannot be made.
    bool Ensure(int w, int h, PixelFormat format, std::span<const PaletteEntry> palette = {});
    // Writes the view's palette into the section's colour table, for a core
    // that changed it; nothing for direct-colour formats.
    void SyncColorTable();
    void Release() noexcept;

    HDC Dc() const { return surface_.dc.get(); }
    HBITMAP Bitmap() const { return surface_.bitmap.get(); }
    Image& View() { return view_; }
    int CapacityWidth() const { return capWidth_; }
    int CapacityHeight() const { return capHeight_; }

private:
    bool Create(int w, int h, PixelFormat format, std::span<const PaletteEntry> palette);

    BitmapDc surface_;
    void* bits_ = nullptr;
    std::size_t stride_ = 0;
    int capWidth_ = 0;
    int capHeight_ = 0;
    PixelFormat format_ = PixelFormat::Custom;
    Image view_;
};

// The DIB header (with colour masks or table) for a top-down bitmap of that format.
struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};
DibHeader MakeDibHeader(int w, int h, PixelFormat format, std::span<const PaletteEntry> palette);

}  // namespace ocu::win
