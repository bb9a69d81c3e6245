#include "rotate/RotateBitmap.h"

#include "image/PixelOps.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#define OCU_ROTATE_VECTOR 1
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ocu {
namespace {

std::atomic<RotateFetch> forcedFetch{RotateFetch::Chosen};

using i64 = std::int64_t;
using u8 = std::uint8_t;

constexpr long double kDegToRad = 0.017453292519943295L;
constexpr int kOne = 1024;  // 1.0 in 10-bit fixed point
constexpr int kHalf = 512;

int RoundHalfEven(long double v) { return static_cast<int>(std::nearbyint(v)); }

// v / 2 rounded half to even. The start point is a sum of halves, so doing it
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

// Sampling rounds half away from zero. With a bias of +512 folded into the
// start point, a coordinate v is inside the source exactly when
// 0 < v < 1024 * size, and there the source pixel is simply v >> 10 (an
// unbiased -512 rounds to -1, hence the strict lower bound). So every result
// row is one span of inside columns with background on either side, and the
// span's ends follow from two divisions per axis instead of a test per pixel.
struct RowSpan {
    int lo = 0, hi = 0;  // inside columns [lo, hi)
    i64 x = 0, y = 0;    // biased source point of column 0
};

// Kept between calls: the tick turns a frame of the same size every 100 ms and
// should not go to the allocator for it.
const std::vector<RowSpan>& ComputeSpans(const RotateGeometry& g, int srcWidth, int srcHeight) {
    thread_local std::vector<RowSpan> spans;
    spans.assign(static_cast<std::size_t>(g.height), RowSpan{});
    i64 x = g.x0 + kHalf, y = g.y0 + kHalf;
    for (RowSpan& s : spans) {
        i64 lo = 0, hi = g.width;
        ClipAxis(x, g.dxCol, i64{srcWidth} * kOne, lo, hi);
        ClipAxis(y, g.dyCol, i64{srcHeight} * kOne, lo, hi);
        if (lo < hi) {
            s.lo = static_cast<int>(lo);
            s.hi = static_cast<int>(hi);
        }
        s.x = x;
        s.y = y;
        x += g.dxRow;
        y += g.dyRow;
    }
    return spans;
}

// The inside spans are copied tile by tile. A result row at a steep angle
// crosses a source row at nearly every pixel, and a source row of a wide frame
// is a page of its own and lands a few cache sets from the row before it, so
// where the frames happen to lie would decide the cost unless a tile touches
// few enough rows that their pages stay in the first-level TLB (64 entries on
// many processors) and no L1 set (8 ways on many) needs more lines than it
// holds while the neighbouring rows reuse them. Tiles are 8 result rows high
// and as wide as keeps the source rows they cross to about 32: 64 pixels at
// gentle angles, 16 to 32 when the walk runs across the source rows. At
// 1920 x 1000 and 992 x 880 a tile touches 45 pages at most and 6 lines of any
// one set, at any angle and offset of the frames.
struct TileShape {
    int columns, rows;
};

TileShape ChooseTile(const RotateGeometry& g) {
    constexpr int kRows = 8, kSourceRows = 32, kMinColumns = 16, kMaxColumns = 64;
    const i64 across = std::abs(i64{g.dyCol}), down = std::abs(i64{g.dyRow});
    const i64 room = i64{kSourceRows} * kOne - kRows * down;
    const i64 columns =
        across == 0 ? kMaxColumns : std::clamp<i64>((room / across) & ~i64{7}, kMinColumns, kMaxColumns);
    return {static_cast<int>(columns), kRows};
}

// Which samples of the band two below a tile it asks the cache for (see
// WalkTiles), so that each line that band will be the first to touch is asked
// for about once. A line is 16 pixels of one source row. A walk at a gentle
// angle stays on a source row for many pixels, and the next result row is on
// the next source row: every row, a sample per line along it. A steeper walk
// crosses a row within a few pixels, and a line is crossed by several result
// rows side by side: every fourth row, every sample.
struct Ahead {
    int firstRow, rowStep, columnStep;
};
constexpr int kAheadBands = 2;

Ahead ChooseAhead(const RotateGeometry& g) {
    const i64 along = std::abs(i64{g.dxCol}), across = std::abs(i64{g.dyCol});
    const i64 perLine = std::min(along == 0 ? 16 : 16 * kOne / along, across == 0 ? 16 : kOne / across);
    const int columnStep = static_cast<int>(std::clamp<i64>(perLine, 1, 16));
    return across < kOne / 4 ? Ahead{0, 1, columnStep} : Ahead{3, 4, columnStep};
}

struct NoPrefetch {
    void operator()(int, i64, i64, int) const {}
};

// Calls copy(row, firstColumn, count, x, y) for each piece of an inside span
// within a tile, (x, y) being the biased source point of firstColumn, and then
// prefetch(count, x, y, step) for pieces of rows two bands below the tile, to
// ask for every step-th sample. The source lines a turned walk needs are
// scattered over hundreds of rows, where the processor's own prefetchers cannot
// follow, so each band would otherwise wait on memory for the lines it is the
// first to touch; asked for two bands early, they arrive while this band and
// the next are copied. They are asked into the second-level cache only: a
// band's lines outnumber the first level's, where they would push out the
// lines in use and be pushed out themselves before their turn. On an AMD EPYC
// this took the turn of a 1920 x 1000 frame from 3 to 5 times a memcpy of it to
// 2 to 2.5 times, whether the frame was in the cache or not.
template <class Copy, class Prefetch = NoPrefetch>
[[gnu::always_inline]] inline void WalkTiles(const std::vector<RowSpan>& spans, const RotateGeometry& g, Copy&& copy,
                                             Prefetch&& prefetch = NoPrefetch{}) {
    const TileShape tile = ChooseTile(g);
    const Ahead ahead = ChooseAhead(g);
    for (int top = 0; top < g.height; top += tile.rows) {
        const int bottom = std::min(g.height, top + tile.rows);
        int bandLo = g.width, bandHi = 0;  // the band's inside columns, so its empty tiles cost nothing
        for (int r = top; r < bottom; ++r) {
            const RowSpan& s = spans[static_cast<std::size_t>(r)];
            if (s.lo < s.hi) {
                bandLo = std::min(bandLo, s.lo);
                bandHi = std::max(bandHi, s.hi);
            }
        }
        for (int left = bandLo & ~15; left < bandHi; left += tile.columns) {  // on 64-byte lines of the result
            const int right = left + tile.columns;
            for (int r = top; r < bottom; ++r) {
                const RowSpan& s = spans[static_cast<std::size_t>(r)];
                const int lo = std::max(s.lo, left), hi = std::min(s.hi, right);
                if (lo < hi) copy(r, lo, hi - lo, s.x + i64{lo} * g.dxCol, s.y + i64{lo} * g.dyCol);
            }
            if constexpr (!std::is_same_v<std::decay_t<Prefetch>, NoPrefetch>) {
                for (int k = ahead.firstRow; k < tile.rows; k += ahead.rowStep) {
                    const int r = top + kAheadBands * tile.rows + k;
                    if (r >= g.height) break;
                    const RowSpan& s = spans[static_cast<std::size_t>(r)];
                    const int lo = std::max(s.lo, left), hi = std::min(s.hi, right);
                    if (lo < hi) prefetch(hi - lo, s.x + i64{lo} * g.dxCol, s.y + i64{lo} * g.dyCol, ahead.columnStep);
                }
            }
        }
    }
}

const std::vector<const u8*>& RowTable(const Image& img) {
    thread_local std::vector<const u8*> rows;
    rows.resize(static_cast<std::size_t>(img.Height()));
    for (int y = 0; y < img.Height(); ++y) rows[static_cast<std::size_t>(y)] = img.Row(y);
    return rows;
}

// Results start unwritten (no memset of a whole frame per tick), so every
// writer clears the row padding itself: up to the image's own row length only,
// since a borrowed result's rows may go on into pixels that are not its own.
void ZeroPadding(u8* row, std::size_t used, std::size_t stride) {
    if (used < stride) std::memset(row + used, 0, stride - used);
}

void NotBytesRange(u8* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<u8>(~p[i]);
}

std::size_t PaddedRow(const Image& img) { return std::min(img.Stride(), StrideFor(img.Width(), img.Format())); }

std::size_t UsedBytes(int width, PixelFormat f) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(BitsPerPixel(f)) + 7) / 8;
}

