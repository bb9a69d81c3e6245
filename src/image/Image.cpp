#include "image/Image.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace ocu {

int BitsPerPixel(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bits1: return 1;
    case PixelFormat::Bits4: return 4;
    case PixelFormat::Bits8: return 8;
    case PixelFormat::Bits15:
    case PixelFormat::Bits16: return 16;
    case PixelFormat::Bits24: return 24;
    case PixelFormat::Bits32: return 32;
    case PixelFormat::Custom: return 0;
    }
    return 0;
}

bool IsIndexed(PixelFormat f) { return f == PixelFormat::Bits1 || f == PixelFormat::Bits4 || f == PixelFormat::Bits8; }

std::size_t StrideFor(int width, PixelFormat f) {
    if (width <= 0) return 0;
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(BitsPerPixel(f));
    return ((bits + 31) / 32) * 4;
}

Image::Image(int width, int height, PixelFormat format)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), format_(format), stride_(StrideFor(width, format)) {
    owned_.assign(SizeBytes(), 0);
    bits_ = owned_.data();
}

Image Image::View(void* bits, int width, int height, PixelFormat format, std::size_t stride) {
    Image img;
    img.width_ = std::max(width, 0);
    img.height_ = std::max(height, 0);
    img.format_ = format;
    img.stride_ = stride;
    img.bits_ = static_cast<std::uint8_t*>(bits);
    return img;
}

Image Image::Uninitialized(int width, int height, PixelFormat format) {
    Image img;
    img.width_ = std::max(width, 0);
    img.height_ = std::max(height, 0);
    img.format_ = format;
    img.stride_ = StrideFor(width, format);
    img.owned_.resize(img.SizeBytes());
    img.bits_ = img.owned_.data();
    return img;
}

Image::Image(Image&& o) noexcept { *this = std::move(o); }

Image& Image::operator=(Image&& o) noexcept {
    if (this == &o) return *this;
    const bool owned = o.Owns();
    width_ = o.width_;
    height_ = o.height_;
    format_ = o.format_;
    stride_ = o.stride_;
    owned_ = std::move(o.owned_);
    bits_ = owned ? owned_.data() : o.bits_;
    palette_ = std::move(o.palette_);
    o.width_ = o.height_ = 0;
    o.stride_ = 0;
    o.owned_.clear();
    o.bits_ = nullptr;
    o.palette_.clear();
    return *this;
}

Image Image::Clone() const {
    Image c;
    c.AssignCopy(*this);
    return c;
}

void Image::AssignCopy(const Image& src) {
    if (this == &src) return;
    if (!Owns() || width_ != src.width_ || height_ != src.height_ || format_ != src.format_ || bits_ == nullptr)
        *this = Image(src.width_, src.height_, src.format_);
    // Row by row: a borrowed source (a view narrower than its DIB section) has
    // longer rows than the copy.
    const std::size_t rowBytes = std::min(stride_, src.stride_);
    if (bits_ != nullptr && src.bits_ != nullptr)
        for (int y = 0; y < height_; ++y) std::memcpy(Row(y), src.Row(y), rowBytes);
    palette_ = src.palette_;
}

void Image::Resize(int width, int height, std::uint8_t fill) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    if (!Owns() && bits_ != nullptr) throw std::logic_error("Resize of a borrowed image");
    const std::size_t newStride = StrideFor(width, format_);
    decltype(owned_) fresh(newStride * static_cast<std::size_t>(height), fill);
    const int keepRows = std::min(height, height_);
    const std::size_t keepBits = static_cast<std::size_t>(std::min(width, width_)) * BitsPerPixel(format_);
    const std::size_t keepBytes = keepBits / 8;
    const unsigned tailBits = static_cast<unsigned>(keepBits % 8);
    for (int y = 0; y < keepRows; ++y) {
        std::uint8_t* dst = fresh.data() + newStride * static_cast<std::size_t>(y);
        const std::uint8_t* src = Row(y);
        std::memcpy(dst, src, keepBytes);
        if (tailBits != 0) {
            const std::uint8_t mask = static_cast<std::uint8_t>(0xFF00u >> tailBits);
            dst[keepBytes] = static_cast<std::uint8_t>((src[keepBytes] & mask) | (fill & ~mask));
        }
    }
    owned_ = std::move(fresh);
    bits_ = owned_.data();
    width_ = width;
    height_ = height;
    stride_ = newStride;
}

std::uint32_t Image::Pixel32(int x, int y) const {
    std::uint32_t v;
    std::memcpy(&v, Row(y) + static_cast<std::size_t>(x) * 4, 4);
    return v;
}

void Image::SetPixel32(int x, int y, std::uint32_t v) { std::memcpy(Row(y) + static_cast<std::size_t>(x) * 4, &v, 4); }

bool operator==(const Image& a, const Image& b) {
    if (a.width_ != b.width_ || a.height_ != b.height_ || a.format_ != b.format_ || a.palette_ != b.palette_)
        return false;
    const std::size_t bits = static_cast<std::size_t>(a.width_) * BitsPerPixel(a.format_);
    const std::size_t bytes = bits / 8;
    const unsigned tail = static_cast<unsigned>(bits % 8);
    for (int y = 0; y < a.height_; ++y) {
        if (std::memcmp(a.Row(y), b.Row(y), bytes) != 0) return false;
        if (tail != 0) {
            const std::uint8_t mask = static_cast<std::uint8_t>(0xFF00u >> tail);
            if ((a.Row(y)[bytes] & mask) != (b.Row(y)[bytes] & mask)) return false;
        }
    }
    return true;
}

}  // namespace ocu
