// The menu and tool bar texts of the running main window, character for character, against
// the program's fixed texts written out here once more (not taken from the command table, so
// a slip in the table shows). Entries are found by their command, so entries added later
// neither break nor hide these checks.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "mainwindow/ErrorTexts.h"
#include "mainwindow/TfrmCap.h"
#include "platform/win32/ErrorReport.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/TextConvert.h"
#include "settings/IniManager.h"
#include "win32/MainWindowFixture.h"
#include "win32/Win32TestSupport.h"

namespace ocu::win {
namespace {

using C = CommandId;

struct ExpectedEntry {
    C id;
    C topLevel;  // the top-level menu it lies under (itself for a top-level menu)
    const char* caption;
    const char* shortcut;  // shown right of the caption, "" if none
};

// In menu order within each top-level menu.
const ExpectedEntry kMenuTexts[] = {
    {C::MenuRate, C::MenuRate, "拡大・反転・回転", ""},
    {C::mmUP, C::MenuRate, "+1倍する　　ショートカット", "Ctrl+A"},
    {C::mmDown, C::MenuRate, "-1倍する　　ショートカット", "Ctrl+S"},
    {C::mmRateSub, C::MenuRate, "拡大率ショートカット", ""},
    {C::mmRate10, C::MenuRate, "1x", "Ctrl+1"},
    {C::mmRate15, C::MenuRate, "1.5x", ""},
    {C::mmRate20, C::MenuRate, "2x", "Ctrl+2"},
    {C::mmRate25, C::MenuRate, "2.5x", ""},
    {C::mmRate30, C::MenuRate, "3x", "Ctrl+3"},
    {C::mm40, C::MenuRate, "4x", "Ctrl+4"},
    {C::mm50, C::MenuRate, "5x", "Ctrl+5"},
    {C::mmRate60, C::MenuRate, "6x", "Ctrl+6"},
    {C::mmRate70, C::MenuRate, "7x", "Ctrl+7"},
    {C::mmRate80, C::MenuRate, "8x", "Ctrl+8"},
    {C::mmRate90, C::MenuRate, "9x", "Ctrl+9"},
    {C::mmRate100, C::MenuRate, "10x", "Ctrl+0"},
    {C::mmRate160, C::MenuRate, "16x", ""},
    {C::mmFlipH, C::MenuRate, "表示を左右反転する", "Ctrl+D"},
    {C::mmFlipV, C::MenuRate, "表示を上下反転する", "Ctrl+F"},
    {C::mmFlexRotate, C::MenuRate, "指定角度回転する", "Ctrl+T"},
    {C::mmSrcNot, C::MenuRate, "色反転する", ""},
    {C::mmRedrawDesk, C::MenuRate, "デスクトップの再描画", ""},
    {C::Exit2, C::MenuRate, "終了", ""},

    {C::MenuFixView, C::MenuFixView, "区域の指定", ""},
    {C::mmFixViewSw, C::MenuFixView, "区域の指定←→解除", ""},
    {C::mmLeft, C::MenuFixView, "← 表示区域を左に移動", "Left"},
    {C::mmRight, C::MenuFixView, "→ 表示区域を右に移動", "Right"},
    {C::mmUpper, C::MenuFixView, "↑表示区域を上に移動", "Up"},
    {C::mmDowner, C::MenuFixView, "↓表示区域を下に移動", "Down"},

    {C::MenuRange, C::MenuRange, "目盛", ""},
    {C::mmGraph, C::MenuRange, "方眼表示", "Ctrl+G"},
    {C::mmGraph30, C::MenuRange, "30ピクセル線", ""},
    {C::mmGraph40, C::MenuRange, "40ピクセル線", ""},
    {C::mmGraph50, C::MenuRange, "50ピクセル線", ""},
    {C::mmGraph60, C::MenuRange, "60ピクセル線", ""},
    {C::mmGraphFlex, C::MenuRange, "任意", ""},
    {C::mmGrid, C::MenuRange, "中心線表示", ""},
    {C::mmWndSize, C::MenuRange, "ウィンドウ定型サイズ", ""},
    {C::mm200x200, C::MenuRange, "200 x 200 サイズ (小 正方)", ""},
    {C::mm300x300, C::MenuRange, "300 x 300 サイズ (正方)", ""},
    {C::N400x3001, C::MenuRange, "400 x 300 サイズ (横長)", ""},
    {C::N400x4001, C::MenuRange, "400 x 400 サイズ (中 正方)", ""},
    {C::mm300x400, C::MenuRange, "300 x 400 サイズ (縦長)", ""},

    {C::MenuSave, C::MenuSave, "画像を保存", ""},
    {C::mmSaveViewFile, C::MenuSave, "画像をビットマップ形式で保存する...", ""},
    {C::mmCopyToClipBoard, C::MenuSave, "画像をクリップボードにコピーする", ""},
    {C::mmPrint, C::MenuSave, "簡易印刷...", ""},

    {C::MenuAtari, C::MenuAtari, "表面レイヤ", ""},
    {C::mmAtariMode, C::MenuAtari, "表面レイヤへの描き込みモード ON/OFF", "Ctrl+F2"},
    {C::mmBltAtari, C::MenuAtari, "表面レイヤの表示/非表示", "Ctrl+F3"},
    {C::mmClearAtari, C::MenuAtari, "表面レイヤのクリア", "Ctrl+Del"},

    {C::MenuAtaris, C::MenuAtaris, "操作投影", ""},
    {C::mmFix, C::MenuAtaris, "操作投影モード 　開始←→解除", "Ctrl+E"},
    {C::mmWndInfo, C::MenuAtaris, "選択したオブジェクト＞", ""},
    {C::mmClassName, C::MenuAtaris, "クラス名", ""},
    {C::mmWindowText, C::MenuAtaris, "ウィンドウテキスト", ""},

    {C::MenuSetting, C::MenuSetting, "設定", ""},
    {C::mmTopMost, C::MenuSetting, "最前面表示", ""},
    {C::mmSampRate, C::MenuSetting, "サンプリングレート変更...", ""},
    {C::mmOption, C::MenuSetting, "環境設定...", ""},

    {C::MenuHelp, C::MenuHelp, "ヘルプ", ""},
    {C::Help2, C::MenuHelp, "ヘルプファイル", ""},
    {C::Help1, C::MenuHelp, "オンラインヘルプ", ""},
    {C::About1, C::MenuHelp, "バージョン情報", ""},
};

struct ExpectedButton {
    C id;
    const char* caption;
    const char* hint;  // "" = none
};

const ExpectedButton kToolBarTexts[] = {
    {C::tbZoomUp, "もっと拡大", "拡大します。押しっぱなしでもっと拡大します。"},
    {C::tbZoomOut, "拡大戻す", "縮小します。押しっぱなしでもっと縮小し続けます。(1倍まで)"},
    {C::tbFlipH, "左右反転", ""},
    {C::tbFlipV, "上下反転", ""},
    {C::tbLRotate, "右に回転", "回転します。押しっぱなしで回転しつづけます。"},
    {C::tbReset, "回転戻す", "回転します。押しっぱなしで回転しつづけます。"},
    {C::tbRRotate, "左に回転", "回転します。押しっぱなしで回転しつづけます。"},
};

// One item of the window's menu as the system holds it.
struct ShownItem {
    UINT id;
    int topIndex;  // position of its top-level menu on the bar
    std::wstring text;
};

void Walk(HMENU menu, int topIndex, std::vector<ShownItem>& out) {
    const int n = ::GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE;
        info.dwTypeData = text;
        info.cch = 256;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info) || (info.fType & MFT_SEPARATOR) != 0) continue;
        const int top = topIndex < 0 ? i : topIndex;
        out.push_back({info.wID, top, text});
        if (info.hSubMenu != nullptr) Walk(info.hSubMenu, top, out);
    }
}

