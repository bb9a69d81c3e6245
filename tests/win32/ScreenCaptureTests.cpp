// Screen capture into DIB sections, the frame buffer shown in a window, and the
// release of every GDI object on the way.
#include <gtest/gtest.h>

#include <random>

#include "platform/win32/ScreenCapture.h"
#include "platform/win32/ScreenMarker.h"
#include "platform/win32/Win32Platform.h"
#include "win32/Win32TestSupport.h"

namespace ocu::win {
namespace {

using wintest::ColourWindow;
using wintest::FromColorRef;
using wintest::PixelRgb;
using wintest::PollUntil;
using wintest::Rgb;

constexpr RECT kArea{40, 60, 40 + 90, 60 + 70};

// Waits until the window's corners are on the screen, as the X server shows
// windows a little after they are mapped.
bool ShownOnScreen(ScreenCapture& capture, const ColourWindow& w) {
    return PollUntil([&] {
        Image* img = capture.Capture(kArea.left, kArea.top, w.Width(), w.Height(), PixelFormat::Bits32);
        return img != nullptr && PixelRgb(*img, 0, 0) == FromColorRef(w.Expected(0, 0)) &&
               PixelRgb(*img, w.Width() - 1, w.Height() - 1) == FromColorRef(w.Expected(w.Width() - 1, w.Height() - 1));
    });
}

class ScreenCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ShownOnScreen(capture_, window_)) << "the test window never reached the screen";
    }
    ColourWindow window_{kArea};
    ScreenCapture capture_;
};

TEST(ScreenFormatTest, TheScreensDepthHasAFormatTheCoreKnows) { EXPECT_NE(ScreenPixelFormat(), PixelFormat::Custom); }