// ---- whole-byte formats (8, 15, 16, 24, 32 bits) ---------------------------

template <std::size_t N>
struct Pixel {
    u8 b[N];
};

template <std::size_t N>
void FillOutsideSpans(const std::vector<RowSpan>& spans, Image& dst, Pixel<N> bg) {
    const int w = dst.Width();
    for (int r = 0; r < dst.Height(); ++r) {
        u8* out = dst.Row(r);
        const RowSpan& s = spans[static_cast<std::size_t>(r)];
        for (int c = 0; c < s.lo; ++c) std::memcpy(out + c * N, bg.b, N);
        for (int c = s.hi; c < w; ++c) std::memcpy(out + c * N, bg.b, N);
        ZeroPadding(out, static_cast<std::size_t>(w) * N, PaddedRow(dst));
    }
}

template <std::size_t N>
void CopySpans(const std::vector<RowSpan>& spans, const Image& src, Image& dst, const RotateGeometry& g) {
    const u8* const* in = RowTable(src).data();
    const i64 dx = g.dxCol, dy = g.dyCol;
    WalkTiles(spans, g, [&](int row, int lo, int count, i64 x, i64 y) {
        u8* o = dst.Row(row) + static_cast<std::size_t>(lo) * N;
        u8* const end = o + static_cast<std::size_t>(count) * N;
        for (; o != end; o += N, x += dx, y += dy) std::memcpy(o, in[y >> 10] + (x >> 10) * N, N);
    });
}