using InterfaceTextsTest = MainWindowFixture;

TEST_F(InterfaceTextsTest, EveryMenuEntryShowsItsCaptionAndShortcutUnderItsMenuInOrder) {
    std::vector<ShownItem> shown;
    Walk(::GetMenu(window_.Handle()), -1, shown);
    std::size_t last = 0;
    int lastTop = -1;
    int topOf[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    for (const ExpectedEntry& e : kMenuTexts) {
        SCOPED_TRACE(e.caption);
        std::size_t at = 0;
        while (at < shown.size() && shown[at].id != static_cast<UINT>(e.id)) ++at;
        ASSERT_LT(at, shown.size()) << "not in the menu";
        std::wstring want = Utf8ToWide(e.caption);
        if (*e.shortcut != '\0') want += L"\t" + Utf8ToWide(e.shortcut);
        EXPECT_EQ(shown[at].text, want);

        const int topSlot = static_cast<int>(e.topLevel) - static_cast<int>(C::MenuRate);
        ASSERT_TRUE(topSlot >= 0 && topSlot < 8);
        if (e.id == e.topLevel) {
            topOf[topSlot] = shown[at].topIndex;
            EXPECT_GT(shown[at].topIndex, lastTop) << "top-level menus out of order";
            lastTop = shown[at].topIndex;
        } else {
            EXPECT_EQ(shown[at].topIndex, topOf[topSlot]) << "under another menu";
            EXPECT_GT(at, last) << "out of order within its menu";
        }
        last = at;
    }
}

TEST_F(InterfaceTextsTest, EveryToolBarButtonShowsItsCaptionAndHint) {
    const HWND bar = window_.Tools()->Handle();
    for (const ExpectedButton& b : kToolBarTexts) {
        SCOPED_TRACE(b.caption);
        const LRESULT index = ::SendMessageW(bar, TB_COMMANDTOINDEX, static_cast<WPARAM>(b.id), 0);
        ASSERT_GE(index, 0) << "not on the tool bar";
        TBBUTTON button{};
        ASSERT_TRUE(::SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button)));
        wchar_t caption[128] = L"";
        ::SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(button.idCommand),
                       reinterpret_cast<LPARAM>(caption));
        EXPECT_EQ(std::wstring(caption), Utf8ToWide(b.caption));

        // The hint is what the bar answers its tool tip with.
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = nullptr;
        info.hdr.idFrom = static_cast<UINT_PTR>(b.id);
        info.hdr.code = TTN_GETDISPINFOW;
        window_.Tools()->OnNotify(info.hdr);
        const std::wstring hint = info.lpszText != nullptr ? info.lpszText : info.szText;
        EXPECT_EQ(hint, Utf8ToWide(b.hint));
    }
}

// A failure that is no std::exception is reported with the program's own text.
TEST(ErrorReportTexts, AnUnknownFailureReadsAsTheUnexpectedError) {
    EXPECT_EQ(ExceptionText(std::make_exception_ptr(42)), "予期しないエラーが発生しました。");
    EXPECT_EQ(ExceptionText(std::make_exception_ptr(std::runtime_error(std::string(text::kNoMenu)))),
              "メニューを作成できません");
}

}  // namespace
}  // namespace ocu::win
