#include "image/PixelOps.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace ocu {
namespace {

// One pixel held in the smallest word that takes it; 24-bit pixels ride in
// the low three bytes of a 32-bit word. Loads and stores go through memcpy,
// so the byte order in memory is kept whatever it means.
template <int N>
using PixelWord = std::conditional_t<N == 1, std::uint8_t, std::conditional_t<N == 2, std::uint16_t, std::uint32_t>>;

template <int N>
inline PixelWord<N> Load(const std::uint8_t* p) {
    PixelWord<N> v = 0;
    std::memcpy(&v, p, N);
    return v;
}

template <int N>
inline void Store(std::uint8_t* p, PixelWord<N> v) {
    std::memcpy(p, &v, N);
}

template <int N>
inline void InvertPixel(std::uint8_t* p) {
    Store<N>(p, static_cast<PixelWord<N>>(~Load<N>(p)));
}

// Chooses the instantiation for a pixel size once per call, so that the hot
// loops see the size as a constant.
template <class F>
void WithPixelBytes(int bytes, F&& f) {
    switch (bytes) {
    case 1: f(std::integral_constant<int, 1>{}); break;
    case 2: f(std::integral_constant<int, 2>{}); break;
    case 3: f(std::integral_constant<int, 3>{}); break;
    case 4: f(std::integral_constant<int, 4>{}); break;
    default: throw std::invalid_argument("unsupported pixel size");
    }
}

// Bitwise helpers in 8-byte steps; the compiler turns the fixed-size memcpy
// into plain loads and stores.
void AndBytes(std::uint8_t* dst, const std::uint8_t* src, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t a, b;
        std::memcpy(&a, dst + i, 8);
        std::memcpy(&b, src + i, 8);
        a &= b;
        std::memcpy(dst + i, &a, 8);
    }
    for (; i < n; ++i) dst[i] = static_cast<std::uint8_t>(dst[i] & src[i]);
}

void NotBytes(std::uint8_t* dst, std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t a;
        std::memcpy(&a, dst + i, 8);
        a = ~a;
        std::memcpy(dst + i, &a, 8);
    }
    for (; i < n; ++i) dst[i] = static_cast<std::uint8_t>(~dst[i]);
}

// Walks d = 0, 1, 2, ... producing NearestSource(d, dstLen, srcLen) by
// carrying the remainder, so the maps cost no division per pixel.
class NearestWalk {
public:
    NearestWalk(int dstLen, int srcLen)
        : dstLen_(dstLen), quotientStep_(srcLen / dstLen), remainderStep_(srcLen % dstLen) {}
    int Value() const { return value_; }
    void Next() {
        value_ += quotientStep_;
        remainder_ += remainderStep_;
        if (remainder_ >= dstLen_) {
            remainder_ -= dstLen_;
            ++value_;
        }
    }

private:
    std::int64_t dstLen_;
    int quotientStep_;
    std::int64_t remainderStep_;
    int value_ = 0;
    std::int64_t remainder_ = 0;
};

// NearestSource for d = 0 ... count (count + 1 values): the start of every
// destination cell and, in the last entry, the end of the last one.
std::vector<int> NearestMap(int count, int dstLen, int srcLen) {
    std::vector<int> map(static_cast<std::size_t>(count) + 1);
    NearestWalk walk(dstLen, srcLen);
    for (int& v : map) {
        v = walk.Value();
        walk.Next();
    }
    return map;
}

int CheckPair(const Image& dst, const Image& src) {
    const int bytes = PixelBytes(dst.Format());
    if (src.Format() != dst.Format()) throw std::invalid_argument("pixel formats differ");
    return bytes;
}

void CheckSourceRect(const Image& src, int srcW, int srcH) {
    if (srcW > src.Width() || srcH > src.Height()) throw std::out_of_range("source rectangle outside the image");
}

template <int N>
void StretchCopyRows(Image& dst, int outW, int outH, int dstW, int dstH, const Image& src, int srcW, int srcH) {
    const std::vector<int> columns = NearestMap(outW - 1, dstW, srcW);
    const std::size_t rowBytes = static_cast<std::size_t>(outW) * N;
    NearestWalk rows(dstH, srcH);
    int builtFrom = -1;
    for (int y = 0; y < outH; ++y, rows.Next()) {
        const int sy = rows.Value();
        std::uint8_t* out = dst.Row(y);
        if (sy == builtFrom) {
            std::memcpy(out, dst.Row(y - 1), rowBytes);
            continue;
        }
        const std::uint8_t* in = src.Row(sy);
        for (int x = 0; x < outW; ++x)
            Store<N>(out + static_cast<std::size_t>(x) * N, Load<N>(in + static_cast<std::size_t>(columns[x]) * N));
        builtFrom = sy;
    }
}

