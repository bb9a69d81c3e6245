#include "rotate/RotateBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace ocu {
namespace {

using i64 = std::int64_t;
using u8 = std::uint8_t;

constexpr long double kDegToRad = 0.017453292519943295L;
constexpr int kOne = 1024;  // 1.0 in 10-bit fixed point
constexpr int kHalf = 512;

int RoundHalfEven(long double v) { return static_cast<int>(std::nearbyint(v)); }

// v / 2 rounded half to even; the start point is a sum of halves, so doing it
// in integers gives exactly what rounding the floating-point sum would give.
i64 HalfRoundedEven(i64 v) {
    const i64 floor = v >> 1;  // arithmetic shift: floor for negatives too
    if ((v & 1) == 0) return floor;
    return (floor & 1) == 0 ? floor : floor + 1;
}

i64 FloorDiv(i64 a, i64 b) {  // b > 0
    const i64 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

i64 CeilDiv(i64 a, i64 b) {  // b > 0
    const i64 q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

// Narrows [lo, hi) to the columns c with 0 < base + c * step < limit.
void ClipAxis(i64 base, i64 step, i64 limit, i64& lo, i64& hi) {
    if (step > 0) {
        lo = std::max(lo, FloorDiv(-base, step) + 1);
        hi = std::min(hi, CeilDiv(limit - base, step));
    } else if (step < 0) {
        lo = std::max(lo, FloorDiv(base - limit, -step) + 1);
        hi = std::min(hi, CeilDiv(base, -step));
    } else if (base <= 0 || base >= limit) {
        hi = lo;
    }
}

// The sampling walk with the half-away-from-zero rounding folded in: with a
// bias of +512, a coordinate v is inside the source exactly when
// 0 < v + 512 < 1024 * size, and there its rounded value is (v + 512) >> 10.
// (-512 itself rounds to -1, hence the strict lower bound.) That turns every
// row into one span of inside columns with background on either side.
struct RowWalk {
    const RotateGeometry& g;
    i64 srcLimitX, srcLimitY;

    template <class Body>  // Body(row, lo, hi, x at lo, y at lo)
    void Run(Body&& body) const {
        i64 xr = g.x0 + kHalf;
        i64 yr = g.y0 + kHalf;
        for (int r = 0; r < g.height; ++r, xr += g.dxRow, yr += g.dyRow) {
            i64 lo = 0, hi = g.width;
            ClipAxis(xr, g.dxCol, srcLimitX, lo, hi);
            ClipAxis(yr, g.dyCol, srcLimitY, lo, hi);
            if (hi <= lo) lo = hi = 0;  // the whole row is background
            body(r, static_cast<int>(lo), static_cast<int>(hi), xr + lo * g.dxCol, yr + lo * g.dyCol);
        }
    }
};

// Results start unwritten, so every writer clears the row padding itself.
void ZeroPadding(u8* row, std::size_t used, std::size_t stride) {
    if (used < stride) std::memset(row + used, 0, stride - used);
}

std::size_t UsedBytes(int width, PixelFormat f) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(BitsPerPixel(f)) + 7) / 8;
}

std::vector<const u8*> RowTable(const Image& img) {
    std::vector<const u8*> rows(static_cast<std::size_t>(img.Height()));
    for (int y = 0; y < img.Height(); ++y) rows[static_cast<std::size_t>(y)] = img.Row(y);
    return rows;
}

// Formats of whole bytes per pixel: pixels are moved as N-byte units.
template <std::size_t N>
struct Pixel {
    u8 b[N];
};

#ifndef TILE_ROWS
#define TILE_ROWS 32
#endif
#ifndef TILE_COLS
#define TILE_COLS 128
#endif
template <std::size_t N>
void RotateWhole(const Image& src, Image& dst, const RotateGeometry& g, Pixel<N> bg) {
    const std::vector<const u8*> rows = RowTable(src);
    const u8* const* rowsIn = rows.data();
    const i64 dx = g.dxCol, dy = g.dyCol;
    struct Span {
        int lo, hi;
        i64 x, y;
    };
    std::vector<Span> spans(static_cast<std::size_t>(g.height));
    RowWalk{g, i64{src.Width()} * kOne, i64{src.Height()} * kOne}.Run([&](int r, int lo, int hi, i64 x, i64 y) {
        u8* out = dst.Row(r);
        for (int c = 0; c < lo; ++c) std::memcpy(out + c * N, bg.b, N);
        for (int c = hi; c < g.width; ++c) std::memcpy(out + c * N, bg.b, N);
        ZeroPadding(out, static_cast<std::size_t>(g.width) * N, dst.Stride());
        spans[static_cast<std::size_t>(r)] = {lo, hi, x - lo * dx, y - lo * dy};
    });
    for (int r0 = 0; r0 < g.height; r0 += TILE_ROWS) {
        const int r1 = std::min(g.height, r0 + TILE_ROWS);
        for (int c0 = 0; c0 < g.width; c0 += TILE_COLS) {
            const int c1 = std::min(g.width, c0 + TILE_COLS);
            for (int r = r0; r < r1; ++r) {
                const Span& s = spans[static_cast<std::size_t>(r)];
                const int lo = std::max(s.lo, c0), hi = std::min(s.hi, c1);
                if (lo >= hi) continue;
                i64 x = s.x + lo * dx, y = s.y + lo * dy;
                u8* o = dst.Row(r) + static_cast<std::size_t>(lo) * N;
                u8* const end = o + static_cast<std::size_t>(hi - lo) * N;
                for (; o != end; o += N, x += dx, y += dy) std::memcpy(o, rowsIn[y >> 10] + (x >> 10) * N, N);
            }
        }
    }
}

// 4-bit and 1-bit pixels are gathered one value per byte into a line buffer,
// then packed, so the sampling loop never does read-modify-write on shared bytes.
u8 Sample4(const u8* row, i64 x) { return static_cast<u8>((row[x >> 1] >> ((~x & 1) << 2)) & 0x0F); }
u8 Sample1(const u8* row, i64 x) { return static_cast<u8>((row[x >> 3] >> (7 - (x & 7))) & 1); }

void Pack4(const u8* v, int n, u8* out) {
    int i = 0;
    for (; i + 1 < n; i += 2) out[i >> 1] = static_cast<u8>((v[i] << 4) | v[i + 1]);
    if (i < n) out[i >> 1] = static_cast<u8>(v[i] << 4);
}

void Pack1(const u8* v, int n, u8* out) {
    for (int i = 0; i < n; i += 8) {
        unsigned byte = 0;
        const int m = std::min(8, n - i);
        for (int k = 0; k < m; ++k) byte |= static_cast<unsigned>(v[i + k]) << (7 - k);
        out[i >> 3] = static_cast<u8>(byte);
    }
}

template <u8 (*SampleFn)(const u8*, i64), void (*PackFn)(const u8*, int, u8*)>
void RotatePacked(const Image& src, Image& dst, const RotateGeometry& g, u8 bg) {
    const std::vector<const u8*> rows = RowTable(src);
    const u8* const* rowsIn = rows.data();
    std::vector<u8> line(static_cast<std::size_t>(g.width));
    const i64 dx = g.dxCol, dy = g.dyCol;
    RowWalk{g, i64{src.Width()} * kOne, i64{src.Height()} * kOne}.Run([&](int r, int lo, int hi, i64 x, i64 y) {
        u8* v = line.data();
        std::fill(v, v + lo, bg);
        for (int c = lo; c < hi; ++c, x += dx, y += dy) v[c] = SampleFn(rowsIn[y >> 10], x >> 10);
        std::fill(v + hi, v + g.width, bg);
        PackFn(v, g.width, dst.Row(r));
        ZeroPadding(dst.Row(r), UsedBytes(g.width, dst.Format()), dst.Stride());
    });
}

// Sine 0 and cosine +-1024: every pixel lands inside the source exactly, on
// its own column or the mirrored one and its own row or the mirrored one.
// This is the mirror-only tick and the top-bottom mirror (1800 + Mirror).
bool IsAxisAligned(const RotateGeometry& g) { return g.sinQ == 0 && std::abs(g.cosQ) == kOne; }

template <std::size_t N>
void ReverseRow(const u8* in, u8* out, int width) {
    const u8* i = in + static_cast<std::size_t>(width) * N;
    u8* const end = out + static_cast<std::size_t>(width) * N;
    for (u8* o = out; o != end; o += N) {
        i -= N;
        std::memcpy(o, i, N);
    }
}

template <>
void ReverseRow<4>(const u8* in, u8* out, int width) {
    // Two pixels per 64-bit move, halves swapped: the mirror tick is a plain
    // copy otherwise and should cost about as much.
    const u8* i = in + static_cast<std::size_t>(width) * 4;
    int c = 0;
    for (; c + 2 <= width; c += 2, out += 8) {
        i -= 8;
        std::uint64_t two;
        std::memcpy(&two, i, 8);
        two = (two >> 32) | (two << 32);
        std::memcpy(out, &two, 8);
    }
    if (c < width) std::memcpy(out, i - 4, 4);
}

void CopyRowBits(const u8* in, u8* out, int width, int bits) {
    const std::size_t total = static_cast<std::size_t>(width) * static_cast<std::size_t>(bits);
    const std::size_t bytes = total / 8;
    std::memcpy(out, in, bytes);
    if (const unsigned tail = static_cast<unsigned>(total % 8); tail != 0)
        out[bytes] = static_cast<u8>(in[bytes] & (0xFF00u >> tail));  // padding bits stay zero
}

void CopyAxisAligned(const Image& src, Image& dst, const RotateGeometry& g) {
    const bool flipRows = g.dyRow < 0;
    const bool flipCols = g.dxCol < 0;
    const int w = src.Width(), h = src.Height();
    const PixelFormat f = src.Format();
    std::vector<u8> line;
    if (flipCols && (f == PixelFormat::Bits1 || f == PixelFormat::Bits4)) line.resize(static_cast<std::size_t>(w));
    const std::size_t used = UsedBytes(w, f);
    for (int r = 0; r < h; ++r) {
        const u8* in = src.Row(flipRows ? h - 1 - r : r);
        u8* out = dst.Row(r);
        ZeroPadding(out, used, dst.Stride());
        if (!flipCols) {
            CopyRowBits(in, out, w, BitsPerPixel(f));
            continue;
        }
        switch (f) {
        case PixelFormat::Bits32: ReverseRow<4>(in, out, w); break;
        case PixelFormat::Bits24: ReverseRow<3>(in, out, w); break;
        case PixelFormat::Bits16:
        case PixelFormat::Bits15: ReverseRow<2>(in, out, w); break;
        case PixelFormat::Bits8: ReverseRow<1>(in, out, w); break;
        case PixelFormat::Bits4:
            for (int c = 0; c < w; ++c) line[static_cast<std::size_t>(c)] = Sample4(in, w - 1 - c);
            Pack4(line.data(), w, out);
            break;
        case PixelFormat::Bits1:
            for (int c = 0; c < w; ++c) line[static_cast<std::size_t>(c)] = Sample1(in, w - 1 - c);
            Pack1(line.data(), w, out);
            break;
        case PixelFormat::Custom: break;  // rejected before we get here
        }
    }
}

// The background of 4- and 8-bit results is the brightest palette entry,
// weighing blue above green above red; the last of equal entries wins. Only
// entries an index of the format can name take part, so a palette longer than
// the format allows cannot hand us an index that would be cut to another colour.
u8 BrightestIndex(const std::vector<PaletteEntry>& palette, PixelFormat f) {
    const std::size_t reachable = std::size_t{1} << BitsPerPixel(f);
    const std::size_t count = std::min(palette.size(), reachable);
    std::size_t best = 0;
    std::uint32_t bestKey = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const PaletteEntry& e = palette[i];
        const std::uint32_t key = (std::uint32_t{e.blue} << 16) | (std::uint32_t{e.green} << 8) | e.red;
        if (key >= bestKey) {
            bestKey = key;
            best = i;
        }
    }
    return static_cast<u8>(best);
}

}  // namespace

