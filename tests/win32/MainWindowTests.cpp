// The main window as the behaviour sees it: messages in, TfrmCap calls out.
#include <gtest/gtest.h>

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "mainwindow/TfrmCap.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/TextConvert.h"
#include "platform/win32/ToolBar.h"
#include "settings/IniManager.h"
#include "support/ArrangeView.h"
#include "win32/MainWindowFixture.h"
#include "win32/Win32TestSupport.h"

namespace ocu::win {
namespace {

using wintest::PollUntil;
using wintest::PumpMessages;

RECT ClientRectOf(HWND child, HWND parent) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class MainWindowTest : public MainWindowFixture {
protected:
    HWND Hwnd() const { return window_.Handle(); }
    HWND Tools() { return window_.Tools()->Handle(); }
    const ViewState& S() const { return form_.State(); }
    LPARAM ButtonCentre(int index) {
        RECT r{};
        ::SendMessageW(Tools(), TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { ::SendMessageW(Hwnd(), msg, w, l); }
};

TEST_F(MainWindowTest, IsASizeableTfrmCapWithoutMaximiseOnTheMenuColour) {
    wchar_t cls[64]{};
    ::GetClassNameW(Hwnd(), cls, 64);
    EXPECT_STREQ(cls, L"TfrmCap");
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(Hwnd(), GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX));
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    EXPECT_EQ(::GetClassLongPtrW(Hwnd(), GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_MENU + 1));
    EXPECT_EQ(::GetMenu(Hwnd()), window_.Menu()->Handle());
    EXPECT_NE(::GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << "topmost from the start";
}

TEST_F(MainWindowTest, BarsAndViewAreLaidOutTopToBottom) {
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const RECT info = ClientRectOf(window_.InfoBar()->Handle(), Hwnd());
    EXPECT_EQ(info.top, 0);
    EXPECT_EQ(info.bottom, 17);
    EXPECT_EQ(info.right, client.right);
    EXPECT_EQ(window_.InfoBar()->Text(0), L"押しっぱなしにすると連続効果になります。");

    const RECT tools = ClientRectOf(Tools(), Hwnd());
    EXPECT_EQ(tools.top, 17);
    EXPECT_EQ(tools.bottom, S().ViewTop) << "the view begins where the bars end";
    ASSERT_EQ(::SendMessageW(Tools(), TB_BUTTONCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; ++i) {
        RECT b{};
        ::SendMessageW(Tools(), TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(b.right - b.left, 60) << i;
        EXPECT_EQ(b.bottom - b.top, 38) << i;
    }

    const RECT status = ClientRectOf(window_.MainStatusBar()->Handle(), Hwnd());
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(S().ViewLeft, 0);
    EXPECT_EQ(S().ViewTop, 61);
    EXPECT_EQ(S().ViewWidth, client.right);
    EXPECT_EQ(S().ViewHeight, client.bottom - (status.bottom - status.top) - 61);
}

// Wine never sends WM_DPICHANGED; the test sends it as Windows does on a change of scale.
TEST_F(MainWindowTest, AtAnotherDpiBarsButtonsAndFontsScaleAndTheSuggestedRectangleIsTaken) {
    RECT original{}, now{};
    ::GetWindowRect(Hwnd(), &original);
    const auto changeTo = [&](int dpi, RECT suggested, int infoBottom, int viewTop, int button, int font) {
        SCOPED_TRACE(dpi);
        Send(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        ::GetWindowRect(Hwnd(), &now);
        EXPECT_TRUE(::EqualRect(&now, &suggested));
        const RECT tools = ClientRectOf(Tools(), Hwnd()),
                   status = ClientRectOf(window_.MainStatusBar()->Handle(), Hwnd());
        EXPECT_EQ(ClientRectOf(window_.InfoBar()->Handle(), Hwnd()).bottom, infoBottom);
        EXPECT_EQ(tools.top, infoBottom);
        EXPECT_EQ(tools.bottom, viewTop);
        EXPECT_EQ(S().ViewTop, viewTop);
        EXPECT_EQ(S().ViewHeight, status.top - viewTop);
        RECT b{};
        ::SendMessageW(Tools(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(b.right - b.left, button);
        LOGFONTW lf{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Tools(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
        EXPECT_EQ(lf.lfHeight, -font);
    };
    changeTo(192, RECT{original.left, original.top, original.left + 900, original.top + 700}, 34, 122, 120, 24);
    changeTo(96, original, 17, 61, 60, 12);
}

TEST_F(MainWindowTest, TitleAndPanelsCarryTheStatusTexts) {
    wchar_t title[256]{};
    ::GetWindowTextW(Hwnd(), title, 256);
    EXPECT_EQ(std::wstring(title).rfind(L"Lumivane Ocumira [倍率:1.0倍 回転:  0度 状態:表示モード]", 0), 0u) << title;
    EXPECT_EQ(window_.MainStatusBar()->Text(0), L"表面レイヤ：off");
}

TEST_F(MainWindowTest, APanelGrowsToAWiderTextAndNeverShrinks) {
    StatusBar& bar = *window_.MainStatusBar();
    const int before = bar.PanelWidth(1);
    platform_.SetStatusText(1, "とても長い変換の説明がここに入ります");
    const int grown = bar.PanelWidth(1);
    EXPECT_GT(grown, before);
    // Measured off screen, the text must take the width it takes on the bar itself.
    // The bar measures a character once and adds the advances up: pairs that a
    // typesetter would kern must still come out as GDI's extent of the line.
    const auto extent = [&](const std::wstring& text) {
        SIZE size{};
        const HDC dc = ::GetDC(bar.Handle());
        const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(bar.Handle(), WM_GETFONT, 0, 0)));
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(bar.Handle(), dc);
        return static_cast<int>(size.cx);
    };
    EXPECT_EQ(grown, extent(L"とても長い変換の説明がここに入ります") + 10);  // the panel's borders and margins
    platform_.SetStatusText(1, "AVAWAToTyLT 反転(左右) 1,234.5 (yjgq) マウス座標(-1920,1079) AVAWATo");
    EXPECT_EQ(bar.PanelWidth(1), extent(L"AVAWAToTyLT 反転(左右) 1,234.5 (yjgq) マウス座標(-1920,1079) AVAWATo") + 10);
    const int longest = bar.PanelWidth(1);
    platform_.SetStatusText(1, "短い");
    EXPECT_EQ(bar.PanelWidth(1), longest);
    EXPECT_EQ(bar.Text(1), L"短い");
}

// What a bar shows, read back from its window: the pixels of a panel and how
// many of them differ from the panel's most common colour (its face).
struct PanelPixels {
    std::vector<COLORREF> pixels;
    int Marked() const {
        std::map<COLORREF, int> count;
        for (const COLORREF c : pixels) ++count[c];
        int most = 0;
        for (const auto& [colour, n] : count) most = std::max(most, n);
        return static_cast<int>(pixels.size()) - most;
    }
    bool Has(COLORREF c) const { return std::find(pixels.begin(), pixels.end(), c) != pixels.end(); }
};

PanelPixels ReadPanel(StatusBar& bar, int panel) {
    ::UpdateWindow(bar.Handle());
    const RECT r = bar.PanelRect(panel);
    PanelPixels out;
    const HDC dc = ::GetDC(bar.Handle());
    for (LONG y = r.top + 2; y < r.bottom - 2; ++y)
        for (LONG x = r.left + 2; x < r.right - 2; ++x) out.pixels.push_back(::GetPixel(dc, x, y));
    ::ReleaseDC(bar.Handle(), dc);
    return out;
}

// Screen readers are told when a panel's text changes (not when it is set again unchanged).
TEST_F(MainWindowTest, APanelsNewTextIsAnnouncedAsANameChange) {
    static std::vector<std::pair<HWND, LONG>> heard;
    heard.clear();
    const HWINEVENTHOOK hook = ::SetWinEventHook(
        EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_CLIENT) heard.emplace_back(hwnd, child);
        },
        ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    for (int i = 0; i < 2; ++i) platform_.SetStatusText(2, "マウス座標( 1, 2)");
    PollUntil([] { return !heard.empty(); });
    PumpMessages();
    ::UnhookWinEvent(hook);
    EXPECT_EQ(heard, (std::vector<std::pair<HWND, LONG>>{{window_.MainStatusBar()->Handle(), 3}}));
}

TEST_F(MainWindowTest, TheBarsShowTheirTextsAndTheSwatchRepaintsAlone) {
    EXPECT_EQ(window_.InfoBar()->PanelCount(), 1) << "the hint alone until the readout is asked for";
    platform_.ShowColorReadout(true);
    EXPECT_EQ(window_.InfoBar()->PanelCount(), 2);
    EXPECT_GT(window_.InfoBar()->PanelWidth(0), 200) << "the hint is wider than 200 and keeps its room";
    platform_.SetStatusText(2, "マウス座標( 123, 456)");
    platform_.SetColorReadout(0x112233, "#112233");
    PumpMessages();
    EXPECT_GT(ReadPanel(*window_.InfoBar(), 0).Marked(), 20) << "the hint is drawn";
    EXPECT_GT(ReadPanel(*window_.MainStatusBar(), 2).Marked(), 20) << "the coordinates are drawn";
    const PanelPixels empty = ReadPanel(*window_.MainStatusBar(), 1);
    EXPECT_TRUE(empty.Has(kCream) && empty.Marked() == 0) << "sbMain is cream, whatever the visual style";
    // A reader outside the program asks the bar itself.
    const HWND status = window_.MainStatusBar()->Handle();
    wchar_t asked[64]{};
    EXPECT_EQ(LOWORD(::SendMessageW(status, SB_GETTEXTLENGTHW, 2, 0)), 16);
    EXPECT_EQ(LOWORD(::SendMessageW(status, SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(asked))), 16);
    EXPECT_STREQ(asked, L"マウス座標( 123, 456)");
    EXPECT_EQ(::SendMessageW(status, SB_GETTEXTLENGTHW, 9, 0), 0) << "no such panel";
    const PanelPixels first = ReadPanel(*window_.InfoBar(), 1);
    EXPECT_TRUE(first.Has(RGB(0x11, 0x22, 0x33))) << "the swatch shows the colour";
    EXPECT_GT(first.Marked(), 20);

    // The next colour is drawn over the panel at once.
    platform_.SetColorReadout(0x445566, "#445566");
    const PanelPixels next = ReadPanel(*window_.InfoBar(), 1);
    EXPECT_TRUE(next.Has(RGB(0x44, 0x55, 0x66)));
    EXPECT_FALSE(next.Has(RGB(0x11, 0x22, 0x33)));
    // Drawn alone, the panel looks as the bar's own full repaint makes it.
    ::InvalidateRect(window_.InfoBar()->Handle(), nullptr, TRUE);
    EXPECT_TRUE(ReadPanel(*window_.InfoBar(), 1).pixels == next.pixels) << "nothing left over, nothing missing";
    EXPECT_GT(ReadPanel(*window_.InfoBar(), 0).Marked(), 20) << "the hint beside it stays";
    platform_.ShowColorReadout(false);
    EXPECT_EQ(window_.InfoBar()->PanelCount(), 1);
    EXPECT_EQ(window_.InfoBar()->Text(1), L"") << "the readout went with its panel";
}

// Tools that read the bar in ANSI (the system's code page, 932 here) or as a window's
// text (its first panel, as the control answers) get the texts the bar shows.
TEST_F(MainWindowTest, EveryReaderGetsTheBarsTexts) {
    platform_.SetStatusText(2, "マウス座標( 123, 456)");
    const HWND status = window_.MainStatusBar()->Handle();
    char ansi[64]{};
    EXPECT_EQ(::SendMessageA(status, SB_GETTEXTLENGTHA, 2, 0), 21);  // bytes; 0 in the high word: a sunken panel
    EXPECT_EQ(::SendMessageA(status, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(ansi)), 21);
    EXPECT_EQ(std::string(ansi), "\x83\x7D\x83\x45\x83\x58\x8D\xC0\x95\x57( 123, 456)");
    EXPECT_EQ(::SendMessageA(status, SB_GETTEXTA, 9, reinterpret_cast<LPARAM>(ansi)), 0) << "no such panel";

    wchar_t wide[64]{};
    EXPECT_EQ(::GetWindowTextLengthW(status), 9);
    EXPECT_EQ(::GetWindowTextW(status, wide, 64), 9);
    EXPECT_STREQ(wide, L"表面レイヤ：off");
    EXPECT_EQ(::GetWindowTextW(status, wide, 4), 3) << "cut to the room given";
    EXPECT_STREQ(wide, L"表面レ");
    EXPECT_EQ(::GetWindowTextA(status, ansi, 64), 15);
    EXPECT_EQ(std::string(ansi), "\x95\x5C\x96\xCA\x83\x8C\x83\x43\x83\x84\x81\x46\x6F\x66\x66");
}

// The grip's ridges on the bar's own cream: no square of the system's button face.
TEST_F(MainWindowTest, TheSizeGripSitsOnTheCreamBar) {
    const HWND status = window_.MainStatusBar()->Handle();
    ::InvalidateRect(status, nullptr, TRUE);
    ::UpdateWindow(status);
    RECT client{};
    ::GetClientRect(status, &client);
    const int side = std::min<int>(::GetSystemMetrics(SM_CXVSCROLL), client.bottom);
    std::map<COLORREF, int> seen;
    const HDC dc = ::GetDC(status);
    for (LONG y = client.bottom - side; y < client.bottom; ++y)
        for (LONG x = client.right - side; x < client.right; ++x) ++seen[::GetPixel(dc, x, y)];
    ::ReleaseDC(status, dc);
    EXPECT_EQ(seen.count(::GetSysColor(COLOR_BTNFACE)), 0u);
    EXPECT_GT(seen[kCream], side * side / 3);
    EXPECT_GT(seen[::GetSysColor(COLOR_BTNSHADOW)], side) << "the ridges are drawn";
}

TEST_F(MainWindowTest, MenuAcceleratorAndHotKeyReachTheirCommands) {
    Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(CommandId::mmRate20), 0));
    EXPECT_FLOAT_EQ(S().ZoomRate, 2.0f);
    Send(WM_COMMAND, MAKEWPARAM(kShortcutBase + static_cast<WORD>(CommandId::mmUP), 1));
    EXPECT_FLOAT_EQ(S().ZoomRate, 3.0f);
    Send(WM_HOTKEY, 201);
    EXPECT_NEAR(S().ZoomRate, 3.1f, 1e-5);
    Send(WM_COMMAND, MAKEWPARAM(9999, 0));  // no such command: nothing happens
    EXPECT_NEAR(S().ZoomRate, 3.1f, 1e-5);
}

TEST_F(MainWindowTest, AShortcutRunsOnlyWhatItsMenuWouldEnable) {
    const int areaLeft = S().AreaLeft;
    // No fixed area and no projection: the arrow entries are disabled, the key does nothing.
    Send(WM_COMMAND, MAKEWPARAM(kShortcutBase + static_cast<WORD>(CommandId::mmLeft), 1));
    EXPECT_EQ(S().AreaLeft, areaLeft);
    EXPECT_EQ(window_.Menu()->IsEnabled(CommandId::mmLeft), false);
}

TEST_F(MainWindowTest, OpeningATopLevelMenuRefreshesItsEntries) {
    const HMENU fixView = window_.Menu()->PopupOf(CommandId::MenuFixView);
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fixView), MAKELPARAM(1, FALSE));
    EXPECT_EQ(window_.Menu()->IsEnabled(CommandId::mmDowner), false);
    support::ArrangeView(form_, [&](ViewState& s) { s.FixView = true; });
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fixView), MAKELPARAM(1, FALSE));
    EXPECT_EQ(window_.Menu()->IsEnabled(CommandId::mmDowner), true);
    EXPECT_EQ(window_.Menu()->IsChecked(CommandId::mmFixViewSw), true);
    support::ArrangeView(form_, [&](ViewState& s) { s.FixView = false; });
    // The system menu is not one of ours.
    Send(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(fixView), MAKELPARAM(1, TRUE));
    EXPECT_EQ(window_.Menu()->IsChecked(CommandId::mmFixViewSw), true);
}

TEST_F(MainWindowTest, AToolBarClickTogglesAndAHeldButtonRepeatsUntilReleased) {
    ::SendMessageW(Tools(), WM_LBUTTONDOWN, MK_LBUTTON, ButtonCentre(2));  // 左右反転
    ::SendMessageW(Tools(), WM_LBUTTONUP, 0, ButtonCentre(2));
    PumpMessages();
    EXPECT_TRUE(S().FlipH);

    ::SendMessageW(Tools(), WM_LBUTTONDOWN, MK_LBUTTON, ButtonCentre(0));  // もっと拡大
    EXPECT_EQ(S().RepeatAction, 110);
    ASSERT_TRUE(PollUntil([&] { return S().ZoomRate >= 1.25f; })) << "the zoom grows while held";
    ::SendMessageW(Tools(), WM_LBUTTONUP, 0, ButtonCentre(0));
    const float released = S().ZoomRate;
    PollUntil([] { return false; }, std::chrono::milliseconds(350));
    EXPECT_FLOAT_EQ(S().ZoomRate, released) << "and stops when released";

    // Any button holds: the right one turns the view counter-clockwise while held.
    ::SendMessageW(Tools(), WM_RBUTTONDOWN, MK_RBUTTON, ButtonCentre(6));  // 左に回転
    ASSERT_TRUE(PollUntil([&] { return S().RotateAngle >= 20; }));
    ::SendMessageW(Tools(), WM_RBUTTONUP, 0, ButtonCentre(6));
    const int angle = S().RotateAngle;
    PollUntil([] { return false; }, std::chrono::milliseconds(350));
    EXPECT_EQ(S().RotateAngle, angle);
    EXPECT_EQ(::GetCapture(), nullptr) << "the bar gives the mouse back";
}

TEST_F(MainWindowTest, HeldButtonStopsWhenTheMouseIsTakenAway) {
    ::SendMessageW(Tools(), WM_LBUTTONDOWN, MK_LBUTTON, ButtonCentre(1));  // 拡大戻す
    ASSERT_NE(window_.Tools()->Held(), std::nullopt);
    ::SetCapture(Hwnd());  // a message box or another window takes the mouse
    EXPECT_EQ(window_.Tools()->Held(), std::nullopt);
    ::ReleaseCapture();
}

TEST_F(MainWindowTest, MinimiseReleasesTheHotKeysAndRestoreTakesThemBack) {
    ASSERT_TRUE(form_.Keys().Registered());
    ::ShowWindow(Hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(PollUntil([&] { return ::IsIconic(Hwnd()) != FALSE; }));
    EXPECT_FALSE(form_.Keys().Registered());
    // The restore as the system reports it (a window manager may take its time
    // to give an iconified window back, so the message is sent here directly).
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 300));
    EXPECT_TRUE(form_.Keys().Registered());
    Send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(form_.Keys().Registered());
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 300));
    EXPECT_TRUE(form_.Keys().Registered());
}