template <int N>
void StretchAndRows(Image& dst, int outW, int outH, int dstW, int dstH, const Image& src, int srcW, int srcH) {
    const std::vector<int> columns = NearestMap(outW, dstW, srcW);
    const std::vector<int> rows = NearestMap(outH, dstH, srcH);
    const std::size_t srcRowBytes = static_cast<std::size_t>(srcW) * N;
    std::vector<std::uint8_t> combined(srcRowBytes);
    // A cell's first source row and column always count: that is the whole
    // cell when enlarging, where the range [map[d], map[d + 1]) is empty.
    for (int y = 0; y < outH; ++y) {
        const int firstRow = rows[y];
        const int endRow = rows[y + 1];
        const std::uint8_t* in = src.Row(firstRow);
        if (endRow - firstRow > 1) {
            std::memcpy(combined.data(), in, srcRowBytes);
            for (int r = firstRow + 1; r < endRow; ++r) AndBytes(combined.data(), src.Row(r), srcRowBytes);
            in = combined.data();
        }
        std::uint8_t* out = dst.Row(y);
        for (int x = 0; x < outW; ++x) {
            const int first = columns[x];
            const int end = columns[x + 1];
            PixelWord<N> v = Load<N>(in + static_cast<std::size_t>(first) * N);
            for (int c = first + 1; c < end; ++c) v &= Load<N>(in + static_cast<std::size_t>(c) * N);
            std::uint8_t* p = out + static_cast<std::size_t>(x) * N;
            Store<N>(p, static_cast<PixelWord<N>>(Load<N>(p) & v));
        }
    }
}

// Shared front of the two stretches: checks, clipping, and a private copy of
// the source when it is the destination itself.
template <class Body>
void Stretch(Image& dst, int dstW, int dstH, const Image& src, int srcW, int srcH, Body body) {
    const int bytes = CheckPair(dst, src);
    const int outW = std::min(dstW, dst.Width());
    const int outH = std::min(dstH, dst.Height());
    if (outW <= 0 || outH <= 0 || srcW <= 0 || srcH <= 0) return;
    CheckSourceRect(src, srcW, srcH);
    Image copy;
    const Image* from = &src;
    if (src.Bits() == dst.Bits()) {
        copy = src.Clone();
        from = &copy;
    }
    WithPixelBytes(bytes, [&](auto n) { body(n, outW, outH, *from); });
}

template <int N>
void DottedRun(std::uint8_t* first, std::ptrdiff_t step, std::int64_t count) {
    for (std::int64_t k = 0; k < count; k += 2) InvertPixel<N>(first + k * step);
}

// The distances k in [0, length) at which start + k * dir lies in [0, limit),
// dir being +1 or -1; empty when first >= end.
struct Span {
    std::int64_t first, end;
};

Span ClipRun(std::int64_t start, int dir, std::int64_t length, std::int64_t limit) {
    if (dir > 0) return {std::max<std::int64_t>(0, -start), std::min(length, limit - start)};
    return {std::max<std::int64_t>(0, start - limit + 1), std::min(length, start + 1)};
}

}  // namespace

int PixelBytes(PixelFormat f) {
    switch (f) {
    case PixelFormat::Bits8: return 1;
    case PixelFormat::Bits15:
    case PixelFormat::Bits16: return 2;
    case PixelFormat::Bits24: return 3;
    case PixelFormat::Bits32: return 4;
    case PixelFormat::Bits1:
    case PixelFormat::Bits4:
    case PixelFormat::Custom: break;
    }
    throw std::invalid_argument("pixel format without whole-byte pixels");
}

int NearestSource(int d, int dstLen, int srcLen) {
    if (dstLen <= 0) return 0;
    const std::int64_t num = static_cast<std::int64_t>(d) * srcLen;
    std::int64_t q = num / dstLen;
    if (num % dstLen != 0 && num < 0) --q;  // floor, not truncation
    return static_cast<int>(q);
}

void StretchCopy(Image& dst, int dstW, int dstH, const Image& src, int srcW, int srcH) {
    Stretch(dst, dstW, dstH, src, srcW, srcH, [&](auto n, int outW, int outH, const Image& from) {
        StretchCopyRows<decltype(n)::value>(dst, outW, outH, dstW, dstH, from, srcW, srcH);
    });
}

