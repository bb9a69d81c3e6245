#pragma once
// One table names every command of the main window: menu entries, their
// shortcuts, the tool bar buttons and the system-wide hot keys all point at a
// CommandId, and the Win32 side builds its menu bar, accelerators, tool bar and
// hot-key registrations from these tables alone.
#include <cstdint>
#include <span>
#include <string_view>

#include "base/Geometry.h"
#include "mainwindow/Keys.h"

namespace ocu {

// The ids grouped by menu, a line a group.
// clang-format off
enum class CommandId : std::uint16_t {
    None = 0,
    // top-level menus (their ids are used for the open handlers)
    MenuRate = 100, MenuFixView, MenuRange, MenuSave, MenuAtari, MenuAtaris, MenuSetting, MenuHelp,
    // 拡大・反転・回転
    mmUP = 200, mmDown, mmRateSub, mmRate10, mmRate15, mmRate20, mmRate25, mmRate30, mm40, mm50, mmRate60,
    mmRate70, mmRate80, mmRate90, mmRate100, mmRate160, mmFlipH, mmFlipV, mmFlexRotate, mmSrcNot,
    mmRedrawDesk, Exit2,
    // 区域の指定
    mmFixViewSw = 300, mmLeft, mmRight, mmUpper, mmDowner,
    // 目盛
    mmGraph = 400, mmGraph30, mmGraph40, mmGraph50, mmGraph60, mmGraphFlex, mmGrid, mmWndSize,
    mm200x200, mm300x300, N400x3001, N400x4001, mm300x400,
    // 画像を保存
    mmSaveViewFile = 500, mmCopyToClipBoard, mmPrint, mmSavePngFile, mmColorHex, mmCopyColor, mmColorShow,
    // 表面レイヤ
    mmAtariMode = 600, mmBltAtari, mmClearAtari,
    // 操作投影
    mmFix = 700, mmWndInfo, mmClassName, mmWindowText,
    // 設定
    mmTopMost = 800, mmSampRate, mmOption, mmHotKeysAlways,
    // ヘルプ
    Help2 = 900, Help1, About1,
    // tool bar
    tbZoomUp = 1000, tbZoomOut, tbFlipH, tbFlipV, tbLRotate, tbReset, tbRRotate,
};
// clang-format on

enum class MenuItemKind : std::uint8_t { Item, Separator, Submenu, EndSubmenu };

// What a command does where a value says it all; the rest run code of their own.
enum class CommandAction : std::uint8_t {
    Own,         // its own code
    ZoomBy,      // the zoom steps by Amount (a held button or a fine hot key: by Amount zoom steps)
    ZoomTo,      // the zoom becomes Amount
    GridUnit,    // the grid shows with a spacing of Amount pixels, or hides when it already does
    WindowSize,  // the view becomes Size
    RotateBy,    // the view turns by Amount rotation steps
};

struct CommandValue {
    float Amount = 0;
    IntPoint Size = {};
};

struct Shortcut {
    bool Ctrl = false;
    ocu::Key Key = ocu::Key::None;
    bool Empty() const { return Key == ocu::Key::None; }
};

// The menu bar in order: a top-level entry (Submenu at depth 0) is followed by its
// entries; nested submenus open with Submenu and close with EndSubmenu. This program's
// own additions follow a menu's usual entries behind a separator, so that those keep
// their places.
struct MenuEntry {
    MenuItemKind Kind;
    CommandId Id;
    std::string_view Caption;  // UTF-8
    Shortcut Keys;
    std::string_view ShortcutText;  // shown right of the caption ("Ctrl+A"), empty if none
    CommandAction Action = CommandAction::Own;
    CommandValue Value = {};
};
std::span<const MenuEntry> MainMenu();

struct ToolButton {
    CommandId Id;
    std::string_view Caption;
    std::string_view Hint;                          // empty = none
    bool PressAndHold;                              // acts while held (repeat timer) rather than on click
    CommandAction HeldAction = CommandAction::Own;  // what the repeat does while held
    float Steps = 0;                                // ... by this many zoom or rotation steps
};
std::span<const ToolButton> MainToolBar();

// How a hot key runs its command where it differs from the menu entry.
enum class HotKeyVariant : std::uint8_t {
    AsMenu,           // exactly as the menu entry
    FineStep,         // the zoom steps by the fine step (0.1), not by the menu's whole one
    MarkFirst,        // the entry's mark is brought to its flag first; the status is redrawn after
    AtPointer,        // projection takes the window under the pointer at once, without a pick
    WhileProjecting,  // the area moves only while projection runs
    OneStep,          // the view turns by one rotation step
    ShowOrHide,       // the grid is shown or hidden with its spacing kept
};

// The system-wide hot keys, in registration order. Id is the value registered with
// the system and reported back when the key is pressed.
struct HotKey {
    int Id;
    Modifier Mod;
    ocu::Key Key;
    CommandId Command;
    HotKeyVariant Variant;
    std::string_view Keys;    // "Ctrl+A"
    std::string_view Action;  // what it does, for the failure message
    // A held key acts again with the keyboard's repeat; a switch acts once per press, or a
    // held key would flip it back and forth.
    bool Repeats = false;
};
std::span<const HotKey> HotKeyTable();
// The row registered under `id`; nullptr if none.
const HotKey* FindHotKey(int id);

// The top-level menu that holds a command (MenuRate ... MenuHelp), None if it has none.
CommandId TopLevelOf(CommandId id);
// Finds the menu entry of a command; nullptr if none.
const MenuEntry* FindMenuEntry(CommandId id);
// Finds the tool button of a command; nullptr if none.
const ToolButton* FindToolButton(CommandId id);

}  // namespace ocu
