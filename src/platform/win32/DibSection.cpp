#include "platform/win32/DibSection.h"

#include <algorithm>
#include <cstring>

#include "image/BufferGrowth.h"
#include "output/BitmapFile.h"

namespace ocu::win {

DibHeader MakeDibHeader(int w, int h, PixelFormat format, std::span<const PaletteEntry> palette) {
    DibHeader d{};
    const std::vector<std::uint8_t> info = BitmapInfo(w, -h, format, palette);  // top-down, the core's row order
    std::memcpy(&d, info.data(), std::min(info.size(), sizeof d));
    return d;
}

bool DibSection::Ensure(int w, int h, PixelFormat format, std::span<const PaletteEntry> palette) {
    if (w <= 0 || h <= 0 || format == PixelFormat::Custom) return false;
    if (surface_ && format == format_ && w <= capWidth_ && h <= capHeight_) {
        view_ = Image::View(bits_, w, h, format, stride_);
        if (IsIndexed(format)) {
            view_.Palette().assign(palette.begin(), palette.end());
            SyncColorTable();
        }
        return true;
    }
    const bool growing = surface_ && format == format_;
    const IntPoint size = GrownBufferSize({w, h}, growing ? IntPoint{capWidth_, capHeight_} : IntPoint{});
    Release();
    if (!Create(size.X, size.Y, format, palette)) return false;
    view_ = Image::View(bits_, w, h, format, stride_);
    if (IsIndexed(format)) view_.Palette().assign(palette.begin(), palette.end());
    return true;
}

bool DibSection::Create(int w, int h, PixelFormat format, std::span<const PaletteEntry> palette) {
    DibHeader header = MakeDibHeader(w, h, format, palette);
    void* bits = nullptr;
    unique_hbitmap bitmap(::CreateDIBSection(nullptr, header.Info(), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits == nullptr || !surface_.Reset(nullptr, std::move(bitmap))) return false;
    bits_ = bits;
    stride_ = StrideFor(w, format);
    capWidth_ = w;
    capHeight_ = h;
    format_ = format;
    return true;
}

void DibSection::SyncColorTable() {
    if (!surface_ || !IsIndexed(format_)) return;
    RGBQUAD table[256]{};
    const std::size_t entries = std::min<std::size_t>(std::size_t{1} << BitsPerPixel(format_), 256);
    const auto& pal = view_.Palette();
    for (std::size_t i = 0; i < entries && i < pal.size(); ++i)
        table[i] = RGBQUAD{pal[i].blue, pal[i].green, pal[i].red, 0};
    ::SetDIBColorTable(surface_.dc.get(), 0, static_cast<UINT>(entries), table);
}

void DibSection::Release() noexcept {
    view_ = Image();
    surface_.Release();
    bits_ = nullptr;
    stride_ = 0;
    capWidth_ = capHeight_ = 0;
    format_ = PixelFormat::Custom;
}

}  // namespace ocu::win
