// The menu bar and accelerators built from the command table.
#include <gtest/gtest.h>

#include "platform/win32/KeyCodes.h"
#include "platform/win32/MenuBar.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {

TEST(MenuBarTest, EveryEntryOfTheTableIsInTheMenuWithItsCaptionAndShortcut) {
    MenuBar bar(MainMenu());
    int items = 0;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind != MenuItemKind::Item && e.Kind != MenuItemKind::Submenu) continue;
        ++items;
        std::wstring expected = Utf8ToWide(e.Caption);
        if (!e.ShortcutText.empty()) expected += L"\t" + Utf8ToWide(e.ShortcutText);
        EXPECT_EQ(bar.Caption(e.Id), expected) << e.Caption;
        EXPECT_EQ(bar.IsEnabled(e.Id), true) << e.Caption;
    }
    EXPECT_GT(items, 60);
    EXPECT_EQ(::GetMenuItemCount(bar.Handle()), 8) << "eight top-level menus";
}

TEST(MenuBarTest, TopLevelPopupsMapToTheirCommandsAndNestedOnesDoNot) {
    MenuBar bar(MainMenu());
    for (CommandId top : {CommandId::MenuRate, CommandId::MenuFixView, CommandId::MenuRange, CommandId::MenuSave,
                          CommandId::MenuAtari, CommandId::MenuAtaris, CommandId::MenuSetting, CommandId::MenuHelp}) {
        const HMENU popup = bar.PopupOf(top);
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(bar.TopLevelOf(popup), top);
    }
    // 拡大率ショートカット is a popup inside 拡大・反転・回転.
    const HMENU rate = bar.PopupOf(CommandId::MenuRate);
    HMENU nested = nullptr;
    for (int i = 0; i < ::GetMenuItemCount(rate) && nested == nullptr; ++i) nested = ::GetSubMenu(rate, i);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(bar.TopLevelOf(nested), CommandId::None);
    EXPECT_EQ(bar.TopLevelOf(::GetSystemMenu(::GetDesktopWindow(), FALSE)), CommandId::None);
}

TEST(MenuBarTest, CheckAndEnableReachItemsAndSubmenusAlike) {
    MenuBar bar(MainMenu());
    for (CommandId id : {CommandId::mmTopMost, CommandId::mmGraph, CommandId::mmGraph40, CommandId::mmWndInfo,
                         CommandId::mmFix, CommandId::mmLeft}) {
        ASSERT_TRUE(bar.SetChecked(id, true));
        EXPECT_EQ(bar.IsChecked(id), true);
        ASSERT_TRUE(bar.SetChecked(id, false));
        EXPECT_EQ(bar.IsChecked(id), false);
        ASSERT_TRUE(bar.SetEnabled(id, false));
        EXPECT_EQ(bar.IsEnabled(id), false);
        ASSERT_TRUE(bar.SetEnabled(id, true));
        EXPECT_EQ(bar.IsEnabled(id), true);
    }
    EXPECT_FALSE(bar.SetChecked(CommandId::tbZoomUp, true)) << "tool bar buttons are not menu items";
}

TEST(MenuBarTest, ACaptionFromAnotherProgramShowsItsAmpersandsAndKeepsTheShortcut) {
    MenuBar bar(MainMenu());
    ASSERT_TRUE(bar.SetCaption(CommandId::mmClassName, "<クラス名>\"R&D\""));
    EXPECT_EQ(bar.Caption(CommandId::mmClassName), L"<クラス名>\"R&&D\"");
    ASSERT_TRUE(bar.SetCaption(CommandId::mmFix, "投影"));
    EXPECT_EQ(bar.Caption(CommandId::mmFix), L"投影\tCtrl+E");
}

TEST(AcceleratorTest, EveryShortcutOfTheTableIsAnAcceleratorForItsCommand) {
    const unique_haccel table = BuildAccelerators(MainMenu());
    ASSERT_TRUE(table);
    ACCEL accels[128]{};
    const int n = ::CopyAcceleratorTableW(table.get(), accels, 128);
    int expected = 0;
    for (const MenuEntry& e : MainMenu()) {
        if (e.Kind != MenuItemKind::Item || e.Keys.Empty()) continue;
        ++expected;
        bool found = false;
        for (int i = 0; i < n; ++i) {
            if (ShortcutCommand(accels[i].cmd) != e.Id) continue;
            found = true;
            EXPECT_EQ(accels[i].key, VirtualKeyOf(e.Keys.Key));
            EXPECT_EQ((accels[i].fVirt & FCONTROL) != 0, e.Keys.Ctrl);
            EXPECT_NE(accels[i].fVirt & FVIRTKEY, 0);
        }
        EXPECT_TRUE(found) << e.Caption;
    }
    EXPECT_EQ(n, expected);
    EXPECT_EQ(ShortcutCommand(static_cast<WORD>(CommandId::mmUP)), CommandId::None) << "a menu id is no shortcut";
    EXPECT_EQ(ShortcutCommand(kShortcutBase + 9999), CommandId::None);
}

TEST(HotKeyCodesTest, TheTableRegistersTheCombinationsItAlwaysHas) {
    // The ids, masks and virtual keys other programs see must stay as they were.
    struct Registered {
        int id;
        UINT mods;
        UINT vk;
    };
    const Registered expected[] = {
        {201, MOD_CONTROL, 'A'},   {202, MOD_CONTROL, 'S'},     {216, MOD_CONTROL, 'D'},
        {215, MOD_CONTROL, 'F'},   {218, MOD_CONTROL, VK_F2},   {219, MOD_CONTROL, VK_F3},
        {217, MOD_CONTROL, 'E'},   {211, MOD_CONTROL, VK_LEFT}, {212, MOD_CONTROL, VK_RIGHT},
        {213, MOD_CONTROL, VK_UP}, {214, MOD_CONTROL, VK_DOWN}, {220, MOD_CONTROL, 'T'},
        {221, MOD_CONTROL, 'G'},   {302, MOD_SHIFT, VK_LEFT},   {301, MOD_SHIFT, VK_RIGHT},
    };
    ASSERT_EQ(HotKeyTable().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const HotKey& k = HotKeyTable()[i];
        EXPECT_EQ(k.Id, expected[i].id) << k.Keys;
        EXPECT_EQ(HotKeyModifiers(k.Mod), expected[i].mods) << k.Keys;
        EXPECT_EQ(VirtualKeyOf(k.Key), expected[i].vk) << k.Keys;
    }
    EXPECT_EQ(VirtualKeyOf(Key::Delete), VK_DELETE);
    EXPECT_EQ(VirtualKeyOf(Key::D0), '0');
    EXPECT_EQ(VirtualKeyOf(Key::D9), '9');
}

}  // namespace
}  // namespace ocu::win
