// The pixel kernels of the capture tick, timed the same way in the native build and in
// the MinGW build run under Wine (scripts/bench runs both): the turn of a whole frame at
// several angles against a memcpy of that frame from memory, and the tick's RenderFrame.
//
//   ocu_kernel_bench [--quick] [--fetch scalar|loads|gather]
//
// --fetch times the turn with that way of fetching 32-bit pixels instead of the one
// this processor is given (gather needs AVX2), to compare them on one machine.
//
// The turn's cost depends on where its frames land: page boundaries, cache sets and,
// on Linux, whether the kernel backs them with huge pages, all of which change from run
// to run. So each turn is timed in five repetitions, each with the source and the result
// placed afresh at another offset (the last on huge pages where the system gives them),
// beside a memcpy timed in the same repetition.
//
// Prints "cpu NAME", "path NAME", "clock NAME", "kernel NAME MS" (median over the
// repetitions), "spread NAME MIN MAX" (the lowest and highest ratio to the memcpy of
// the same frame over the repetitions) and "worst_angle_SIZE DEG" lines.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "pipeline/FramePipeline.h"
#include "rotate/RotateBitmap.h"

namespace {

using ocu::Image;
using ocu::PixelFormat;
constexpr int kRepetitions = 5;

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

// The machine is shared: time spent waiting for the processor is not the kernel's.
// Windows' thread times tick too coarsely for a millisecond, so there the wall clock.
#ifdef _WIN32
constexpr const char* kClock = "wall";
double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
#else
constexpr const char* kClock = "thread-cpu";
double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}
#endif

template <class F>
double MedianMs(int runs, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const double a = NowMs();
        f(i);
        t.push_back(NowMs() - a);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// A 32-bit frame at `pad` bytes past a page boundary, on huge pages when asked and given.
class PlacedFrame {
public:
    PlacedFrame(int w, int h, std::size_t pad, bool huge) {
        constexpr std::size_t kAlign = std::size_t{2} << 20;
        const std::size_t stride = static_cast<std::size_t>(w) * 4;
        memory_.resize(stride * static_cast<std::size_t>(h) + pad + 2 * kAlign);
        auto* base = memory_.data() + (kAlign - reinterpret_cast<std::uintptr_t>(memory_.data()) % kAlign);
#ifdef __linux__
        madvise(base, memory_.size() - 2 * kAlign, huge ? MADV_HUGEPAGE : MADV_NOHUGEPAGE);
#else
        (void)huge;
#endif
        image_ = Image::View(base + pad, w, h, PixelFormat::Bits32, stride);
        std::memset(image_.Bits(), 0, image_.SizeBytes());
    }
    Image& Frame() { return image_; }

private:
    std::vector<std::uint8_t> memory_;
    Image image_;
};

void FillScreenish(Image& img) {
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x)
            img.SetPixel32(x, y, static_cast<std::uint32_t>(x * 2654435761u ^ y * 40503u));
}

Image Screenish(int w, int h) {
    Image img(w, h, PixelFormat::Bits32);
    FillScreenish(img);
    return img;
}

// A frame copied from memory: source and destination cycle through buffers far larger
// than the caches, so neither side is found there.
class MemcpyFromMemory {
public:
    explicit MemcpyFromMemory(std::size_t bytes)
        : bytes_(bytes),
          count_(std::max<std::size_t>(4, (std::size_t{256} << 20) / bytes)),
          src_(count_),
          dst_(count_) {
        for (std::size_t i = 0; i < count_; ++i) {
            src_[i].assign(bytes, static_cast<std::uint8_t>(i));
            dst_[i].assign(bytes, 0);
        }
    }
    double Ms(int runs) {
        return MedianMs(runs, [&](int) {
            const std::size_t k = next_++ % count_;
            std::memcpy(dst_[k].data(), src_[(k + count_ / 2) % count_].data(), bytes_);
        });
    }

private:
    std::size_t bytes_, count_, next_ = 0;
    std::vector<std::vector<std::uint8_t>> src_, dst_;
};

