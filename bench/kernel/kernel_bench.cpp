// The pixel kernels of the capture tick, timed the same way in the native build and in
// the MinGW build run under Wine (scripts/bench runs both): the turn of a whole frame at
// every angle against a memcpy of that frame from memory, and the tick's RenderFrame.
//
//   ocu_kernel_bench [--quick]
//
// Prints "cpu NAME", "path NAME" and "kernel NAME MS" lines (medians).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "pipeline/FramePipeline.h"
#include "rotate/RotateBitmap.h"

namespace {

using ocu::Image;
using ocu::PixelFormat;
using Clock = std::chrono::steady_clock;

std::string ProcessorName() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned regs[12]{};
    if (__get_cpuid(0x80000000u, &regs[0], &regs[1], &regs[2], &regs[3]) && regs[0] >= 0x80000004u) {
        for (unsigned i = 0; i < 3; ++i)
            __get_cpuid(0x80000002u + i, &regs[4 * i], &regs[4 * i + 1], &regs[4 * i + 2], &regs[4 * i + 3]);
        std::string name(reinterpret_cast<const char*>(regs), sizeof regs);
        name.erase(name.find_last_not_of(std::string(" \0", 2)) + 1);
        name.erase(0, name.find_first_not_of(' '));
        return name;
    }
#endif
    return "unknown";
}

Image Screenish(int w, int h) {
    Image img(w, h, PixelFormat::Bits32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixel32(x, y, static_cast<std::uint32_t>(x * 2654435761u ^ y * 40503u));
    return img;
}

template <class F>
double MedianMs(int runs, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        f(i);
        t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// A frame copied from memory: source and destination cycle through buffers far larger
// than the caches, so neither side is found there.
double MemcpyFromMemoryMs(std::size_t bytes, int runs) {
    const std::size_t count = std::max<std::size_t>(4, (std::size_t{256} << 20) / bytes);
    std::vector<std::vector<std::uint8_t>> src(count), dst(count);
    for (std::size_t i = 0; i < count; ++i) {
        src[i].assign(bytes, static_cast<std::uint8_t>(i));
        dst[i].assign(bytes, 0);
    }
    return MedianMs(runs, [&](int i) {
        const std::size_t k = static_cast<std::size_t>(i) % count;
        std::memcpy(dst[k].data(), src[(k + count / 2) % count].data(), bytes);
    });
}

void Print(const char* name, double ms) { std::printf("kernel %s %.3f\n", name, ms); }

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    const int runs = quick ? 5 : 15;
    std::printf("cpu %s\n", ProcessorName().c_str());
    std::printf("path %s\n", ocu::RotateKernelName());

    struct Size {
        int w, h;
        const char* tag;
    };
    for (const Size s : {Size{1920, 1000, "1920x1000"}, Size{992, 880, "992x880"}}) {
        const Image src = Screenish(s.w, s.h);
        Image dst = Image::Uninitialized(s.w, s.h, PixelFormat::Bits32);
        const double copy = MemcpyFromMemoryMs(src.SizeBytes(), runs * 2);
        Print((std::string("memcpy_") + s.tag).c_str(), copy);
        double worst = 0;
        int worstAngle = 0;
        const int step = quick ? 150 : 25;
        for (int angle = 0; angle < 3600; angle += step) {
            const double ms = MedianMs(quick ? 3 : 5, [&](int) { ocu::RotateBitmapInto(src, dst, angle, false); });
            if (ms > worst) {
                worst = ms;
                worstAngle = angle;
            }
        }
        for (const int angle : {450, 137}) {
            char name[64];
            std::snprintf(name, sizeof name, "rotate_%s_%d.%d", s.tag, angle / 10, angle % 10);
            Print(name, MedianMs(runs, [&](int) { ocu::RotateBitmapInto(src, dst, angle, false); }));
        }
        char name[64];
        std::snprintf(name, sizeof name, "rotate_%s_worst", s.tag);
        Print(name, worst);
        std::printf("worst_angle_%s %d.%d\n", s.tag, worstAngle / 10, worstAngle % 10);
    }

    // The tick at 992x880, zoom 4, marker on.
    for (const int angle : {0, 450}) {
        ocu::RenderParams p;
        p.ViewWidth = 992;
        p.ViewHeight = 880;
        p.ZoomRate = 4.0f;
        p.SrcWidth = 248;
        p.SrcHeight = 220;
        p.SrcX = 600;
        p.SrcY = 400;
        p.CursorX = p.SrcX + 124;
        p.CursorY = p.SrcY + 110;
        p.RotateAngle = angle;
        const Image pristine = Screenish(p.SrcWidth, p.SrcHeight);
        Image capture = pristine.Clone();
        Image frame(p.ViewWidth, p.ViewHeight, PixelFormat::Bits32);
        char name[64];
        std::snprintf(name, sizeof name, "render_992x880_%d", angle / 10);
        Print(name, MedianMs(runs * 3, [&](int) {
                  std::memcpy(capture.Bits(), pristine.Bits(), pristine.SizeBytes());
                  ocu::RenderFrame(capture, frame, p);
              }));
    }
    return 0;
}
