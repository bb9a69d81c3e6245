#include <algorithm>
#include <set>
#include <string>

#include "mainwindow/ToolPictures.h"
#include "support/MainWindowFixture.h"

namespace ocu::testing {
namespace {

TEST(CommandTable, EveryMenuCommandSitsUnderItsTopLevelAndShortcutsAreUnique) {
    std::set<std::pair<bool, int>> keys;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind != MenuItemKind::Item) continue;
        EXPECT_NE(TopLevelOf(e.Id), CommandId::None) << e.Caption;
        if (!e.Keys.Empty()) {
            EXPECT_TRUE(keys.insert({e.Keys.Ctrl, static_cast<int>(e.Keys.Key)}).second) << e.Caption;
        }
    }
    EXPECT_EQ(TopLevelOf(CommandId::mmRate25), CommandId::MenuRate);
    EXPECT_EQ(TopLevelOf(CommandId::mm300x400), CommandId::MenuRange);
    EXPECT_EQ(HotKeyTable().size(), 15u);
    EXPECT_EQ(MainToolBar().size(), 7u);
}

// Every button has its own picture, drawn inside the 16 x 16 grid (a box's right and
// bottom edges may lie on the grid's far side, they are not drawn).
TEST(CommandTable, EveryToolButtonHasItsOwnPictureInsideItsGrid) {
    std::set<std::pair<const PictureStroke*, std::size_t>> seen;
    for (const ToolButton& b : MainToolBar()) {
        const auto strokes = ToolPicture(b.Id);
        ASSERT_FALSE(strokes.empty()) << b.Caption;
        EXPECT_TRUE(seen.insert({strokes.data(), strokes.size()}).second) << b.Caption;
        for (const PictureStroke& s : strokes)
            for (const IntPoint p : s.At) {
                EXPECT_TRUE(p.X >= 0 && p.X <= kToolPictureSize && p.Y >= 0 && p.Y <= kToolPictureSize) << b.Caption;
            }
    }
}

// A row's value is what its caption promises: "2.5x" zooms to 2.5, "40ピクセル線" spaces the
// grid 40 pixels, "400 x 300 サイズ" makes the view 400 wide and 300 high.
TEST(CommandTable, ValueRowsDoWhatTheirCaptionsSay) {
    int rates = 0, units = 0, sizes = 0;
    for (const MenuEntry& e : MainMenu()) {
        const std::string caption(e.Caption);
        if (e.Action == CommandAction::ZoomTo) {
            ++rates;
            EXPECT_EQ(std::stof(caption), e.Value.Amount) << caption;
            EXPECT_EQ(caption.back(), 'x');
        } else if (e.Action == CommandAction::GridUnit) {
            ++units;
            EXPECT_EQ(std::to_string(static_cast<int>(e.Value.Amount)) + "ピクセル線", caption);
        } else if (e.Action == CommandAction::WindowSize) {
            ++sizes;
            const std::string size = std::to_string(e.Value.Size.X) + " x " + std::to_string(e.Value.Size.Y);
            EXPECT_EQ(caption.rfind(size + " サイズ", 0), 0u) << caption;
        }
    }
    EXPECT_EQ(rates, 13);
    EXPECT_EQ(units, 4);
    EXPECT_EQ(sizes, 5);
}

// This program's own entries follow each menu's usual ones behind a separator, so that
// those keep their places.
TEST(CommandTable, AdditionsFollowEachMenusOwnEntriesBehindASeparator) {
    using C = CommandId;
    const std::set<C> added = {C::mmSavePngFile, C::mmColorShow, C::mmColorHex, C::mmCopyColor, C::mmHotKeysAlways};
    int depth = 0;
    std::size_t found = 0;
    bool addedSeen = false;  // in this top-level menu
    MenuItemKind before = MenuItemKind::Separator;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind == MenuItemKind::EndSubmenu) {
            --depth;
            continue;
        }
        if (depth == 0) addedSeen = false;
        if (depth == 1) {
            const bool isAdded = added.count(e.Id) != 0;
            if (isAdded && !addedSeen) {
                EXPECT_EQ(before, MenuItemKind::Separator) << e.Caption;
            }
            if (!isAdded && e.Kind != MenuItemKind::Separator) {
                EXPECT_FALSE(addedSeen) << e.Caption;
            }
            addedSeen = addedSeen || isAdded;
            found += isAdded;
            before = e.Kind;
        }
        if (e.Kind == MenuItemKind::Submenu) ++depth;
    }
    EXPECT_EQ(found, added.size());
}

using HotKeyTest = MainWindowTest;