TEST_F(MainWindowTest, ALeftPressOnTheViewHoldsTheMouseUntilItsRelease) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 120));
    EXPECT_EQ(::GetCapture(), Hwnd());
    EXPECT_TRUE(S().Dragging);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(100, 120));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(S().Dragging);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 120));
    EXPECT_EQ(::GetCapture(), nullptr) << "a right press does not take the mouse";
    Send(WM_RBUTTONUP, 0, MAKELPARAM(100, 120));
}

TEST_F(MainWindowTest, OverTheViewThePointerKeepsTheShapeTheBehaviourChose) {
    platform_.SetCursorShape(CursorShape::Hand);
    EXPECT_NE(platform_.CurrentCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(
        ::SendMessageW(Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
        TRUE);
    EXPECT_EQ(::GetCursor(), platform_.CurrentCursor());
    platform_.SetCursorShape(CursorShape::Arrow);
    EXPECT_EQ(platform_.CurrentCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(MainWindowTest, ClosingSavesTheBoundsAndZoomAndEndsTheLoop) {
    Send(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(CommandId::mm40), 0));
    RECT bounds{};
    ::GetWindowRect(Hwnd(), &bounds);
    Send(WM_CLOSE);
    EXPECT_EQ(window_.Handle(), nullptr);
    EXPECT_FALSE(form_.Keys().Registered());
    MSG msg{};
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the message loop is told to end";
    EXPECT_EQ(ini_.BoundsRect, (IntRect{static_cast<int>(bounds.left), static_cast<int>(bounds.top),
                                        static_cast<int>(bounds.right), static_cast<int>(bounds.bottom)}));
    EXPECT_FLOAT_EQ(ini_.CapRate, 4.0f);
    ASSERT_TRUE(store_.text.has_value());
    EXPECT_NE(store_.text->find("CapRate=40"), std::string::npos);
}

TEST(MainWindowShiftTest, KeysAndButtonsOfAMouseMessageBecomeTheShiftState) {
    const struct {
        WPARAM keys;
        bool dbl;
        ShiftState expected;
    } table[] = {
        {0, false, {}},
        {MK_LBUTTON, false, {.Left = true}},
        {MK_RBUTTON | MK_CONTROL, false, {.Ctrl = true, .Right = true}},
        {MK_MBUTTON | MK_SHIFT, true, {.Shift = true, .Middle = true, .Double = true}},
        {MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL,
         false,
         {.Shift = true, .Ctrl = true, .Left = true, .Right = true}},
    };
    for (const auto& row : table) {
        const ShiftState s = MainWindow::ShiftFromKeys(row.keys, row.dbl);
        EXPECT_EQ(s.Shift, row.expected.Shift);
        EXPECT_EQ(s.Ctrl, row.expected.Ctrl);
        EXPECT_EQ(s.Left, row.expected.Left);
        EXPECT_EQ(s.Right, row.expected.Right);
        EXPECT_EQ(s.Middle, row.expected.Middle);
        EXPECT_EQ(s.Double, row.expected.Double);
    }
}

}  // namespace
}  // namespace ocu::win