#ifdef OCU_ROTATE_VECTOR
// 32-bit frames are the capture tick's usual case: four result pixels at a
// time, their source rows and columns packed as 16-bit halves and turned into
// pixel indices by one multiply-add (IndexFits keeps every half within 15
// bits), then fetched by `fetch(base, indices, out)`. 128-bit vectors only:
// MinGW does not align the stack for spilled 256-bit ones.
bool IndexFits(const Image& src) {
    return src.Stride() % 4 == 0 && src.Stride() / 4 < 32768 && src.Width() < 32768 && src.Height() < 32768;
}

template <class Fetch>
[[gnu::always_inline]] inline void CopySpansIndexed(const std::vector<RowSpan>& spans, const Image& src, Image& dst,
                                                    const RotateGeometry& g, Fetch&& fetch) {
    const u8* base = src.Bits();
    const std::size_t stride = src.Stride();
    const int dx = g.dxCol, dy = g.dyCol;
    const __m128i toIndex = _mm_set1_epi32(static_cast<int>(((stride / 4) << 16) | 1));
    const __m128i rowHalf = _mm_set1_epi32(static_cast<int>(0xFFFF0000u));
    const __m128i stepX = _mm_set1_epi32(4 * dx), stepY = _mm_set1_epi32(4 * dy);
    const __m128i rampX = _mm_setr_epi32(0, dx, 2 * dx, 3 * dx), rampY = _mm_setr_epi32(0, dy, 2 * dy, 3 * dy);
    const auto indexOf = [&](__m128i vx, __m128i vy) {
        return _mm_madd_epi16(_mm_or_si128(_mm_srli_epi32(vx, 10), _mm_and_si128(_mm_slli_epi32(vy, 6), rowHalf)),
                              toIndex);
    };
    const auto copy = [&](int row, int lo, int count, i64 x, i64 y) {
        u8* o = dst.Row(row) + static_cast<std::size_t>(lo) * 4;
        const int blocks = count / 4;
        __m128i vx = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), rampX);
        __m128i vy = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), rampY);
        for (int b = 0; b < blocks; ++b, o += 16) {
            fetch(base, indexOf(vx, vy), o);
            vx = _mm_add_epi32(vx, stepX);
            vy = _mm_add_epi32(vy, stepY);
        }
        x += i64{blocks} * 4 * dx;
        y += i64{blocks} * 4 * dy;
        for (int c = blocks * 4; c < count; ++c, o += 4, x += dx, y += dy) {
            const std::size_t at = static_cast<std::size_t>(y >> 10) * stride + static_cast<std::size_t>(x >> 10) * 4;
            std::memcpy(o, base + at, 4);
        }
    };
    // Every sample in whole blocks of four (a piece's last few share their lines
    // with the rest), or one in `step` when that is sparse enough to do one by one.
    const auto prefetch = [&](int count, i64 x, i64 y, int step) {
        if (step >= 4) {
            for (int c = 0; c < count; c += step, x += step * dx, y += step * dy)
                _mm_prefetch(reinterpret_cast<const char*>(base + static_cast<std::size_t>(y >> 10) * stride +
                                                           static_cast<std::size_t>(x >> 10) * 4),
                             _MM_HINT_T1);
            return;
        }
        __m128i vx = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(x)), rampX);
        __m128i vy = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(y)), rampY);
        for (int b = 0; b < count / 4; ++b) {
            const __m128i index = indexOf(vx, vy);
            const auto first = static_cast<std::uint64_t>(_mm_cvtsi128_si64(index));
            const auto second = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(index, index)));
            _mm_prefetch(reinterpret_cast<const char*>(base + std::size_t{static_cast<std::uint32_t>(first)} * 4),
                         _MM_HINT_T1);
            _mm_prefetch(reinterpret_cast<const char*>(base + (first >> 32) * 4), _MM_HINT_T1);
            _mm_prefetch(reinterpret_cast<const char*>(base + std::size_t{static_cast<std::uint32_t>(second)} * 4),
                         _MM_HINT_T1);
            _mm_prefetch(reinterpret_cast<const char*>(base + (second >> 32) * 4), _MM_HINT_T1);
            vx = _mm_add_epi32(vx, stepX);
            vy = _mm_add_epi32(vy, stepY);
        }
    };
    WalkTiles(spans, g, copy, prefetch);
}