TEST_F(HotKeyTest, DispatchOfTheTable) {
    StartWithView(300, 300, 2.0f);
    form->OnHotKey(201);
    EXPECT_FLOAT_EQ(S().ZoomRate, 2.1f);
    form->OnHotKey(202);
    form->OnHotKey(202);
    EXPECT_FLOAT_EQ(S().ZoomRate, 1.9f);
    form->OnHotKey(216);
    EXPECT_TRUE(S().FlipH);
    form->OnHotKey(215);
    EXPECT_TRUE(S().FlipV);
    EXPECT_FALSE(S().FlipH);
    form->OnHotKey(221);
    EXPECT_TRUE(S().GridVisible);
    form->OnHotKey(218);
    EXPECT_TRUE(S().SurfaceDrawMode);
    form->OnHotKey(219);
    EXPECT_FALSE(S().SurfaceVisible);
    platform.InputAnswers = {std::string("30")};
    form->OnHotKey(220);
    EXPECT_EQ(S().RotateAngle, 300);
    const ViewState before = S();
    form->OnHotKey(999);  // outside the table
    form->OnHotKey(211);  // Ctrl+Left without projection
    EXPECT_EQ(S().AreaLeft, before.AreaLeft);
    EXPECT_EQ(S().RotateAngle, before.RotateAngle);
}

TEST_F(HotKeyTest, EveryHotKeyNamesAMenuCommandOrButtonAndPlainOnesRunItAsTheMenuDoes) {
    std::set<int> ids;
    for (const HotKey& k : HotKeyTable()) {
        EXPECT_TRUE(ids.insert(k.Id).second) << k.Keys;
        EXPECT_EQ(FindHotKey(k.Id), &k);
        const bool onMenu = FindMenuEntry(k.Command) != nullptr;
        const bool onToolBar = std::any_of(MainToolBar().begin(), MainToolBar().end(),
                                           [&](const ToolButton& b) { return b.Id == k.Command; });
        EXPECT_TRUE(onMenu || onToolBar) << k.Keys;
    }
    EXPECT_EQ(FindHotKey(999), nullptr);
    for (const HotKey& k : HotKeyTable()) {
        if (k.Variant != HotKeyVariant::AsMenu) continue;
        StartWithView(300, 300, 2.0f);
        platform.InputAnswers = {std::string("30")};
        form->RunCommand(k.Command);
        const ViewState byMenu = S();
        StartWithView(300, 300, 2.0f);
        platform.InputAnswers = {std::string("30")};
        form->OnHotKey(k.Id);
        EXPECT_EQ(S().FlipH, byMenu.FlipH) << k.Keys;
        EXPECT_EQ(S().FlipV, byMenu.FlipV) << k.Keys;
        EXPECT_EQ(S().RotateAngle, byMenu.RotateAngle) << k.Keys;
        EXPECT_EQ(S().Rotated, byMenu.Rotated) << k.Keys;
    }
}

TEST_F(HotKeyTest, MarksFollowTheFlagsAtOnceAndReachTheMenu) {
    StartWithView(300, 300);
    form->OnHotKey(216);  // Ctrl+D
    EXPECT_TRUE(form->MenuChecked(CommandId::mmFlipH));
    EXPECT_TRUE(platform.Checked[CommandId::mmFlipH]);
    form->OnHotKey(218);  // Ctrl+F2: drawing on
    EXPECT_TRUE(platform.Checked[CommandId::mmAtariMode]);
    form->Picker().BeginPick(true);  // a pick ends drawing without a command
    EXPECT_FALSE(form->MenuChecked(CommandId::mmAtariMode));
    form->FormMouseUp(MouseButton::Right, {}, 0, 0);
    form->OnMenuOpen(CommandId::MenuAtari);
    EXPECT_FALSE(platform.Checked[CommandId::mmAtariMode]);

    // The projection entry is on while its pick runs, and off when the pick is cancelled.
    form->RunCommand(CommandId::mmFix);
    EXPECT_TRUE(S().Picking);
    EXPECT_FALSE(S().ProjectionMode);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmFix));
    form->FormMouseUp(MouseButton::Right, {}, 0, 0);
    EXPECT_FALSE(form->MenuChecked(CommandId::mmFix));
}

