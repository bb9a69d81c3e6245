// The release archive as a user gets it: scripts/package packs the built exe and the guide,
// the archive is unpacked into a fresh folder and the program started from there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "e2e/Harness.h"
#include "e2e/ViewProbe.h"

namespace ocu::e2e {
namespace {

namespace fs = std::filesystem;

// project(Ocumira VERSION x.y.z.w ...) of the top CMakeLists.txt.
std::string ProjectVersion()
{
    std::smatch m;
    const std::string text = ReadFile(SourceDir() / "CMakeLists.txt");
    return std::regex_search(text, m, std::regex(R"(project\(Ocumira VERSION ([0-9.]+))")) ? m[1].str() : "";
}

class PackageE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!OcumiraBuilt()) GTEST_SKIP() << "OCUMIRA_EXE not set: no Windows build to pack";
        char folder[] = "/tmp/ocu-package-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        work_ = folder;
    }
    void TearDown() override
    {
        std::error_code ignored;
        if (!work_.empty() && !std::getenv("OCU_E2E_KEEP")) fs::remove_all(work_, ignored);
    }
    fs::path work_;
};

TEST_F(PackageE2E, UnpackedArchiveHoldsTheGuideAndStarts)
{
    const std::string version = ProjectVersion();
    ASSERT_FALSE(version.empty());
    const fs::path dist = work_ / "dist", unpacked = work_ / "unpacked";
    const std::string pack = "OCU_PACKAGE_ONLY=zip OCU_PACKAGE_EXE='" + std::string(OCUMIRA_EXE) + "' OCU_PACKAGE_DIST='" + dist.string() +
                             "' '" + (SourceDir() / "scripts" / "package").string() + "' > '" +
                             (work_ / "package.txt").string() + "' 2>&1";
    ASSERT_EQ(std::system(pack.c_str()), 0) << ReadFile(work_ / "package.txt");
    const fs::path archive = dist / ("Ocumira-" + version + "-win64.zip");
    ASSERT_TRUE(fs::is_regular_file(archive)) << "no " << archive << "; " << ReadFile(work_ / "package.txt");

    fs::create_directories(unpacked);
    const std::string unzip = "unzip -q '" + archive.string() + "' -d '" + unpacked.string() + "'";
    ASSERT_EQ(std::system(unzip.c_str()), 0);
    const fs::path folder = unpacked / ("Ocumira-" + version);
    const fs::path exe = folder / "Ocumira.exe", guide = folder / "使い方.txt";
    ASSERT_TRUE(fs::is_regular_file(exe));
    ASSERT_TRUE(fs::is_regular_file(guide));
    EXPECT_EQ(ReadFile(exe), ReadFile(OCUMIRA_EXE)) << "the archive holds another exe than the one built";
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++entries;
    EXPECT_EQ(entries, 2u) << "only the program and its guide belong in the folder";

    // Notepad shows the guide right: UTF-8 with a byte order mark, Windows line ends only.
    const std::string text = ReadFile(guide);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    size_t lines = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ++lines;
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "a bare LF at byte " << i;
            if (i == 0 || text[i - 1] != '\r') break;
        }
    EXPECT_GT(lines, 50u);
    for (const char* topic : {"Ocumira.ini", "Ctrl+A", "Shift+←", "環境設定", "画像をPNG形式で保存する...",
                              "Ctrl+マウスホイール", "#RRGGBB"})
        EXPECT_NE(text.find(topic), std::string::npos) << "the guide does not mention " << topic;

    // Started from the unpacked folder, with no settings file yet, as after a download.
    XSession session;
    session.PaintPattern();
    session.MovePointer(100, 800);
    ProgramOptions options;
    options.exe = exe;
    options.inPlace = true;
    Program app(session, options);
    const XWindow window = session.FindWindowByTitlePrefix("Lumivane Ocumira", 60s);
    ASSERT_NE(window, 0u) << "the unpacked program showed no main window";
    // A first start opens with the default bounds.
    EXPECT_TRUE(PollUntil(
        [&] {
            return session.WindowGeometry(window) == Rect{300, 100, 500, 500};
        },
        10s))
        << session.WindowGeometry(window).value_or(Rect{});
    // Its view runs: the pointer's marker, the pointer's pattern colour inverted (a colour the
    // pattern has nowhere on this screen), shows in the window.
    const uint32_t marker = XSession::PatternColor(100, 800) ^ 0xFFFFFF;
    EXPECT_TRUE(PollUntil(
        [&] {
            const Screenshot inside = session.Grab(300, 100, 500, 500);
            return std::find(inside.pixels.begin(), inside.pixels.end(), marker) != inside.pixels.end();
        },
        10s))
        << "the view shows no pointer marker";
    const auto shot = viewprobe::SaveShot(session.GrabRoot(), "package-started");
    EXPECT_EQ(session.WindowTitle(window).rfind("Lumivane Ocumira [倍率:1.0倍", 0), 0u)
        << session.WindowTitle(window) << "; see " << shot.string();
    EXPECT_TRUE(app.Close(window));
    EXPECT_TRUE(fs::is_regular_file(folder / "Ocumira.ini")) << "the settings file belongs beside the unpacked exe";
}

}  // namespace
}  // namespace ocu::e2e