TEST_F(ScreenCaptureTest, EveryFormatHoldsTheWindowsColoursPixelForPixel) {
    // Pure colours survive every format exactly, palettes included.
    for (PixelFormat f :
         {PixelFormat::Bits32, PixelFormat::Bits24, PixelFormat::Bits16, PixelFormat::Bits15, PixelFormat::Bits8}) {
        SCOPED_TRACE(static_cast<int>(f));
        Image* img = capture_.Capture(kArea.left, kArea.top, window_.Width(), window_.Height(), f);
        ASSERT_NE(img, nullptr);
        ASSERT_EQ(img->Format(), f);
        ASSERT_EQ(img->Width(), window_.Width());
        ASSERT_EQ(img->Height(), window_.Height());
        EXPECT_EQ(img->Stride(), StrideFor(window_.Width(), f));
        int wrong = 0;
        for (int y = 0; y < img->Height(); ++y)
            for (int x = 0; x < img->Width(); ++x)
                if (PixelRgb(*img, x, y) != FromColorRef(window_.Expected(x, y))) ++wrong;
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(ScreenCaptureTest, AnyPartOfTheScreenLandsAtTheBuffersTopLeft) {
    std::mt19937 rng(7);
    for (int i = 0; i < 40; ++i) {
        std::uniform_int_distribution<int> xs(0, window_.Width() - 1), ys(0, window_.Height() - 1);
        const int x = xs(rng), y = ys(rng);
        const int w = std::uniform_int_distribution<int>(1, window_.Width() - x)(rng);
        const int h = std::uniform_int_distribution<int>(1, window_.Height() - y)(rng);
        Image* img = capture_.Capture(kArea.left + x, kArea.top + y, w, h, PixelFormat::Bits32);
        ASSERT_NE(img, nullptr);
        ASSERT_EQ(img->Width(), w);
        ASSERT_EQ(img->Height(), h);
        for (int py : {0, h / 2, h - 1})
            for (int px : {0, w / 2, w - 1})
                ASSERT_EQ(PixelRgb(*img, px, py), FromColorRef(window_.Expected(x + px, y + py)))
                    << "area " << x << "," << y << " " << w << "x" << h << " at " << px << "," << py;
    }
}

TEST_F(ScreenCaptureTest, TheSectionIsMadeAgainOnlyWhenItMustGrowOrChangeFormat) {
    ASSERT_NE(capture_.Capture(kArea.left, kArea.top, 60, 50, PixelFormat::Bits32), nullptr);
    const HBITMAP first = capture_.Buffer().Bitmap();
    ASSERT_NE(capture_.Capture(kArea.left, kArea.top, 20, 10, PixelFormat::Bits32), nullptr);
    ASSERT_NE(capture_.Capture(kArea.left, kArea.top, 60, 50, PixelFormat::Bits32), nullptr);
    EXPECT_EQ(capture_.Buffer().Bitmap(), first) << "a smaller or equal area reuses the section";
    ASSERT_NE(capture_.Capture(kArea.left, kArea.top, 61, 50, PixelFormat::Bits32), nullptr);
    EXPECT_GE(capture_.Buffer().CapacityWidth(), 61);
    ASSERT_NE(capture_.Capture(kArea.left, kArea.top, 20, 10, PixelFormat::Bits16), nullptr);
    EXPECT_EQ(capture_.Buffer().View().Format(), PixelFormat::Bits16);
}

TEST_F(ScreenCaptureTest, NothingToCaptureIsAFailureNotACrash) {
    EXPECT_EQ(capture_.Capture(0, 0, 0, 10, PixelFormat::Bits32), nullptr);
    EXPECT_EQ(capture_.Capture(0, 0, 10, -1, PixelFormat::Bits32), nullptr);
    EXPECT_EQ(capture_.Capture(0, 0, 10, 10, PixelFormat::Custom), nullptr);
}

TEST_F(ScreenCaptureTest, ThePlatformCapturesInTheScreensFormat) {
    Win32Platform platform(::GetModuleHandleW(nullptr));
    Image* img = platform.CaptureScreen(kArea.left, kArea.top, window_.Width(), window_.Height());
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->Format(), platform.ScreenFormat());
    EXPECT_EQ(PixelRgb(*img, window_.SplitX(), 0), FromColorRef(ColourWindow::TopRight));
    EXPECT_EQ(PixelRgb(*img, window_.SplitX() - 1, window_.SplitY()), FromColorRef(ColourWindow::BottomLeft));
    EXPECT_EQ(PixelRgb(*img, window_.LineX(), window_.Height() - 1), FromColorRef(ColourWindow::Line));
}

// The bytes of a pixel that a screen of that format shows exactly (not the
// unused top byte of 32-bit pixels).
int ColourBytes(PixelFormat f) { return f == PixelFormat::Bits32 ? 3 : BitsPerPixel(f) / 8; }

TEST_F(ScreenCaptureTest, AFrameShownInTheWindowComesBackFromTheScreen) {
    Win32Platform platform(::GetModuleHandleW(nullptr));
    platform.Attach(MainWindowParts{window_.Handle(), nullptr, nullptr, nullptr});
    constexpr int left = 7, top = 5, w = 50, h = 40;
    Image* frame = platform.FrameBuffer(w, h);
    ASSERT_NE(frame, nullptr);
    const PixelFormat f = frame->Format();
    ASSERT_EQ(f, platform.ScreenFormat());
    if (IsIndexed(f)) GTEST_SKIP() << "a palette screen maps colours, no byte pattern survives";
    const int bytes = BitsPerPixel(f) / 8;
    auto pattern = [](int x, int y, int i) { return static_cast<std::uint8_t>(x * 5 + y * 11 + i * 83); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int i = 0; i < bytes; ++i) frame->Row(y)[x * bytes + i] = pattern(x, y, i);
    platform.ShowFrame(left, top, w, h);
    auto matches = [&](const Image& img, int x, int y) {
        for (int i = 0; i < ColourBytes(f); ++i)
            if (img.Row(y)[x * bytes + i] != pattern(x, y, i)) return false;
        return true;
    };
    Image* back = nullptr;
    ASSERT_TRUE(PollUntil([&] {
        back = platform.CaptureScreen(kArea.left + left, kArea.top + top, w, h);
        return back != nullptr && matches(*back, w - 1, h - 1);
    }));
    int wrong = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!matches(*back, x, y)) ++wrong;
    EXPECT_EQ(wrong, 0);
    // Outside the frame the window is untouched.
    Image* around = platform.CaptureScreen(kArea.left, kArea.top, left, top);
    ASSERT_NE(around, nullptr);
    EXPECT_EQ(PixelRgb(*around, 0, 0), FromColorRef(ColourWindow::TopLeft));
}