TEST_F(HotKeyTest, RegistrationGuardMinimiseAndOneTimeFailureMessage) {
    platform.HotKeyRefused[201] = true;
    Start();
    EXPECT_EQ(platform.HotKeys.size(), 14u);
    EXPECT_TRUE(form->Keys().Registered());
    form->Keys().FormActivate();  // registered already: nothing
    form->AppMinimize();
    EXPECT_TRUE(platform.HotKeys.empty());
    form->AppRestore();
    EXPECT_EQ(platform.HotKeys.size(), 14u);
    form->ChgWindowSize(300, 300);
    for (int tick = 0; tick < 30; ++tick) form->timTimer();
    int told = 0;
    for (const auto& m : platform.Messages) told += m.Text.find("Ctrl+A") != std::string::npos;
    EXPECT_EQ(told, 1);
    // With Ctrl+A held elsewhere, its menu shortcut applies and steps by one.
    Arrange([&](ViewState& s) { s.ZoomRate = 2.0f; });
    form->OnShortcut(CommandId::mmUP);
    EXPECT_EQ(S().ZoomRate, 3.0f);
}

// A key held elsewhere at registration is tried again on the ticks that follow; one that
// comes free is taken and never told, one that stays taken is told once.
TEST_F(HotKeyTest, TakenKeysAreTriedAgainAndOnlyThoseThatStayTakenAreTold) {
    platform.HotKeyRefused[201] = true;
    platform.HotKeyRefused[216] = true;
    Start();
    form->ChgWindowSize(300, 300);
    form->timTimer();
    platform.HotKeyRefused[216] = false;  // the other program let Ctrl+D go
    for (int tick = 0; tick < 30; ++tick) form->timTimer();
    EXPECT_TRUE(platform.HotKeys[216]);
    ASSERT_EQ(platform.Messages.size(), 1u);
    EXPECT_NE(platform.Messages[0].Text.find("Ctrl+A"), std::string::npos);
    EXPECT_EQ(platform.Messages[0].Text.find("Ctrl+D"), std::string::npos);
    // Once told, an activation still tries again.
    platform.HotKeyRefused[201] = false;
    form->Keys().FormActivate();
    EXPECT_TRUE(platform.HotKeys[201]);
}

TEST_F(HotKeyTest, MenuOpenStates) {
    Start();
    Arrange([&](ViewState& s) {
        s.ProjectionMode = false;
        s.FixView = true;
        s.InvertColors = true;
        s.GridVisible = true;
        s.GridUnit = 45;
        s.SurfaceVisible = true;
        s.SurfaceDrawMode = true;
    });
    form->OnMenuOpen(CommandId::MenuRate);
    EXPECT_TRUE(platform.Checked[CommandId::mmSrcNot]);
    form->OnMenuOpen(CommandId::MenuFixView);
    EXPECT_TRUE(platform.Checked[CommandId::mmFixViewSw]);
    EXPECT_TRUE(platform.Enabled[CommandId::mmLeft]);
    form->OnMenuOpen(CommandId::MenuRange);
    EXPECT_FALSE(platform.Enabled[CommandId::mmLeft]);
    EXPECT_TRUE(platform.Checked[CommandId::mmGraphFlex]);
    EXPECT_FALSE(platform.Checked[CommandId::mmGraph60]);
    form->OnMenuOpen(CommandId::MenuAtari);
    EXPECT_TRUE(platform.Checked[CommandId::mmBltAtari]);
    EXPECT_TRUE(platform.Checked[CommandId::mmAtariMode]);
    form->OnMenuOpen(CommandId::MenuAtaris);
    EXPECT_FALSE(platform.Enabled[CommandId::mmWndInfo]);
    EXPECT_FALSE(platform.Enabled[CommandId::mmFix]);
}

TEST_F(HotKeyTest, DisabledShortcutsDoNothing) {
    StartWithView(300, 300);
    Arrange([&](ViewState& s) { s.AreaLeft = 500; });
    form->OnShortcut(CommandId::mmRight);  // neither mode on
    EXPECT_EQ(S().AreaLeft, 500);
    Arrange([&](ViewState& s) { s.SurfaceDrawMode = true; });
    form->OnShortcut(CommandId::mmFix);  // Ctrl+E while drawing
    EXPECT_FALSE(S().Picking);
    EXPECT_FALSE(form->MenuChecked(CommandId::mmFix));
}

TEST_F(HotKeyTest, TopMostToggleAndModalDialogsComeBackOnTop) {
    Start();
    form->RunCommand(CommandId::mmTopMost);
    EXPECT_FALSE(platform.TopMost);
    platform.InputAnswers = {std::string("100")};
    form->RunCommand(CommandId::mmSampRate);
    EXPECT_TRUE(platform.TopMost);
    EXPECT_TRUE(form->MenuChecked(CommandId::mmTopMost));
}

}  // namespace
}  // namespace ocu::testing
