#include "mainwindow/ErrorTexts.h"

#include <gtest/gtest.h>

#include <string_view>
#include <utility>

namespace ocu {
namespace {

// The failure texts the window system's side shows, byte for byte as a person reads them.
TEST(ErrorTexts, AreTheProgramsOwnJapaneseTexts) {
    const std::pair<std::string_view, std::string_view> pinned[] = {
        {text::kUnexpectedError, "予期しないエラーが発生しました。"},
        {text::kNoWindowClass, "ウィンドウクラスを登録できません"},
        {text::kNoMainWindow, "メインウィンドウを作成できません"},
        {text::kNoMenu, "メニューを作成できません"},
        {text::kNoStatusBar, "ステータスバーを作成できません"},
        {text::kNoToolBar, "ツールバーを作成できません"},
        {text::kNoClipboardImage, "クリップボード用の画像を作成できません。"},
        {text::kClipboardNotOpen, "クリップボードを開けません。"},
        {text::kClipboardImageRefused, "クリップボードに画像を置けません。"},
        {text::kClipboardTextRefused, "クリップボードに文字を置けません。"},
        {text::kNoPrinter, "プリンタを使用できません。"},
        {text::kPrintNotStarted, "印刷を開始できません。"},
        {text::kPrintFailed, "印刷できませんでした。"},
    };
    for (const auto& [text, expected] : pinned) EXPECT_EQ(text, expected);
}

}  // namespace
}  // namespace ocu
