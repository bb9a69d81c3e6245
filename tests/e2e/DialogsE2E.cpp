// The Programs-menu shortcut, the options dialog and the version dialog through the real
// programs: the shortcut read back through the shell's own link object (the desktop entry
// read as the desktop reads it), the dialogs' texts and check box read from their controls
// where the system lets another program read them, and the view frozen behind the version
// dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "e2e/EdgeSteps.h"
#include "e2e/ModeProbe.h"
#include "image/PixelOps.h"
#include "mainwindow/ViewMath.h"
#include "platform/win32/DialogIds.h"
#include "support/OcumiraE2E.h"

namespace ocu::e2e {
namespace {

namespace fs = std::filesystem;

// "key value" lines of a helper's output; "" when the key is missing.
std::string Field(const std::string& text, std::string_view key)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == ' ')
            return line.substr(key.size() + 1);
    return "";
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// A drive-C path of the end-to-end prefix as a host path.
fs::path HostPath(const std::string& windowsPath)
{
    const char* prefix = std::getenv("OCU_E2E_WINEPREFIX");
    fs::path host = prefix && *prefix ? fs::path(prefix) : SourceDir() / "build" / "wineprefix-e2e";
    host /= "drive_c";
    std::string rest = windowsPath.substr(3);  // after "C:\"
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return host / rest;
}

// The dialog the main window owns: its title, the text and check state of item `id`. X tells
// the title of the native program's dialog only; a change of its picture stands for a check
// box that changed.
struct DialogState {
    std::string title, text;
    bool checked = false;
    Screenshot picture;
};
std::optional<DialogState> OwnedDialog(const XSession& session, int id, Edge edge = Edge::Wine, pid_t pid = 0)
{
    if (edge == Edge::Native) {
        const std::string title = DialogTitle(session, edge, pid);
        const auto r = title.empty() ? std::nullopt : session.WindowGeometry(session.FindWindowByTitlePrefix(title, 1s));
        if (!r) return std::nullopt;
        return DialogState{title, "", false, session.Grab(r->x, r->y, r->width, r->height)};
    }
    std::string out = Query(session, {"dialog", std::to_string(id)}) + "\n";
    std::erase(out, '\r');
    if (out.rfind("dialog ", 0) != 0 || out.rfind("dialog none", 0) == 0) return std::nullopt;
    return DialogState{Field(out, "dialog"), Field(out, "text"), Field(out, "checked") == "1", {}};
}

std::optional<DialogState> WaitForDialog(const XSession& session, int id, Edge edge = Edge::Wine, pid_t pid = 0)
{
    std::optional<DialogState> state;
    // The dialog, once it holds the keyboard (the tests answer it with keys).
    if (PollUntil([&] { return (state = OwnedDialog(session, id, edge, pid)).has_value(); }, 20s, 100ms) &&
        session.WaitFocusOn(state->title))
        state = OwnedDialog(session, id, edge, pid);
    return state;
}

// The Programs-menu folder, and what the shortcut there starts, in which folder, with which
// arguments: under Wine through the shell's link object, natively from the desktop entry in
// the program's home (a fresh one for each start).
fs::path Shortcut(const XSession& session, Edge edge, const Program& app)
{
    if (edge == Edge::Native) return app.Folder() / ".local" / "share" / "applications" / "Ocumira.desktop";
    return HostPath(Field(RunHelper(session, "helper_shortcut", {"programs"}), "programs")) / "Ocumira.lnk";
}
std::string ReadShortcut(const XSession& session, Edge edge, const fs::path& link)
{
    if (edge == Edge::Wine) return RunHelper(session, "helper_shortcut", {"read", Program::WindowsPath(link)});
    // Exec="<program>" as the entry quotes it; the other keys as they stand.
    const std::string entry = ReadFile(link);
    std::string exec = IniValue(entry, "Exec");
    if (exec.size() >= 2 && exec.front() == '"' && exec.back() == '"') exec = exec.substr(1, exec.size() - 2);
    return "target " + exec + "\nworkdir " + IniValue(entry, "Path") + "\nargs \n";
}

// A picture of the dialog's X window, for a person to look at; its path.
std::string DialogShot(const XSession& session, std::string_view title, const std::string& name, Rect* where = nullptr)
{
    const XWindow w = session.FindWindowByTitlePrefix(title, 10s);
    const auto r = w ? session.WindowGeometry(w) : std::nullopt;
    if (!r) return "(no window titled " + std::string(title) + ")";
    if (where) *where = *r;
    const int x = std::max(0, r->x), y = std::max(0, r->y);
    const int width = std::min(session.Width() - x, r->width), height = std::min(session.Height() - y, r->height);
    return SaveShot(session.Grab(x, y, width, height), name);
}

std::string IniWithRunCount(const StartSettings& settings, int runCount)
{
    std::string ini = SettingsText(settings);
    const auto at = ini.find("RunCount=10");
    return ini.replace(at, 11, "RunCount=" + std::to_string(runCount));
}

class DialogsE2E : public OnBothEdges<OcumiraE2E> {};

TEST_P(DialogsE2E, FirstStartsCreateTheShortcutAndTheOptionsDialogRemovesIt)
{
    const Edge edge = TestedEdge();
    XSession session;
    session.PaintPattern();
    session.MovePointer(200, 300);
    if (edge == Edge::Wine) {
        const std::string programs = Field(RunHelper(session, "helper_shortcut", {"programs"}), "programs");
        ASSERT_EQ(programs.rfind("C:\\", 0), 0u) << "Programs folder: " << programs;
        // The prefix is shared: begin as a machine that never ran the program.
        std::error_code ignored;
        fs::remove(HostPath(programs) / "Ocumira.lnk", ignored);
    }

    {
        Magnifier m(session, IniWithRunCount({}, 0), edge);
        ASSERT_NO_FATAL_FAILURE(m.Start());
        const fs::path link = Shortcut(session, edge, m.App());
        ASSERT_TRUE(PollUntil([&] { return fs::exists(link); }, 10s)) << "no shortcut at " << link;
        const std::string read = ReadShortcut(session, edge, link);
        const std::string exe = PathFor(edge, m.App().ExePath());
        EXPECT_EQ(Lower(Field(read, "target")), Lower(exe)) << read;
        EXPECT_EQ(Lower(Field(read, "workdir")), Lower(exe.substr(0, exe.find_last_of("\\/")))) << read;
        EXPECT_EQ(Field(read, "args"), "") << read;

        // The options dialog shows the shortcut there; Cancel keeps it.
        ChooseFromMenu(session, edge, m.Window(), CommandId::mmOption);
        auto options = WaitForDialog(session, IDC_RESIST_PROGRAM, edge, m.App().Pid());
        ASSERT_TRUE(options) << "no options dialog";
        EXPECT_EQ(options->title, "オプション");
        Rect box;
        const std::string shot = DialogShot(session, "オプション", "dialog-options", &box);
        std::printf("options dialog: %s (%d x %d)\n", shot.c_str(), box.width, box.height);
        if (edge == Edge::Wine) {
            EXPECT_EQ(options->text, "プログラムメニューにショートカットを配置");
            EXPECT_TRUE(options->checked);
            EXPECT_EQ(box.width, 321) << shot;
            EXPECT_EQ(box.height, 150) << shot;
            EXPECT_EQ(OwnedDialog(session, 203)->text, "") << "a second box below the shortcut's frame";
        }
        session.KeyCombo("Escape");
        ASSERT_TRUE(WaitDialogGone(session, edge, m.App().Pid()));
        EXPECT_TRUE(fs::exists(link)) << "Cancel removed the shortcut";

        // The box cleared with the keyboard and OK: the shortcut goes.
        ChooseFromMenu(session, edge, m.Window(), CommandId::mmOption);
        options = WaitForDialog(session, IDC_RESIST_PROGRAM, edge, m.App().Pid());
        ASSERT_TRUE(options && (options->checked || edge == Edge::Native));
        session.KeyCombo("space");
        ASSERT_TRUE(PollUntil(
            [&] {
                const auto now = OwnedDialog(session, IDC_RESIST_PROGRAM, edge, m.App().Pid());
                return now && (edge == Edge::Wine ? !now->checked : now->picture.pixels != options->picture.pixels);
            },
            10s))
            << "Space did not clear the box";
        session.KeyCombo("Return");
        ASSERT_TRUE(WaitDialogGone(session, edge, m.App().Pid()));
        EXPECT_TRUE(PollUntil([&] { return !fs::exists(link); }, 10s)) << "OK with the box cleared kept the shortcut";
        ASSERT_TRUE(m.App().Close());
    }

    // From the fifth start on the shortcut is left as the user left it; before it, a start
    // puts it back.
    for (const int runs : {5, 4}) {
        Magnifier m(session, IniWithRunCount({}, runs), edge);
        ASSERT_NO_FATAL_FAILURE(m.Start());  // the view runs: start-up is over
        const fs::path link = Shortcut(session, edge, m.App());
        if (runs == 5) {
            EXPECT_FALSE(fs::exists(link)) << "created although RunCount is 5";
        } else {
            EXPECT_TRUE(PollUntil([&] { return fs::exists(link); }, 10s)) << "not created again while RunCount is 4";
        }
        ASSERT_TRUE(m.App().Close());
    }
}

// A program folder nobody may add to or change, as Program Files is to a user: root, as the
// tests run, passes over permission bits, so the folder and its settings file are immutable.
struct SealedProgramFolder {
    explicit SealedProgramFolder(const std::string& ini)
    {
        char name[] = "/tmp/ocu-e2e-sealed-XXXXXX";
        if (!mkdtemp(name)) return;
        folder = name;
        fs::copy_file(OCUMIRA_EXE, folder / "Ocumira.exe");
        std::ofstream(folder / "Ocumira.ini", std::ios::binary) << ini;
        Shell("chattr +i " + Files(), &sealed);
        sealed = sealed && !std::ofstream(folder / "probe");
    }
    ~SealedProgramFolder()
    {
        if (folder.empty()) return;
        Shell("chattr -i " + Files());
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    std::string Files() const { return "'" + folder.string() + "' '" + (folder / "Ocumira.ini").string() + "'"; }
    fs::path folder;
    bool sealed = false;
};

// Beside a program that may not write its folder: the settings go to the user's folder, and
// the user is told so once, before the window shows; the next start reads them from there,
// so the runs are counted and the shortcut removed by the user is not made again. No
// message at exit.
TEST_P(DialogsE2E, AnUnwritableProgramFolderKeepsTheSettingsInTheUsersFolder)
{
    if (TestedEdge() == Edge::Native)
        GTEST_SKIP() << "the native program keeps its settings in the user's folder from the start; a settings "
                        "file it cannot write is BadInputE2E.UnwritableSettingsAreReportedAndTheProgramStillEnds";
    XSession session;
    const std::string programs = Field(RunHelper(session, "helper_shortcut", {"programs"}), "programs");
    const std::string tail = "\\Microsoft\\Windows\\Start Menu\\Programs";
    ASSERT_TRUE(programs.ends_with(tail)) << programs;
    const std::string userIni = programs.substr(0, programs.size() - tail.size()) + "\\Ocumira\\Ocumira.ini";
    const fs::path link = HostPath(programs) / "Ocumira.lnk", userIniHost = HostPath(userIni);
    std::error_code ignored;
    fs::remove(link, ignored);
    fs::remove(userIniHost, ignored);
    const std::string shipped = IniWithRunCount({}, 3);
    SealedProgramFolder folder(shipped);
    if (!folder.sealed) GTEST_SKIP() << "no immutable folders here (chattr needs root on ext2/3/4)";

    const auto run = [&](bool told) {
        ProgramOptions options;
        options.exe = folder.folder / "Ocumira.exe";
        options.inPlace = true;
        Program app(session, options);
        if (told) {
            std::string boxes;
            ASSERT_TRUE(PollUntil([&] { return (boxes = Query(session, {"boxes"})).starts_with("box "); }, 40s));
            EXPECT_EQ(boxes, "box Ocumira\tOcumira.exe のあるフォルダーに設定を保存できないため、設定は " + userIni +
                                 " に保存します。");
            const XWindow box = session.FindWindowByTitlePrefix("Ocumira", 10s);
            ASSERT_TRUE(PollUntil([&] { return session.FocusedWindow() == box; }, 10s));
            session.KeyCombo("Return");
        }
        ASSERT_NE(session.FindWindowByTitlePrefix(kMainTitle, 40s), 0u);
        EXPECT_EQ(Query(session, {"boxes"}), "boxes none");
        ASSERT_TRUE(app.Close()) << "the program did not end by itself: " << Query(session, {"boxes"});
        EXPECT_EQ(fs::exists(link), told) << "the shortcut is made at the first start only";
    };
    ASSERT_NO_FATAL_FAILURE(run(true));
    EXPECT_EQ(IniValue(ReadFile(userIniHost), "RunCount"), "5");
    fs::remove(link);
    ASSERT_NO_FATAL_FAILURE(run(false));
    EXPECT_EQ(IniValue(ReadFile(userIniHost), "RunCount"), "7");
    EXPECT_EQ(ReadFile(folder.folder / "Ocumira.ini"), shipped);
    fs::remove(userIniHost, ignored);
}

TEST_P(DialogsE2E, VersionDialogShowsTheFileVersionAndFreezesTheViewUntilOk)
{
    XSession session;
    session.PaintPattern();
    session.MovePointer(200, 300);
    // A tall window: the top of its view stays uncovered by the dialog centred on it.
    StartSettings settings;
    settings.left = 480;
    settings.top = 10;
    settings.right = 1260;
    settings.bottom = 1010;
    Magnifier m(session, SettingsText(settings), TestedEdge());
    ASSERT_NO_FATAL_FAILURE(m.Start());
    const Rect view = m.View();

    ChooseFromMenu(session, TestedEdge(), m.Window(), CommandId::About1);
    const auto version = WaitForDialog(session, IDC_VERSION_MEMO, TestedEdge(), m.App().Pid());
    ASSERT_TRUE(version) << "no version dialog";
    EXPECT_EQ(version->title, "バージョン情報");
    if (TestedEdge() == Edge::Wine) {
        EXPECT_EQ(version->text, "1.0.1.1");
    }
    Rect box;
    const std::string shot = DialogShot(session, "バージョン情報", "dialog-version", &box);
    std::printf("version dialog: %s (%d x %d)\n", shot.c_str(), box.width, box.height);

    // The rows of the view above the dialog, which stay visible.
    const int rows = std::min(box.y - view.y, view.height) - 1;
    ASSERT_GT(rows, 40) << "the dialog covers the view's top; dialog " << box << " view " << view;
    auto strip = [&] { return session.Grab(view.x, view.y, view.width, rows); };
    const Screenshot frozen = strip();
    // The pointer moves; a running view would follow it within a few ticks of 30 ms.
    session.MovePointer(260, 520);
    const bool changed = PollUntil([&] { return strip().pixels != frozen.pixels; }, 1500ms, 50ms);
    ASSERT_TRUE(m.App().Running()) << "Ocumira ended with the version dialog open";
    EXPECT_FALSE(changed) << "the view ran on behind the version dialog: "
                          << SaveShot(strip(), "dialog-version-behind");

    session.KeyCombo("Return");  // OK has the focus
    ASSERT_TRUE(WaitDialogGone(session, TestedEdge(), m.App().Pid()))
        << SaveShot(session.GrabRoot(), "dialog-version-stuck");
    // Running again: the strip shows the pattern around the pointer's new place.
    const int srcW = TruncDiv(view.width, 2.0f), srcH = TruncDiv(view.height, 2.0f);
    const IntPoint origin = SampleOrigin({260, 520}, srcW, srcH, IntRect{0, 0, session.Width(), session.Height()});
    auto source = [&](int vx, int vy) {
        return std::tuple(origin.X + NearestSource(vx, view.width, srcW),
                          origin.Y + NearestSource(vy, view.height, srcH));
    };
    std::string wrong;
    EXPECT_TRUE(PollUntil(
        [&] {
            const Screenshot now = strip();
            wrong.clear();
            for (int vy = 0; vy < rows; vy += 7)
                for (int vx = 0; vx < view.width; vx += 7)
                    if (XSession::DecodePattern(now.At(vx, vy)) != source(vx, vy) && wrong.size() < 200)
                        wrong += "(" + std::to_string(vx) + "," + std::to_string(vy) + ") ";
            return wrong.empty();
        },
        10s, 50ms))
        << "the view did not resume: " << wrong;
    ASSERT_TRUE(m.App().Close());
}

OCU_ON_BOTH_EDGES(DialogsE2E);

}  // namespace
}  // namespace ocu::e2e
