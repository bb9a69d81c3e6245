#include "mainwindow/Commands.h"

#include <array>

namespace ocu {
namespace {

using K = MenuItemKind;
using C = CommandId;

constexpr Shortcut ctrl(Key key) { return Shortcut{true, key}; }
constexpr Shortcut plain(Key key) { return Shortcut{false, key}; }

using A = CommandAction;
constexpr MenuEntry zoomBy(C id, std::string_view caption, float by, Shortcut keys, std::string_view keysText) {
    return {K::Item, id, caption, keys, keysText, A::ZoomBy, {by}};
}
constexpr MenuEntry zoomTo(C id, std::string_view caption, float rate, Shortcut keys = {},
                           std::string_view keysText = "") {
    return {K::Item, id, caption, keys, keysText, A::ZoomTo, {rate}};
}
constexpr MenuEntry gridUnit(C id, std::string_view caption, int unit) {
    return {K::Item, id, caption, {}, "", A::GridUnit, {static_cast<float>(unit)}};
}
constexpr MenuEntry windowSize(C id, std::string_view caption, int width, int height) {
    return {K::Item, id, caption, {}, "", A::WindowSize, {0, {width, height}}};
}

constexpr MenuEntry kMenu[] = {
    {K::Submenu, C::MenuRate, "拡大・反転・回転", {}, ""},
    zoomBy(C::mmUP, "+1倍する　　ショートカット", 1, ctrl(Key::A), "Ctrl+A"),
    zoomBy(C::mmDown, "-1倍する　　ショートカット", -1, ctrl(Key::S), "Ctrl+S"),
    {K::Submenu, C::mmRateSub, "拡大率ショートカット", {}, ""},
    {K::Separator, C::None, "", {}, ""},
    zoomTo(C::mmRate10, "1x", 1, ctrl(Key::D1), "Ctrl+1"),
    zoomTo(C::mmRate15, "1.5x", 1.5),
    zoomTo(C::mmRate20, "2x", 2, ctrl(Key::D2), "Ctrl+2"),
    zoomTo(C::mmRate25, "2.5x", 2.5),
    zoomTo(C::mmRate30, "3x", 3, ctrl(Key::D3), "Ctrl+3"),
    zoomTo(C::mm40, "4x", 4, ctrl(Key::D4), "Ctrl+4"),
    zoomTo(C::mm50, "5x", 5, ctrl(Key::D5), "Ctrl+5"),
    zoomTo(C::mmRate60, "6x", 6, ctrl(Key::D6), "Ctrl+6"),
    zoomTo(C::mmRate70, "7x", 7, ctrl(Key::D7), "Ctrl+7"),
    zoomTo(C::mmRate80, "8x", 8, ctrl(Key::D8), "Ctrl+8"),
    zoomTo(C::mmRate90, "9x", 9, ctrl(Key::D9), "Ctrl+9"),
    zoomTo(C::mmRate100, "10x", 10, ctrl(Key::D0), "Ctrl+0"),
    zoomTo(C::mmRate160, "16x", 16),
    {K::EndSubmenu, C::None, "", {}, ""},
    {K::Item, C::mmFlipH, "表示を左右反転する", ctrl(Key::D), "Ctrl+D"},
    {K::Item, C::mmFlipV, "表示を上下反転する", ctrl(Key::F), "Ctrl+F"},
    {K::Item, C::mmFlexRotate, "指定角度回転する", ctrl(Key::T), "Ctrl+T"},
    {K::Item, C::mmSrcNot, "色反転する", {}, ""},
    {K::Separator, C::None, "", {}, ""},
    {K::Item, C::mmRedrawDesk, "デスクトップの再描画", {}, ""},
    {K::Separator, C::None, "", {}, ""},
    {K::Item, C::Exit2, "終了", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},

    {K::Submenu, C::MenuFixView, "区域の指定", {}, ""},
    {K::Item, C::mmFixViewSw, "区域の指定←→解除", {}, ""},
    {K::Separator, C::None, "", {}, ""},
    {K::Item, C::mmLeft, "← 表示区域を左に移動", plain(Key::Left), "Left"},
    {K::Item, C::mmRight, "→ 表示区域を右に移動", plain(Key::Right), "Right"},
    {K::Item, C::mmUpper, "↑表示区域を上に移動", plain(Key::Up), "Up"},
    {K::Item, C::mmDowner, "↓表示区域を下に移動", plain(Key::Down), "Down"},
    {K::EndSubmenu, C::None, "", {}, ""},

    {K::Submenu, C::MenuRange, "目盛", {}, ""},
    // The grid submenu shows Ctrl+G, but the key belongs to the grid hot key.
    {K::Submenu, C::mmGraph, "方眼表示", {}, "Ctrl+G"},
    gridUnit(C::mmGraph30, "30ピクセル線", 30),
    gridUnit(C::mmGraph40, "40ピクセル線", 40),
    gridUnit(C::mmGraph50, "50ピクセル線", 50),
    gridUnit(C::mmGraph60, "60ピクセル線", 60),
    {K::Item, C::mmGraphFlex, "任意", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},
    {K::Item, C::mmGrid, "中心線表示", {}, ""},
    {K::Submenu, C::mmWndSize, "ウィンドウ定型サイズ", {}, ""},
    windowSize(C::mm200x200, "200 x 200 サイズ (小 正方)", 200, 200),
    windowSize(C::mm300x300, "300 x 300 サイズ (正方)", 300, 300),
    windowSize(C::N400x3001, "400 x 300 サイズ (横長)", 400, 300),
    windowSize(C::N400x4001, "400 x 400 サイズ (中 正方)", 400, 400),
    windowSize(C::mm300x400, "300 x 400 サイズ (縦長)", 300, 400),
    {K::EndSubmenu, C::None, "", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},

    {K::Submenu, C::MenuSave, "画像を保存", {}, ""},
    {K::Item, C::mmSaveViewFile, "画像をビットマップ形式で保存する...", {}, ""},
    {K::Item, C::mmCopyToClipBoard, "画像をクリップボードにコピーする", {}, ""},
    {K::Item, C::mmPrint, "簡易印刷...", {}, ""},
    {K::Separator, C::None, "", {}, ""},
    {K::Item, C::mmSavePngFile, "画像をPNG形式で保存する...", {}, ""},
    {K::Item, C::mmColorShow, "ポインタ位置の色を表示する", {}, ""},
    {K::Item, C::mmColorHex, "ポインタ位置の色を16進数で表示する", {}, ""},
    {K::Item, C::mmCopyColor, "ポインタ位置の色をクリップボードにコピーする", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},

    {K::Submenu, C::MenuAtari, "表面レイヤ", {}, ""},
    {K::Item, C::mmAtariMode, "表面レイヤへの描き込みモード ON/OFF", ctrl(Key::F2), "Ctrl+F2"},
    {K::Separator, C::None, "", {}, ""},
    {K::Item, C::mmBltAtari, "表面レイヤの表示/非表示", ctrl(Key::F3), "Ctrl+F3"},
    {K::Item, C::mmClearAtari, "表面レイヤのクリア", ctrl(Key::Delete), "Ctrl+Del"},
    {K::EndSubmenu, C::None, "", {}, ""},

    {K::Submenu, C::MenuAtaris, "操作投影", {}, ""},
    {K::Item, C::mmFix, "操作投影モード 　開始←→解除", ctrl(Key::E), "Ctrl+E"},
    {K::Submenu, C::mmWndInfo, "選択したオブジェクト＞", {}, ""},
    {K::Item, C::mmClassName, "クラス名", {}, ""},
    {K::Item, C::mmWindowText, "ウィンドウテキスト", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},

    {K::Submenu, C::MenuSetting, "設定", {}, ""},
    {K::Item, C::mmTopMost, "最前面表示", {}, ""},
    {K::Item, C::mmSampRate, "サンプリングレート変更...", {}, ""},
    {K::Item, C::mmOption, "環境設定...", {}, ""},
    {K::Separator, C::None, "", {}, ""},
    {K::Item, C::mmHotKeysAlways, "ホットキーを常に有効にする", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},

    {K::Submenu, C::MenuHelp, "ヘルプ", {}, ""},
    {K::Item, C::Help2, "ヘルプファイル", {}, ""},
    {K::Item, C::Help1, "オンラインヘルプ", {}, ""},
    {K::Item, C::About1, "バージョン情報", {}, ""},
    {K::Separator, C::None, "", {}, ""},
    {K::EndSubmenu, C::None, "", {}, ""},
};

constexpr std::string_view kRotateHint = "回転します。押しっぱなしで回転しつづけます。";
constexpr ToolButton kToolBar[] = {
    {C::tbZoomUp, "もっと拡大", "拡大します。押しっぱなしでもっと拡大します。", true, A::ZoomBy, 1},
    {C::tbZoomOut, "拡大戻す", "縮小します。押しっぱなしでもっと縮小し続けます。(1倍まで)", true, A::ZoomBy, -1},
    {C::tbFlipH, "左右反転", "", false},
    {C::tbFlipV, "上下反転", "", false},
    {C::tbLRotate, "右に回転", kRotateHint, true, A::RotateBy, -1},  // clockwise
    {C::tbReset, "回転戻す", kRotateHint, false},
    {C::tbRRotate, "左に回転", kRotateHint, true, A::RotateBy, 1},  // counter-clockwise
};

using V = HotKeyVariant;
constexpr Modifier kCtrl = Modifier::Ctrl;
constexpr Modifier kShift = Modifier::Shift;
constexpr bool kRepeats = true;
constexpr HotKey kHotKeys[] = {
    {201, kCtrl, Key::A, C::mmUP, V::FineStep, "Ctrl+A", "拡大率 +0.1", kRepeats},
    {202, kCtrl, Key::S, C::mmDown, V::FineStep, "Ctrl+S", "拡大率 -0.1", kRepeats},
    {216, kCtrl, Key::D, C::mmFlipH, V::AsMenu, "Ctrl+D", "左右反転"},
    {215, kCtrl, Key::F, C::mmFlipV, V::AsMenu, "Ctrl+F", "上下反転"},
    {218, kCtrl, Key::F2, C::mmAtariMode, V::MarkFirst, "Ctrl+F2", "表面レイヤへの描き込みモード"},
    {219, kCtrl, Key::F3, C::mmBltAtari, V::MarkFirst, "Ctrl+F3", "表面レイヤの表示/非表示"},
    {217, kCtrl, Key::E, C::mmFix, V::AtPointer, "Ctrl+E", "操作投影モード"},
    {211, kCtrl, Key::Left, C::mmLeft, V::WhileProjecting, "Ctrl+←", "表示区域を左に移動", kRepeats},
    {212, kCtrl, Key::Right, C::mmRight, V::WhileProjecting, "Ctrl+→", "表示区域を右に移動", kRepeats},
    {213, kCtrl, Key::Up, C::mmUpper, V::WhileProjecting, "Ctrl+↑", "表示区域を上に移動", kRepeats},
    {214, kCtrl, Key::Down, C::mmDowner, V::WhileProjecting, "Ctrl+↓", "表示区域を下に移動", kRepeats},
    {220, kCtrl, Key::T, C::mmFlexRotate, V::AsMenu, "Ctrl+T", "指定角度回転"},
    {221, kCtrl, Key::G, C::mmGraph, V::ShowOrHide, "Ctrl+G", "方眼表示"},
    {302, kShift, Key::Left, C::tbRRotate, V::OneStep, "Shift+←", "左に1度回転", kRepeats},
    {301, kShift, Key::Right, C::tbLRotate, V::OneStep, "Shift+→", "右に1度回転", kRepeats},
};

}  // namespace

std::span<const MenuEntry> MainMenu() { return kMenu; }
std::span<const ToolButton> MainToolBar() { return kToolBar; }
std::span<const HotKey> HotKeyTable() { return kHotKeys; }

const HotKey* FindHotKey(int id) {
    for (const HotKey& k : kHotKeys)
        if (k.Id == id) return &k;
    return nullptr;
}

CommandId TopLevelOf(CommandId id) {
    CommandId top = CommandId::None;
    int depth = 0;
    for (const MenuEntry& e : kMenu) {
        if (e.Kind == K::Submenu) {
            if (depth == 0) top = e.Id;
            ++depth;
        } else if (e.Kind == K::EndSubmenu) {
            --depth;
        }
        if (e.Id == id && id != CommandId::None) return top;
    }
    return CommandId::None;
}

const MenuEntry* FindMenuEntry(CommandId id) {
    for (const MenuEntry& e : kMenu)
        if (e.Id == id && id != CommandId::None) return &e;
    return nullptr;
}

const ToolButton* FindToolButton(CommandId id) {
    for (const ToolButton& b : kToolBar)
        if (b.Id == id) return &b;
    return nullptr;
}

}  // namespace ocu