TEST_F(ScreenCaptureTest, TheMarkerBackupPutsTheScreenBack) {
    ScreenMarker marker;
    const RECT r = kArea;
    const IntRect area{static_cast<int>(r.left) + 10, static_cast<int>(r.top) + 10, static_cast<int>(r.left) + 60,
                       static_cast<int>(r.top) + 50};
    marker.SaveBackup(area);
    EXPECT_EQ(marker.BackupWidth(), 50);
    EXPECT_EQ(marker.BackupHeight(), 40);
    ScreenMarker::DrawFrame({area.Left + 2, area.Top + 2, area.Right - 4, area.Bottom - 4});
    Image* drawn = capture_.Capture(area.Left, area.Top, area.Width(), area.Height(), PixelFormat::Bits32);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(PixelRgb(*drawn, 2, 20), (Rgb{255, 0, 0})) << "the red frame is on the screen";
    marker.RestoreBackup(area);
    Image* restored = capture_.Capture(area.Left, area.Top, area.Width(), area.Height(), PixelFormat::Bits32);
    ASSERT_NE(restored, nullptr);
    for (int y = 0; y < area.Height(); ++y)
        for (int x = 0; x < area.Width(); ++x)
            ASSERT_EQ(PixelRgb(*restored, x, y), FromColorRef(window_.Expected(x + 10, y + 10))) << x << "," << y;
}

TEST_F(ScreenCaptureTest, TheDashedOutlineLeavesTheInsideAlone) {
    ScreenMarker marker;
    const IntRect area{static_cast<int>(kArea.left) + 4, static_cast<int>(kArea.top) + 4,
                       static_cast<int>(kArea.left) + 44, static_cast<int>(kArea.top) + 34};
    marker.SaveBackup(area);
    ScreenMarker::DrawOutline(area);
    Image* drawn = capture_.Capture(area.Left, area.Top, area.Width(), area.Height(), PixelFormat::Bits32);
    ASSERT_NE(drawn, nullptr);
    int blackOnEdge = 0;
    for (int x = 0; x < area.Width(); ++x)
        if (PixelRgb(*drawn, x, 0) == Rgb{0, 0, 0}) ++blackOnEdge;
    EXPECT_GT(blackOnEdge, 0);
    EXPECT_LT(blackOnEdge, area.Width()) << "dashed, not solid";
    EXPECT_EQ(PixelRgb(*drawn, area.Width() / 2, area.Height() / 2), FromColorRef(window_.Expected(4 + 20, 4 + 15)));
    marker.RestoreBackup(area);
}

// The probe itself must see a leak, or the test below proves nothing.
TEST(GdiUsageTest, TheProbeSeesALeak) {
    const long before = wintest::GdiObjectsInUse();
    std::vector<HBRUSH> leaked;
    for (int i = 0; i < 600; ++i) leaked.push_back(::CreateSolidBrush(RGB(i % 256, 1, 2)));
    const long during = wintest::GdiObjectsInUse();
    for (HBRUSH b : leaked) ::DeleteObject(b);
    EXPECT_GE(during - before, 500);
    EXPECT_LT(wintest::GdiObjectsInUse() - before, 50);
}

TEST_F(ScreenCaptureTest, AThousandTicksLeaveNoGdiObjectBehind) {
    Win32Platform platform(::GetModuleHandleW(nullptr));
    platform.Attach(MainWindowParts{window_.Handle(), nullptr, nullptr, nullptr});
    // Warm up: the first calls make the long-lived sections.
    ASSERT_NE(platform.CaptureScreen(kArea.left, kArea.top, 80, 60), nullptr);
    ASSERT_NE(platform.FrameBuffer(80, 60), nullptr);
    const long before = wintest::GdiObjectsInUse();
    for (int i = 0; i < 1000; ++i) {
        const int w = 10 + i % 70, h = 10 + (i * 7) % 50;
        ASSERT_NE(platform.CaptureScreen(kArea.left, kArea.top, w, h), nullptr);
        ASSERT_NE(platform.FrameBuffer(w, h), nullptr);
        platform.ShowFrame(0, 0, w, h);
        if (i % 10 == 0) {
            const IntRect r{static_cast<int>(kArea.left), static_cast<int>(kArea.top), static_cast<int>(kArea.left) + w,
                            static_cast<int>(kArea.top) + h};
            platform.SaveScreenBackup(r);
            platform.DrawPickOutline(r);
            platform.DrawTargetFrame(r);
            platform.RestoreScreenBackup(r);
        }
    }
    // The sections may have grown once each (the old ones freed); nothing more.
    EXPECT_LT(wintest::GdiObjectsInUse() - before, 20);
}

}  // namespace
}  // namespace ocu::win