// Four plain loads: what every x86-64 processor does well.
void CopySpansLoads32(const std::vector<RowSpan>& spans, const Image& src, Image& dst, const RotateGeometry& g) {
    CopySpansIndexed(spans, src, dst, g, [](const u8* base, __m128i index, u8* o) {
        const auto first = static_cast<std::uint64_t>(_mm_cvtsi128_si64(index));
        const auto second = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(index, index)));
        std::memcpy(o, base + std::size_t{static_cast<std::uint32_t>(first)} * 4, 4);
        std::memcpy(o + 4, base + (first >> 32) * 4, 4);
        std::memcpy(o + 8, base + std::size_t{static_cast<std::uint32_t>(second)} * 4, 4);
        std::memcpy(o + 12, base + (second >> 32) * 4, 4);
    });
}

__attribute__((target("avx2"), flatten)) void CopySpansGather32(const std::vector<RowSpan>& spans, const Image& src,
                                                                Image& dst, const RotateGeometry& g) {
    CopySpansIndexed(
        spans, src, dst, g, [](const u8* base, __m128i index, u8* o) __attribute__((target("avx2"))) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                             _mm_i32gather_epi32(reinterpret_cast<const int*>(base), index, 4));
        });
}

// Chosen from what the processor is, never from a timing: a timing taken at
// start on a busy machine can go either way from run to run. Intel's gathers
// beat four loads (by about a quarter on the Xeon measured); AMD's are
// microcoded and lose to them, and other makers' are no better known.
bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

RotateFetch ChosenFetch() {
    static const RotateFetch fetch = HasAvx2() && __builtin_cpu_is("intel") ? RotateFetch::Gather : RotateFetch::Loads;
    return fetch;
}
#endif

template <std::size_t N>
void RotateWhole(const Image& src, Image& dst, const RotateGeometry& g, Pixel<N> bg) {
    const std::vector<RowSpan>& spans = ComputeSpans(g, src.Width(), src.Height());
    FillOutsideSpans(spans, dst, bg);
#ifdef OCU_ROTATE_VECTOR
    if constexpr (N == 4) {
        RotateFetch fetch = forcedFetch.load(std::memory_order_relaxed);
        if (fetch == RotateFetch::Chosen || (fetch == RotateFetch::Gather && !HasAvx2())) fetch = ChosenFetch();
        if (fetch == RotateFetch::Gather && IndexFits(src)) return CopySpansGather32(spans, src, dst, g);
        if (fetch == RotateFetch::Loads && IndexFits(src)) return CopySpansLoads32(spans, src, dst, g);
    }
#endif
    CopySpans<N>(spans, src, dst, g);
}

// ---- 4-bit and 1-bit ---------------------------------------------------------
// Gathered one value per byte into a line buffer and packed afterwards, so the
// sampling never does read-modify-write on bytes shared by two pixels.

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
    const u8* const* in = RowTable(src).data();
    const std::vector<RowSpan>& spans = ComputeSpans(g, src.Width(), src.Height());
    std::vector<u8> line(static_cast<std::size_t>(g.width));
    const std::size_t used = UsedBytes(g.width, dst.Format());
    const i64 dx = g.dxCol, dy = g.dyCol;
    for (int r = 0; r < g.height; ++r) {
        const RowSpan& s = spans[static_cast<std::size_t>(r)];
        u8* v = line.data();
        std::fill(v, v + s.lo, bg);
        i64 x = s.x + i64{s.lo} * dx, y = s.y + i64{s.lo} * dy;
        for (int c = s.lo; c < s.hi; ++c, x += dx, y += dy) v[c] = SampleFn(in[y >> 10], x >> 10);
        std::fill(v + s.hi, v + g.width, bg);
        PackFn(v, g.width, dst.Row(r));
        ZeroPadding(dst.Row(r), used, PaddedRow(dst));
    }
}

