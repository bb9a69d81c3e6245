#pragma once
// One pixel buffer for the whole core: the layout of a top-down DIB section
// (rows top-down, each row padded to a 4-byte boundary), so the Win32 side can
// hand us the memory of a DIB section without a copy, and the core can hand a
// finished frame back the same way.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace ocu {

enum class PixelFormat : std::uint8_t {
    Custom,  // a layout the core does not know; only ever rejected
    Bits1,
    Bits4,
    Bits8,
    Bits15,  // 5-5-5 in a 16-bit word
    Bits16,  // 5-6-5 in a 16-bit word
    Bits24,
    Bits32,
};

// Bits per pixel of a format; 0 for Custom.
int BitsPerPixel(PixelFormat f);
bool IsIndexed(PixelFormat f);
// Bytes per row of a DIB of that width (rounded up to a DWORD).
std::size_t StrideFor(int width, PixelFormat f);

// Palette entries in the byte order red, green, blue, flags.
struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

namespace detail {
// Leaves value-less new elements default-initialised (bytes: unwritten), so a
// producer that writes every byte of a frame does not pay for a memset first.
template <class T>
struct DefaultInitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    DefaultInitAllocator() = default;
    template <class U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
}  // namespace detail

class Image {
public:
    Image() = default;
    // Owning image, every byte zero.
    Image(int width, int height, PixelFormat format);
    // Borrowed view of memory someone else owns (a DIB section); rows top-down.
    static Image View(void* bits, int width, int height, PixelFormat format, std::size_t stride);
    // Owning image whose bytes (row padding included) are unspecified: only for
    // producers that go on to write every byte of every row.
    static Image Uninitialized(int width, int height, PixelFormat format);

    Image(Image&&) noexcept;
    Image& operator=(Image&&) noexcept;
    // Copies are explicit (Clone) so that a frame is never duplicated by accident.
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() = default;

    Image Clone() const;  // always owning
    // Makes this an owning copy of `src`, reusing its own memory when the size
    // and format already match (a copy kept from tick to tick).
    void AssignCopy(const Image& src);

    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelFormat Format() const { return format_; }
    std::size_t Stride() const { return stride_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    bool Owns() const { return bits_ == owned_.data(); }

    std::uint8_t* Row(int y) { return bits_ + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* Row(int y) const { return bits_ + static_cast<std::size_t>(y) * stride_; }
    std::uint8_t* Bits() { return bits_; }
    const std::uint8_t* Bits() const { return bits_; }
    std::size_t SizeBytes() const { return stride_ * static_cast<std::size_t>(height_ > 0 ? height_ : 0); }

    std::vector<PaletteEntry>& Palette() { return palette_; }
    const std::vector<PaletteEntry>& Palette() const { return palette_; }

    // Changes the size of an owning image keeping the pixels at the top-left;
    // new pixels take the byte value `fill`.
    void Resize(int width, int height, std::uint8_t fill = 0);

    // Direct access to 32-bit pixels (0x00RRGGBB as stored in a DIB, blue in the low byte).
    std::uint32_t Pixel32(int x, int y) const;
    void SetPixel32(int x, int y, std::uint32_t v);

    friend bool operator==(const Image& a, const Image& b);  // same size, format, palette, pixels (padding ignored)

private:
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Bits32;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t, detail::DefaultInitAllocator<std::uint8_t>> owned_;
    std::uint8_t* bits_ = nullptr;
    std::vector<PaletteEntry> palette_;
};

}  // namespace ocu