void Print(const std::string& name, double ms) { std::printf("kernel %s %.3f\n", name.c_str(), ms); }

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    bool quick = false;
    const char* fetch = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) quick = true;
        else if (std::strcmp(argv[i], "--fetch") == 0 && i + 1 < argc) fetch = argv[++i];
        else {
            std::fprintf(stderr, "usage: ocu_kernel_bench [--quick] [--fetch scalar|loads|gather]\n");
            return 2;
        }
    }
    const int runs = quick ? 5 : 15;
    std::printf("cpu %s\n", ProcessorName().c_str());
    if (fetch) {
        const std::string f = fetch;
        ocu::ForceRotateFetch(f == "scalar"   ? ocu::RotateFetch::Scalar
                              : f == "loads"  ? ocu::RotateFetch::Loads
                              : f == "gather" ? ocu::RotateFetch::Gather
                                              : ocu::RotateFetch::Chosen);
        std::printf("path forced: %s\n", fetch);
    } else {
        std::printf("path %s\n", ocu::RotateKernelName());
    }
    std::printf("clock %s\n", kClock);

    struct Size {
        int w, h;
        const char* tag;
    };
    for (const Size s : {Size{1920, 1000, "1920x1000"}, Size{992, 880, "992x880"}}) {
        // The worst angle is looked for on one placement, then timed on all of them.
        int worstAngle = 0;
        {
            const Image src = Screenish(s.w, s.h);
            Image dst = Image::Uninitialized(s.w, s.h, PixelFormat::Bits32);
            double worst = 0;
            for (int angle = 0; angle < 3600; angle += quick ? 150 : 25) {
                const double ms = MedianMs(quick ? 3 : 5, [&](int) { ocu::RotateBitmapInto(src, dst, angle, false); });
                if (ms > worst) {
                    worst = ms;
                    worstAngle = angle;
                }
            }
        }
        struct Case {
            std::string name;
            int angle;
            std::vector<double> ms, ratio;
        };
        std::vector<Case> cases;
        for (const int angle : {0, 137, 450})
            cases.push_back(
                {std::string("rotate_") + s.tag + "_" + std::to_string(angle / 10) + "." + std::to_string(angle % 10),
                 angle,
                 {},
                 {}});
        cases.push_back({std::string("rotate_") + s.tag + "_worst", worstAngle, {}, {}});

        MemcpyFromMemory copy(static_cast<std::size_t>(s.w) * s.h * 4);
        std::vector<double> copyMs;
        for (int rep = 0; rep < kRepetitions; ++rep) {
            // Offsets that move the rows across page boundaries and cache sets.
            const std::size_t pad = static_cast<std::size_t>(rep) * 1088 + (rep % 2) * 4;
            PlacedFrame src(s.w, s.h, pad, rep == kRepetitions - 1);
            PlacedFrame dst(s.w, s.h, 4096 - pad % 4096, rep == kRepetitions - 1);
            FillScreenish(src.Frame());
            copyMs.push_back(copy.Ms(runs * 2));
            for (Case& c : cases) {
                c.ms.push_back(
                    MedianMs(runs, [&](int) { ocu::RotateBitmapInto(src.Frame(), dst.Frame(), c.angle, false); }));
                c.ratio.push_back(c.ms.back() / copyMs.back());
            }
        }
        Print(std::string("memcpy_") + s.tag, Median(copyMs));
        for (const Case& c : cases) Print(c.name, Median(c.ms));
        for (const Case& c : cases)
            std::printf("spread %s %.2f %.2f\n", c.name.c_str(), *std::min_element(c.ratio.begin(), c.ratio.end()),
                        *std::max_element(c.ratio.begin(), c.ratio.end()));
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
        Print("render_992x880_" + std::to_string(angle / 10), MedianMs(runs * 3, [&](int) {
                  std::memcpy(capture.Bits(), pristine.Bits(), pristine.SizeBytes());
                  ocu::RenderFrame(capture, frame, p);
              }));
    }
    return 0;
}