// ---- turns by 0 and 180 degrees ---------------------------------------------
// Sine 0 and cosine +-1024: every pixel lands inside the source exactly, on its
// own column or the mirrored one and its own row or the mirrored one. These are
// the mirror-only tick and the top-bottom mirror (1800 + Mirror).

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

// Several pixels per move, reordered in registers: the mirror tick should
// cost about what a copy does.
template <>
void ReverseRow<4>(const u8* in, u8* out, int width) {
    const u8* i = in + static_cast<std::size_t>(width) * 4;
    int c = 0;
#ifdef __SSE2__
    for (; c + 4 <= width; c += 4, out += 16) {
        i -= 16;
        const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi32(four, _MM_SHUFFLE(0, 1, 2, 3)));
    }
#endif
    for (; c + 2 <= width; c += 2, out += 8) {
        i -= 8;
        std::uint64_t two;
        std::memcpy(&two, i, 8);
        two = (two >> 32) | (two << 32);
        std::memcpy(out, &two, 8);
    }
    if (c < width) std::memcpy(out, i - 4, 4);
}

template <u8 (*SampleFn)(const u8*, i64), void (*PackFn)(const u8*, int, u8*)>
void ReversePacked(const u8* in, u8* out, int width, std::vector<u8>& line) {
    line.resize(static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c) line[static_cast<std::size_t>(c)] = SampleFn(in, width - 1 - c);
    PackFn(line.data(), width, out);
}

void CopyRowBits(const u8* in, u8* out, int width, int bits) {
    const std::size_t total = static_cast<std::size_t>(width) * static_cast<std::size_t>(bits);
    const std::size_t bytes = total / 8;
    std::memcpy(out, in, bytes);
    if (const unsigned tail = static_cast<unsigned>(total % 8); tail != 0)
        out[bytes] = static_cast<u8>(in[bytes] & (0xFF00u >> tail));  // the source's padding bits stay behind
}

void CopyAxisAligned(const Image& src, Image& dst, const RotateGeometry& g) {
    const bool flipRows = g.dyRow < 0;
    const bool flipCols = g.dxCol < 0;
    const int w = src.Width(), h = src.Height();
    const PixelFormat f = src.Format();
    const std::size_t used = UsedBytes(w, f);
    std::vector<u8> line;
    for (int r = 0; r < h; ++r) {
        const u8* in = src.Row(flipRows ? h - 1 - r : r);
        u8* out = dst.Row(r);
        ZeroPadding(out, used, PaddedRow(dst));
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
        case PixelFormat::Bits4: ReversePacked<Sample4, Pack4>(in, out, w, line); break;
        case PixelFormat::Bits1: ReversePacked<Sample1, Pack1>(in, out, w, line); break;
        case PixelFormat::Custom: break;  // refused before any pixel work
        }
    }
}

