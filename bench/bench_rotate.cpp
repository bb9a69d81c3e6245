// RotateBitmap on a view-sized 32-bit frame, against a plain memcpy of the
// same frame. Every Rotate benchmark reports "x_memcpy": its CPU time per
// frame divided by the memcpy's, measured in the same process. CPU time of
// the thread rather than wall time, so that a busy machine skews it less.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <vector>

#include "image/Image.h"
#include "rotate/RotateBitmap.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1000;

double ThreadNanos() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

const ocu::Image& Frame() {
    static const ocu::Image frame = [] {
        ocu::Image img(kWidth, kHeight, ocu::PixelFormat::Bits32);
        std::uint32_t v = 12345;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) img.SetPixel32(x, y, (v = v * 1664525u + 1013904223u) >> 8);
        return img;
    }();
    return frame;
}

// Median of a batch of copies, warmed up, so each ratio has a steady divisor.
double MemcpyNanosPerFrame() {
    static const double nanos = [] {
        const ocu::Image& src = Frame();
        std::vector<std::uint8_t> dst(src.SizeBytes());
        std::vector<double> times;
        for (int i = 0; i < 60; ++i) {
            const double t0 = ThreadNanos();
            std::memcpy(dst.data(), src.Bits(), src.SizeBytes());
            benchmark::DoNotOptimize(dst.data());
            benchmark::ClobberMemory();
            times.push_back(ThreadNanos() - t0);
        }
        std::sort(times.begin() + 10, times.end());
        return times[35];
    }();
    return nanos;
}

template <class Body>
void RunTimed(benchmark::State& state, Body&& body) {
    const double baseline = MemcpyNanosPerFrame();
    double total = 0;
    for (auto _ : state) {
        const double t0 = ThreadNanos();
        body();
        total += ThreadNanos() - t0;
    }
    state.counters["x_memcpy"] = total / static_cast<double>(state.iterations()) / baseline;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Frame().SizeBytes()));
}

void BM_RotateBaselineMemcpy(benchmark::State& state) {
    const ocu::Image& src = Frame();
    std::vector<std::uint8_t> dst(src.SizeBytes());
    RunTimed(state, [&] {
        std::memcpy(dst.data(), src.Bits(), src.SizeBytes());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    });
}

// What any routine that returns a fresh frame pays before its first pixel.
void BM_RotateBaselineClone(benchmark::State& state) {
    RunTimed(state, [] { benchmark::DoNotOptimize(Frame().Clone()); });
}

void BM_Rotate(benchmark::State& state, int angle, bool mirror) {
    RunTimed(state, [&] { benchmark::DoNotOptimize(ocu::RotateBitmap(Frame(), angle, mirror, false)); });
}

BENCHMARK(BM_RotateBaselineMemcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RotateBaselineClone)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Rotate, Mirror0, 0, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Rotate, Mirror1800, 1800, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Rotate, Angle450, 450, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Rotate, Angle137, 137, false)->Unit(benchmark::kMicrosecond);
// A quarter turn reads the source down its columns: the worst case for the caches.
BENCHMARK_CAPTURE(BM_Rotate, Angle900, 900, false)->Unit(benchmark::kMicrosecond);

}  // namespace
