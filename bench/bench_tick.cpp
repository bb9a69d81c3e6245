// The capture tick's pixel work against the cheapest thing a tick could do:
// copying the finished view-sized frame once. The plain path should stay
// within twice that copy.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>

#include "pipeline/FramePipeline.h"

namespace {

using ocu::Image;
using ocu::PixelFormat;
using ocu::RenderParams;

RenderParams TickAtZoom4(int viewWidth, int viewHeight) {
    RenderParams p;
    p.ViewWidth = viewWidth;
    p.ViewHeight = viewHeight;
    p.ZoomRate = 4.0f;
    p.SrcWidth = viewWidth / 4;
    p.SrcHeight = viewHeight / 4;
    p.SrcX = 600;
    p.SrcY = 400;
    p.CursorX = p.SrcX + p.SrcWidth / 2;  // marker on, near the centre
    p.CursorY = p.SrcY + p.SrcHeight / 2;
    return p;
}

Image Screenish(int w, int h) {
    Image img(w, h, PixelFormat::Bits32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixel32(x, y, static_cast<std::uint32_t>(x * 2654435761u ^ y * 40503u));
    return img;
}

void RunTick(benchmark::State& state, RenderParams p) {
    Image capture = Screenish(p.SrcWidth, p.SrcHeight);
    Image frame(p.ViewWidth, p.ViewHeight, PixelFormat::Bits32);
    for (auto _ : state) {
        ocu::RenderFrame(capture, frame, p);
        benchmark::DoNotOptimize(frame.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(frame.SizeBytes()));
}

void BM_TickPlain(benchmark::State& state) {
    RunTick(state, TickAtZoom4(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
}

void BM_TickMirror(benchmark::State& state) {
    RenderParams p = TickAtZoom4(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    p.FlipH = true;
    RunTick(state, p);
}

void BM_MemcpyFrame(benchmark::State& state) {
    const Image from = Screenish(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Image to(from.Width(), from.Height(), PixelFormat::Bits32);
    for (auto _ : state) {
        std::memcpy(to.Bits(), from.Bits(), from.SizeBytes());
        benchmark::DoNotOptimize(to.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(to.SizeBytes()));
}

}  // namespace

BENCHMARK(BM_MemcpyFrame)->Args({300, 223})->Args({1920, 1000});
BENCHMARK(BM_TickPlain)->Args({300, 223})->Args({1920, 1000});
BENCHMARK(BM_TickMirror)->Args({1920, 1000});