// The background of 4- and 8-bit results is the brightest palette entry,
// weighing blue above green above red; of equal entries the last wins. Only
// entries an index of the format can name take part: an entry beyond them
// would be cut to a different index, and so to a different colour.
u8 BrightestIndex(const std::vector<PaletteEntry>& palette, PixelFormat f) {
    const std::size_t count = std::min(palette.size(), std::size_t{1} << BitsPerPixel(f));
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
    // In 64 bits, so that INT_MIN reduces like every other angle.
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
    // The centre of the result lands on the centre of the source.
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

void RotateBitmapInto(const Image& source, Image& result, int angle, bool mirror, bool fitBounds) {
    if (source.Width() == 0 || source.Height() == 0) throw ERotateError("Bitmap Size Error");
    const PixelFormat f = source.Format();
    if (f == PixelFormat::Custom) throw ERotateError("Illegal Bitmap");

    const RotateGeometry g = ComputeRotateGeometry(source.Width(), source.Height(), angle, mirror, fitBounds);
    if (result.Width() != g.width || result.Height() != g.height || result.Format() != f) {
        if (!result.Empty() && !result.Owns())
            throw std::invalid_argument("a borrowed result must have the turned size and the source's format");
        result = Image::Uninitialized(g.width, g.height, f);
    }
    if (!result.Empty() && source.Bits() < result.Bits() + result.SizeBytes() &&
        result.Bits() < source.Bits() + source.SizeBytes())
        throw std::invalid_argument("the result must not share memory with the source");
    if (IsIndexed(f)) result.Palette().assign(source.Palette().begin(), source.Palette().end());

    if (IsAxisAligned(g)) {
        CopyAxisAligned(source, result, g);
        return;
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
}

Image RotateBitmap(const Image& source, int angle, bool mirror, bool fitBounds) {
    Image result;
    RotateBitmapInto(source, result, angle, mirror, fitBounds);
    return result;
}

void RotateEnlargedInto(const Image& source, int srcWidth, int srcHeight, Image& result, int angle, IntRect invert) {
    const int w = result.Width(), h = result.Height();
    if (source.Format() != PixelFormat::Bits32 || result.Format() != PixelFormat::Bits32 || w <= 0 || h <= 0 ||
        srcWidth <= 0 || srcHeight <= 0 || srcWidth > source.Width() || srcHeight > source.Height())
        throw std::invalid_argument("RotateEnlargedInto: 32-bit images of matching sizes only");
    if (source.Bits() < result.Bits() + result.SizeBytes() && result.Bits() < source.Bits() + source.SizeBytes())
        throw std::invalid_argument("the result must not share memory with the source");
    const RotateGeometry g = ComputeRotateGeometry(w, h, angle, false, false);
    const std::vector<RowSpan>& spans = ComputeSpans(g, w, h);
    FillOutsideSpans<4>(spans, result, {{0xFF, 0xFF, 0xFF, 0x00}});

    // Where column c and row r of the enlargement come from.
    thread_local std::vector<std::uint32_t> columnOffset;
    thread_local std::vector<const u8*> rowStart;
    columnOffset.resize(static_cast<std::size_t>(w));
    rowStart.resize(static_cast<std::size_t>(h));
    for (int c = 0; c < w; ++c)
        columnOffset[static_cast<std::size_t>(c)] = static_cast<std::uint32_t>(NearestSource(c, w, srcWidth)) * 4u;
    for (int r = 0; r < h; ++r) rowStart[static_cast<std::size_t>(r)] = source.Row(NearestSource(r, h, srcHeight));
    const std::uint32_t* cols = columnOffset.data();
    const u8* const* rows = rowStart.data();
    const i64 dx = g.dxCol, dy = g.dyCol;
    WalkTiles(spans, g, [&](int row, int lo, int count, i64 x, i64 y) {
        u8* o = result.Row(row) + static_cast<std::size_t>(lo) * 4;
        u8* const end = o + static_cast<std::size_t>(count) * 4;
        for (; o != end; o += 4, x += dx, y += dy) std::memcpy(o, rows[y >> 10] + cols[x >> 10], 4);
    });

    // The inverted rectangle, clipped to the enlargement: on each result row
    // the columns whose sample falls in it are found like the inside span.
    const i64 left = std::max(invert.Left, 0), right = std::min(invert.Right, w);
    const i64 top = std::max(invert.Top, 0), bottom = std::min(invert.Bottom, h);
    if (left >= right || top >= bottom) return;
    for (int r = 0; r < h; ++r) {
        const RowSpan& s = spans[static_cast<std::size_t>(r)];
        i64 lo = s.lo, hi = s.hi;
        // left * 1024 <= x < right * 1024, as 0 < x - left * 1024 + 1 < (right - left) * 1024 + 1
        ClipAxis(s.x - left * kOne + 1, dx, (right - left) * kOne + 1, lo, hi);
        ClipAxis(s.y - top * kOne + 1, dy, (bottom - top) * kOne + 1, lo, hi);
        if (lo < hi) NotBytesRange(result.Row(r) + lo * 4, static_cast<std::size_t>(hi - lo) * 4);
    }
}

void ForceRotateFetch(RotateFetch fetch) { forcedFetch.store(fetch, std::memory_order_relaxed); }

const char* RotateKernelName() {
#ifdef OCU_ROTATE_VECTOR
    return ChosenFetch() == RotateFetch::Gather ? "AVX2 gather (Intel)" : "SSE2 index, four loads";
#else
    return "scalar";
#endif
}

}  // namespace ocu
