// Damaged settings files at start: whatever the file says, the window opens where a person
// can reach it, the view draws, and the exit writes a whole file that keeps what the
// program does not own.
#include <climits>
#include <string>

#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

class StoredBoundsTest : public MainWindowTest {};

TEST_F(StoredBoundsTest, ImpossibleRectanglesOpenInTheWorkArea) {
    const struct {
        const char* label;
        std::string keys;
        IntRect expected;
    } rows[] = {
        // Larger than the desktop: the system would keep the far-off corner.
        {"huge", "Left=-5000\nTop=-5000\nRight=9000\nBottom=9000\n", {0, 0, 1920, 1040}},
        {"wider only", "Left=100\nTop=100\nRight=4000\nBottom=600\n", {0, 0, 1920, 500}},
        {"whole int range",
         "Left=-2147483648\nTop=-2147483648\nRight=2147483647\nBottom=2147483647\n",
         {0, 0, 1920, 1040}},
        // Inside out or empty: the default size.
        {"negative", "Left=700\nTop=300\nRight=400\nBottom=-20\n", {0, 0, 500, 500}},
        {"empty", "Left=700\nTop=300\nRight=700\nBottom=300\n", {0, 0, 500, 500}},
        {"inside out at the int ends", "Left=2147483647\nTop=0\nRight=-2147483648\nBottom=10\n", {0, 0, 500, 500}},
        // Reachable rectangles stay as stored; the system enforces its own minimum size.
        {"1x1", "Left=500\nTop=10\nRight=501\nBottom=11\n", {500, 10, 501, 11}},
        {"as large as the desktop", "Left=0\nTop=0\nRight=1920\nBottom=1080\n", {0, 0, 1920, 1080}},
        {"ordinary", "Left=880\nTop=80\nRight=1240\nBottom=520\n", {880, 80, 1240, 520}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.label);
        platform = FakePlatform{};
        Start("[BoundsRect]\n" + r.keys);
        EXPECT_EQ(platform.Window, r.expected);
    }
}

TEST_F(StoredBoundsTest, ASecondMonitorKeepsAWindowSpanningBoth) {
    platform.Desktop = {-1920, 0, 1920, 1080};
    Start("[BoundsRect]\nLeft=-1800\nTop=100\nRight=1000\nBottom=700\n");
    EXPECT_EQ(platform.Window, (IntRect{-1800, 100, 1000, 700}));
}

TEST_F(StoredBoundsTest, DamagedFilesStartDrawAndAreWrittenBackWhole) {
    const std::string longLine = "Long=" + std::string(1 << 20, 'x');
    const struct {
        const char* label;
        std::string text;
        float zoom;
        int interval;
    } files[] = {
        {"garbage values, LF, no final newline",
         "[Zuri]\nCapRate=abc\nSamplingRate=fast\nScaleWidth=\nFixView=yes\nFixViewX=0x\n[Foreign]\nKeep=me", 1.0f,
         100},
        {"negative and huge",
         "[Zuri]\r\nCapRate=-30\r\nSamplingRate=99999999999\r\nScaleWidth=-300\r\n[Foreign]\r\nKeep=me\r\n", 1.0f, 100},
        {"0x forms", "[Zuri]\r\nCapRate=0x1E\r\nSamplingRate=0x32\r\n[Foreign]\r\nKeep=me\r\n", 3.0f, 50},
        {"huge zoom and rate", "[Zuri]\nCapRate=2147483647\nSamplingRate=100000\n[Foreign]\nKeep=me\n", 16.0f, 400},
        {"duplicated sections: the first counts",
         "[Zuri]\nCapRate=20\n[Foreign]\nKeep=me\n[Zuri]\nCapRate=50\nSamplingRate=30\n", 2.0f, 100},
        {"a 1 MB line", "[Foreign]\r\nKeep=me\r\n" + longLine + "\r\n[Zuri]\r\nCapRate=25\r\n", 2.5f, 100},
        {"only foreign lines", "[Foreign]\nKeep=me\n", 1.0f, 100},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.label);
        platform = FakePlatform{};
        store = MemoryStore{};
        Start(f.text);
        form->FormResize();  // the resize the system reports once the bounds are set
        EXPECT_FLOAT_EQ(S().ZoomRate, f.zoom);
        EXPECT_EQ(platform.CaptureInterval, f.interval);
        const int frames = platform.Frames;
        Tick();
        EXPECT_EQ(platform.Frames, frames + 1) << "the view does not draw";
        form->FormDestroy();
        ASSERT_TRUE(ini->SaveOnExit());
        const std::string& saved = *store.text;
        EXPECT_NE(saved.find("[Foreign]"), std::string::npos);
        EXPECT_NE(saved.find("Keep=me"), std::string::npos);
        if (f.text.find(longLine) != std::string::npos) {
            EXPECT_NE(saved.find(longLine), std::string::npos);
        }
        for (const char* key : {"Left=", "Top=", "Right=", "Bottom=", "CapRate=", "SamplingRate=", "RunCount="})
            EXPECT_NE(saved.find(key), std::string::npos) << key;
        // What the file gets back reads the same way again.
        FakePlatform again;
        MemoryStore copy;
        copy.text = saved;
        TIniManager reread(copy, "x.ini");
        EXPECT_EQ(reread.BoundsRect, platform.Window);
    }
}

}  // namespace
}  // namespace ocu::testing