int ReduceRotateAngle(int angle) {
    if (angle >= 0) return angle % 3600;
    // In 64 bits so that INT_MIN reduces like every other angle.
    return static_cast<int>(3600 - (-static_cast<i64>(angle)) % 3600);
}

RotateGeometry ComputeRotateGeometry(int sourceWidth, int sourceHeight, int angle, bool mirror, bool fitBounds) {
    RotateGeometry g;
    g.angle = ReduceRotateAngle(angle);
    const long double t = (static_cast<long double>(g.angle) / 10.0L) * kDegToRad;
    g.sinQ = RoundHalfEven(std::sin(t) * kOne);
    g.cosQ = RoundHalfEven(std::cos(t) * kOne);
    const i64 w = sourceWidth, h = sourceHeight, s = g.sinQ, c = g.cosQ;
    if (fitBounds) {
        g.width = static_cast<int>((std::abs(w * c) + std::abs(h * s) + kHalf) / kOne);
        g.height = static_cast<int>((std::abs(w * s) + std::abs(h * c) + kHalf) / kOne);
    } else {
        g.width = sourceWidth;
        g.height = sourceHeight;
    }
    // Map the centre of the result onto the centre of the source.
    const i64 nw1 = g.width - 1, nh1 = g.height - 1;
    g.x0 = HalfRoundedEven(-c * nw1 + s * nh1 + (w - 1) * kOne);
    g.y0 = HalfRoundedEven(-s * nw1 - c * nh1 + (h - 1) * kOne);
    g.dxCol = g.cosQ;
    g.dyCol = g.sinQ;
    g.dxRow = -g.sinQ;
    g.dyRow = g.cosQ;
    if (mirror) {
        g.x0 += nw1 * c;
        g.y0 += nw1 * s;
        g.dxCol = -g.cosQ;
        g.dyCol = -g.sinQ;
    }
    return g;
}

