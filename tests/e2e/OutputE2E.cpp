// Image output through the real programs: the save dialog driven with the keyboard, the file it
// writes read back independently (our own BMP reader and ImageMagick), the clipboard read back
// by another program, and a print job through CUPS into a PDF.
//
// The view is pinned to a fixed area and the pointer rests away from it, so what the view shows
// is stable: a grab taken before a command is what the command's snapshot must hold.
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <thread>

#include "e2e/EdgeSteps.h"
#include "e2e/ModeProbe.h"
#include "image/PixelOps.h"
#include "mainwindow/ViewMath.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An uncompressed 24- or 32-bit BMP as a Screenshot (0x00RRGGBB, top-down), read without the
// program's own decoder; nullopt, with the reason, for anything else.
std::optional<Screenshot> ReadBmp(const fs::path& file, std::string* why)
{
    const auto b = ReadBytes(file);
    auto u16 = [&](size_t at) { return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return *why = "not a BMP", std::nullopt;
    const uint32_t offset = u32(10), bpp = u16(28), compression = u32(30);
    const int width = static_cast<int>(u32(18));
    const int rawHeight = static_cast<int>(u32(22));
    const int height = std::abs(rawHeight);
    if (u32(2) != b.size())
        return *why = "file size field " + std::to_string(u32(2)) + " != " + std::to_string(b.size()), std::nullopt;
    if ((bpp != 24 && bpp != 32) || (compression != 0 && compression != 3))
        return *why = "bpp " + std::to_string(bpp) + " compression " + std::to_string(compression), std::nullopt;
    const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    if (offset + stride * height > b.size()) return *why = "pixel data truncated", std::nullopt;
    Screenshot shot{0, 0, width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        const size_t row = offset + stride * static_cast<size_t>(rawHeight > 0 ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &b[row + static_cast<size_t>(x) * (bpp / 8)];
            shot.pixels[static_cast<size_t>(y) * width + x] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    }
    return shot;
}

// Pixels where two pictures of the same size differ (-1 when the sizes differ).
long Differences(const Screenshot& a, const Screenshot& b)
{
    if (a.width != b.width || a.height != b.height) return -1;
    long n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

class OutputE2E : public OnBothEdges<OcumiraE2E> {
protected:
    void SetUp() override
    {
        OcumiraE2E::SetUp();
        if (IsSkipped()) return;
        char folder[] = "/tmp/ocu-e2e-out-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        out_ = folder;
    }
    void TearDown() override
    {
        std::error_code ignored;
        if (!out_.empty() && !std::getenv("OCU_E2E_KEEP")) fs::remove_all(out_, ignored);
    }

    // Starts the magnifier pinned on a stable area of the pattern, the pointer resting away.
    void StartPinned()
    {
        ASSERT_NO_FATAL_FAILURE(StartPinnedOnPattern(session_, m_, TestedEdge()));
        ASSERT_TRUE(Stable(&plain_)) << "the view never settled";
        // It shows the pinned area of the pattern, not a blank window.
        const int srcW = TruncDiv(plain_.width, 2.0f), srcH = TruncDiv(plain_.height, 2.0f);
        long wrong = 0;
        for (int vy = 0; vy < plain_.height; ++vy)
            for (int vx = 0; vx < plain_.width; ++vx)
                wrong += XSession::DecodePattern(plain_.At(vx, vy)) !=
                         std::tuple(300 - srcW / 2 + NearestSource(vx, plain_.width, srcW),
                                    400 - srcH / 2 + NearestSource(vy, plain_.height, srcH));
        ASSERT_EQ(wrong, 0) << "the pinned view does not show the pattern; see " << SaveShot(plain_, "output-plain");
    }

    // Two grabs in a row 100 ms apart that agree: the view as it stays.
    bool Stable(Screenshot* shot, const std::function<bool(const Screenshot&)>& accept = {})
    {
        Screenshot last = m_->GrabView();
        return PollUntil(
            [&] {
                const Screenshot now = m_->GrabView();
                const bool same = Differences(now, last) == 0 && (!accept || accept(now));
                last = now;
                if (same) *shot = now;
                return same;
            },
            10s, 100ms);
    }

    // Gives the main window the keyboard (a hot key reaches it only then) with a click on its
    // caption, and puts the pointer back to rest. Not on the view: a press there starts a
    // window drag that a lost release would leave running. The native window is activated
    // through the window manager.
    void FocusMain()
    {
        auto foreground = [&] { return MainIsActive(session_, TestedEdge(), m_->Window()); };
        if (foreground()) return;
        if (TestedEdge() == Edge::Native) {
            ASSERT_TRUE(Activate(session_, m_->Window()));
            return;
        }
        const auto frame = session_.WindowGeometry(m_->Window());
        ASSERT_TRUE(frame);
        session_.MovePointer(frame->x + frame->width / 3, frame->y + 8);
        session_.Click(1);
        session_.MovePointer(640, 980);
        ASSERT_TRUE(PollUntil(foreground, 10s, 100ms)) << "the main window did not come to the foreground";
    }
    void Choose(CommandId id) { ChooseFromMenu(session_, TestedEdge(), m_->Window(), id); }
    void SaveAs(const fs::path& file)
    {
        ASSERT_TRUE(SaveThroughTheDialog(session_, TestedEdge(), m_->App().Pid(), file))
            << "no save dialog, or it stayed open (a question?); see "
            << SaveShot(session_.GrabRoot(), "output-save-stuck");
    }
    bool DialogShows(std::string* title) { return WaitForDialog(session_, TestedEdge(), m_->App().Pid(), title); }
    bool DialogGone() { return WaitDialogGone(session_, TestedEdge(), m_->App().Pid()); }

    XSession session_;
    std::unique_ptr<Magnifier> m_;
    Screenshot plain_;
    fs::path out_;
};

TEST_P(OutputE2E, SaveWritesTheViewAsBmpReplacesWithoutAskingAndCancelWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(StartPinned());
    // The grid on, with its hot key while the main window has the focus.
    ASSERT_NO_FATAL_FAILURE(FocusMain());
    session_.KeyCombo("ctrl+g");
    Screenshot grid;
    ASSERT_TRUE(Stable(&grid, [&](const Screenshot& s) { return Differences(s, plain_) > 0; }))
        << "Ctrl+G showed no grid";
    const long gridPixels = Differences(grid, plain_);
    EXPECT_LT(gridPixels, static_cast<long>(grid.pixels.size()) / 4) << "more than a grid changed";

    // view.jpg is asked for; view.bmp is written.
    Choose(CommandId::mmSaveViewFile);
    std::string title;
    ASSERT_TRUE(DialogShows(&title));
    const std::string dialogShot = SaveShot(session_.GrabRoot(), "output-save-dialog");
    ASSERT_NO_FATAL_FAILURE(SaveAs(out_ / "view.jpg"));
    const fs::path bmp = out_ / "view.bmp";
    ASSERT_TRUE(PollUntil([&] { return fs::exists(bmp); }, 10s))
        << "no view.bmp; dialog " << title << " " << dialogShot;
    EXPECT_FALSE(fs::exists(out_ / "view.jpg"));
    std::string why;
    const auto saved = ReadBmp(bmp, &why);
    ASSERT_TRUE(saved) << why;
    EXPECT_EQ(saved->width, m_->View().width);
    EXPECT_EQ(saved->height, m_->View().height);
    EXPECT_EQ(Differences(*saved, grid), 0)
        << "saved " << SaveShot(*saved, "output-saved-grid") << " on screen " << SaveShot(grid, "output-screen-grid");
    const std::string identify = Shell("identify -format '%m %w %h' '" + bmp.string() + "'");
    // BMP3: the plain BITMAPINFOHEADER layout.
    EXPECT_EQ(identify, "BMP3 " + std::to_string(m_->View().width) + " " + std::to_string(m_->View().height));

    // The grid off and saved again under the name that now exists: replaced, no question.
    ASSERT_NO_FATAL_FAILURE(FocusMain());
    session_.KeyCombo("ctrl+g");
    Screenshot again;
    ASSERT_TRUE(Stable(&again, [&](const Screenshot& s) { return Differences(s, plain_) == 0; }))
        << "the second Ctrl+G did not hide the grid: " << SaveShot(session_.GrabRoot(), "output-grid-off");
    const auto first = ReadBytes(bmp);
    Choose(CommandId::mmSaveViewFile);
    ASSERT_NO_FATAL_FAILURE(SaveAs(out_ / "view.bmp"));
    ASSERT_TRUE(PollUntil([&] { return ReadBytes(bmp) != first; }, 10s)) << "view.bmp was not replaced";
    const auto replaced = ReadBmp(bmp, &why);
    ASSERT_TRUE(replaced) << why;
    EXPECT_EQ(Differences(*replaced, plain_), 0) << SaveShot(*replaced, "output-saved-plain");

    // Escape in the dialog: nothing written, nothing touched.
    const auto second = ReadBytes(bmp);
    Choose(CommandId::mmSaveViewFile);
    ASSERT_TRUE(DialogShows(&title));
    session_.KeyCombo("Escape");
    ASSERT_TRUE(DialogGone());
    // The command has returned once its dialog is gone; a copy after it proves the program went on.
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(out_)) names.insert(e.path().filename().string());
    EXPECT_EQ(names, std::set<std::string>{"view.bmp"});
    EXPECT_EQ(ReadBytes(bmp), second);

    // Copy: the clipboard's text gives way to the view's picture.
    ASSERT_TRUE(PutOnClipboard(session_, TestedEdge(), "before"));
    Choose(CommandId::mmCopyToClipBoard);
    const std::string clip = (out_ / "clip.bmp").string();
    std::string reply;
    ASSERT_TRUE(PollUntil(
        [&] {
            reply = ClipboardPicture(session_, TestedEdge(), clip);
            return reply.rfind("bitmap", 0) == 0;
        },
        15s, 100ms))
        << reply << SaveShot(session_.GrabRoot(), "output-copy-failed");
    const auto copied = ReadBmp(clip, &why);
    ASSERT_TRUE(copied) << why;
    EXPECT_EQ(Differences(*copied, plain_), 0) << reply << " " << SaveShot(*copied, "output-clipboard");
    EXPECT_TRUE(m_->App().Running());
    ASSERT_TRUE(m_->App().Close());
}

// CUPS with the cups-pdf printer as the default destination; the scheduler is started here
// when none runs, and stopped again with the test.
class Cups {
public:
    // Empty when printing works; otherwise why it cannot here.
    std::string Start()
    {
        if (!fs::exists("/usr/lib/cups/backend/cups-pdf") || Shell("command -v cupsd lpadmin lpstat").empty())
            return "CUPS or cups-pdf is not installed (scripts/setup installs cups-daemon, cups-client, "
                   "printer-driver-cups-pdf)";
        if (Shell("lpstat -r").find("is running") == std::string::npos) {
            daemon_ = fork();
            if (daemon_ == 0) {
                setpgid(0, 0);
                execlp("cupsd", "cupsd", "-f", static_cast<char*>(nullptr));
                _exit(127);
            }
            if (!PollUntil([] { return Shell("lpstat -r").find("is running") != std::string::npos; }, 15s, 100ms))
                return "cupsd did not start";
        }
        bool ok = false;
        if (Shell("lpstat -v PDF", &ok); !ok) {
            const std::string added =
                Shell("lpadmin -p PDF -v cups-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", &ok);
            if (!ok) return "lpadmin failed: " + added;
        }
        Shell("cupsenable PDF; cupsaccept PDF; lpoptions -d PDF");
        return "";
    }
    ~Cups()
    {
        if (daemon_ > 0) {
            kill(daemon_, SIGTERM);
            waitpid(daemon_, nullptr, 0);
        }
    }

    // Where cups-pdf puts the jobs of this user ("Out" of its settings, ${HOME} expanded).
    static fs::path OutputFolder()
    {
        std::ifstream in("/etc/cups/cups-pdf.conf");
        std::string line, out = "${HOME}/PDF";
        while (std::getline(in, line))
            if (line.rfind("Out ", 0) == 0) out = line.substr(4);
        // cups-pdf runs the job as its user: that user's home from the password file counts.
        const passwd* user = getpwuid(getuid());
        return std::regex_replace(out, std::regex(R"(\$\{HOME\})"), user ? user->pw_dir : "/root");
    }
    static std::set<fs::path> Pdfs()
    {
        std::set<fs::path> found;
        std::error_code ignored;
        for (const auto& e : fs::directory_iterator(OutputFolder(), ignored))
            if (e.path().extension() == ".pdf") found.insert(e.path());
        return found;
    }
    // Jobs the scheduler has seen for the printer, finished or not.
    static int Jobs()
    {
        const std::string list = Shell("lpstat -W all -o PDF");
        return static_cast<int>(std::count(list.begin(), list.end(), '\n'));
    }

private:
    pid_t daemon_ = -1;
};

// Saved from the menu it opened with the keyboard, the picture is the view as it shows once
// the menu has closed, not the drop-down that covered its top a moment before.
TEST_P(OutputE2E, SavedFromTheMenuThePictureHoldsTheViewNotTheMenu)
{
    ASSERT_NO_FATAL_FAILURE(StartPinned());
    ASSERT_NO_FATAL_FAILURE(FocusMain());
    // One key at a time, each seen on the view: the picture to compare with has both.
    session_.KeyCombo("ctrl+d");
    Screenshot mirrored, shown;
    ASSERT_TRUE(
        Stable(&mirrored, [&](const Screenshot& s) { return Differences(s, plain_) > s.width * s.height / 2; }))
        << "Ctrl+D changed too little: " << SaveShot(session_.GrabRoot(), "output-menu-mirror");
    session_.KeyCombo("ctrl+g");
    ASSERT_TRUE(Stable(&shown, [&](const Screenshot& s) { return Differences(s, mirrored) > 0; }))
        << "Ctrl+G showed no grid: " << SaveShot(session_.GrabRoot(), "output-menu-grid");
    ASSERT_TRUE(m_->OpenMenuByKeys(3));  // 画像を保存, its first entry selected: the bitmap
    session_.KeyCombo("Return");
    ASSERT_NO_FATAL_FAILURE(SaveAs(out_ / "menu.bmp"));
    const fs::path bmp = out_ / "menu.bmp";
    ASSERT_TRUE(PollUntil([&] { return fs::exists(bmp); }, 10s));
    std::string why;
    const auto saved = ReadBmp(bmp, &why);
    ASSERT_TRUE(saved) << why;
    Screenshot now;
    ASSERT_TRUE(Stable(&now));
    EXPECT_EQ(Differences(now, shown), 0) << "the view changed: " << SaveShot(now, "output-menu-now");
    EXPECT_EQ(Differences(*saved, shown), 0)
        << "saved " << SaveShot(*saved, "output-menu-saved") << " on screen " << SaveShot(shown, "output-menu-shown");
}

TEST_P(OutputE2E, PrintPutsTheViewOnOnePageAndCancelPrintsNothing)
{
    Cups cups;
    if (const std::string why = cups.Start(); !why.empty()) GTEST_SKIP() << why;
    ASSERT_NO_FATAL_FAILURE(StartPinned());
    const auto pdfsBefore = Cups::Pdfs();
    const int jobsBefore = Cups::Jobs();

    Choose(CommandId::mmPrint);
    std::string title;
    ASSERT_TRUE(DialogShows(&title)) << "no print dialog (does Wine see the CUPS printer?)";
    const std::string cancelShot = SaveShot(session_.GrabRoot(), "output-print-dialog");
    session_.KeyCombo("Escape");
    ASSERT_TRUE(DialogGone());

    Choose(CommandId::mmPrint);
    ASSERT_TRUE(DialogShows(&title));
    session_.KeyCombo("Return");
    ASSERT_TRUE(DialogGone());
    std::set<fs::path> added;
    bool ok = false;
    ASSERT_TRUE(PollUntil(
        [&] {
            added.clear();
            for (const auto& p : Cups::Pdfs())
                if (!pdfsBefore.count(p)) added.insert(p);
            // cups-pdf writes the file in place: done once pdfinfo reads a page count.
            const std::string info =
                Shell(added.size() == 1 ? "pdfinfo '" + added.begin()->string() + "'" : "false", &ok);
            return ok && info.find("Pages:") != std::string::npos;
        },
        40s, 200ms))
        << "no PDF in " << Cups::OutputFolder() << "; dialog \"" << title << "\" " << cancelShot;
    // One job: the cancelled dialog printed nothing.
    EXPECT_EQ(added.size(), 1u);
    EXPECT_EQ(Cups::Jobs(), jobsBefore + 1);
    const fs::path pdf = *added.begin();
    const std::string info = Shell("pdfinfo '" + pdf.string() + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex(R"(\nPages:\s+1\n)"))) << info;
    // pdfimages -list: "page num type width height ..." after two header lines.
    const std::string images = Shell("pdfimages -list '" + pdf.string() + "'");
    std::smatch row;
    const std::regex image(R"(\n\s*1\s+\d+\s+image\s+(\d+)\s+(\d+))");
    ASSERT_TRUE(std::regex_search(images, row, image)) << images;
    EXPECT_EQ(std::stoi(row[1]), m_->View().width) << images;
    EXPECT_EQ(std::stoi(row[2]), m_->View().height) << images;
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 3) << "one image only: " << images;
    // And it is the view's picture: the image taken out of the PDF, pixel for pixel.
    const fs::path extracted = out_ / "printed";
    Shell("pdfimages -png '" + pdf.string() + "' '" + extracted.string() + "' && convert '" + extracted.string() +
          "-000.png' -depth 8 rgb:'" + extracted.string() + ".rgb'");
    const auto rgb = ReadBytes(extracted.string() + ".rgb");
    ASSERT_EQ(rgb.size(), plain_.pixels.size() * 3) << "the printed image could not be read back";
    Screenshot printed{0, 0, plain_.width, plain_.height, std::vector<uint32_t>(plain_.pixels.size())};
    for (size_t i = 0; i < printed.pixels.size(); ++i)
        printed.pixels[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    EXPECT_EQ(Differences(printed, plain_), 0) << SaveShot(printed, "output-printed");
    std::error_code ignored;
    if (!std::getenv("OCU_E2E_KEEP")) fs::remove(pdf, ignored);
    ASSERT_TRUE(m_->App().Close());
}

OCU_ON_BOTH_EDGES(OutputE2E);

}  // namespace
}  // namespace ocu::e2e