void StretchAnd(Image& dst, int dstW, int dstH, const Image& src, int srcW, int srcH) {
    Stretch(dst, dstW, dstH, src, srcW, srcH, [&](auto n, int outW, int outH, const Image& from) {
        StretchAndRows<decltype(n)::value>(dst, outW, outH, dstW, dstH, from, srcW, srcH);
    });
}

void AndInto(Image& dst, const Image& src, int w, int h) {
    const int bytes = CheckPair(dst, src);
    w = std::min({w, dst.Width(), src.Width()});
    h = std::min({h, dst.Height(), src.Height()});
    if (w <= 0 || h <= 0) return;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * bytes;
    for (int y = 0; y < h; ++y) AndBytes(dst.Row(y), src.Row(y), rowBytes);
}

void InvertAll(Image& img) { InvertRect(img, 0, 0, img.Width(), img.Height()); }

void CopyRect(Image& dst, const Image& src, IntRect r) {
    if (dst.Format() != src.Format()) throw std::invalid_argument("CopyRect: formats differ");
    const int bytes = PixelBytes(dst.Format());
    const int left = std::max(r.Left, 0), top = std::max(r.Top, 0);
    const int right = std::min({r.Right, dst.Width(), src.Width()});
    const int bottom = std::min({r.Bottom, dst.Height(), src.Height()});
    if (left >= right || top >= bottom) return;
    const std::size_t offset = static_cast<std::size_t>(left) * bytes;
    const std::size_t count = static_cast<std::size_t>(right - left) * bytes;
    for (int y = top; y < bottom; ++y) std::memmove(dst.Row(y) + offset, src.Row(y) + offset, count);
}

void InvertRect(Image& img, int x, int y, int w, int h) {
    const int bytes = PixelBytes(img.Format());
    if (w <= 0 || h <= 0) return;
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t right = std::min<std::int64_t>(static_cast<std::int64_t>(x) + w, img.Width());
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t bottom = std::min<std::int64_t>(static_cast<std::int64_t>(y) + h, img.Height());
    if (left >= right || top >= bottom) return;
    const std::size_t offset = static_cast<std::size_t>(left) * bytes;
    const std::size_t count = static_cast<std::size_t>(right - left) * bytes;
    for (auto row = top; row < bottom; ++row) NotBytes(img.Row(static_cast<int>(row)) + offset, count);
}

void DottedLineNotXor(Image& img, int x0, int y0, int x1, int y1) {
    const int bytes = PixelBytes(img.Format());
    const bool horizontal = y0 == y1;
    if (!horizontal && x0 != x1) throw std::invalid_argument("dotted lines are horizontal or vertical");
    const std::int64_t from = horizontal ? x0 : y0;
    const std::int64_t to = horizontal ? x1 : y1;
    const int across = horizontal ? y0 : x0;  // the fixed coordinate
    if (from == to || across < 0 || across >= (horizontal ? img.Height() : img.Width())) return;
    const int dir = to > from ? 1 : -1;
    Span span = ClipRun(from, dir, (to - from) * dir, horizontal ? img.Width() : img.Height());
    span.first += span.first & 1;  // first dot on or after the clip, counted from the real start
    if (span.first >= span.end) return;
    const std::int64_t firstPos = from + span.first * dir;
    std::uint8_t* first;
    std::ptrdiff_t step;
    if (horizontal) {
        first = img.Row(across) + firstPos * bytes;
        step = dir * bytes;
    } else {
        first = img.Row(static_cast<int>(firstPos)) + static_cast<std::size_t>(across) * bytes;
        step = dir * static_cast<std::ptrdiff_t>(img.Stride());
    }
    WithPixelBytes(bytes, [&](auto n) { DottedRun<decltype(n)::value>(first, step, span.end - span.first); });
}

std::uint32_t ColorToPixel(PixelFormat f, std::uint32_t colorref) {
    const std::uint32_t r = colorref & 0xFFu;
    const std::uint32_t g = (colorref >> 8) & 0xFFu;
    const std::uint32_t b = (colorref >> 16) & 0xFFu;
    switch (f) {
    case PixelFormat::Bits32:
    case PixelFormat::Bits24: return (r << 16) | (g << 8) | b;
    case PixelFormat::Bits16: return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
    case PixelFormat::Bits15: return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    default: break;
    }
    throw std::invalid_argument("colour of an indexed or unknown pixel format");
}

}  // namespace ocu