Image RotateBitmap(const Image& source, int angle, bool mirror, bool fitBounds) {
    if (source.Width() == 0 || source.Height() == 0) throw ERotateError("Bitmap Size Error");
    const PixelFormat f = source.Format();
    if (f == PixelFormat::Custom) throw ERotateError("Illegal Bitmap");

    const RotateGeometry g = ComputeRotateGeometry(source.Width(), source.Height(), angle, mirror, fitBounds);
    Image result = Image::Uninitialized(g.width, g.height, f);
    if (IsIndexed(f)) result.Palette() = source.Palette();

    if (IsAxisAligned(g)) {
        CopyAxisAligned(source, result, g);
        return result;
    }
    switch (f) {
    case PixelFormat::Bits32: RotateWhole<4>(source, result, g, {{0xFF, 0xFF, 0xFF, 0x00}}); break;
    case PixelFormat::Bits24: RotateWhole<3>(source, result, g, {{0xFF, 0xFF, 0xFF}}); break;
    case PixelFormat::Bits16:
    case PixelFormat::Bits15: RotateWhole<2>(source, result, g, {{0xFF, 0xFF}}); break;
    case PixelFormat::Bits8: RotateWhole<1>(source, result, g, {{BrightestIndex(source.Palette(), f)}}); break;
    case PixelFormat::Bits4:
        RotatePacked<Sample4, Pack4>(source, result, g, static_cast<u8>(BrightestIndex(source.Palette(), f) & 0x0F));
        break;
    case PixelFormat::Bits1: RotatePacked<Sample1, Pack1>(source, result, g, 1); break;
    case PixelFormat::Custom: break;
    }
    return result;
}

}  // namespace ocu
