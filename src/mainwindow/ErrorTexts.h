#pragma once
// The Japanese texts of the failures the window system's side reports itself: an
// error nobody expected, a part of the window that could not be made, and the
// clipboard or the printer refusing.
#include <string_view>

namespace ocu::text {

inline constexpr std::string_view kUnexpectedError = "予期しないエラーが発生しました。";
inline constexpr std::string_view kNoWindowClass = "ウィンドウクラスを登録できません";
inline constexpr std::string_view kNoMainWindow = "メインウィンドウを作成できません";
inline constexpr std::string_view kNoMenu = "メニューを作成できません";
inline constexpr std::string_view kNoStatusBar = "ステータスバーを作成できません";
inline constexpr std::string_view kNoToolBar = "ツールバーを作成できません";
inline constexpr std::string_view kNoClipboardImage = "クリップボード用の画像を作成できません。";
inline constexpr std::string_view kClipboardNotOpen = "クリップボードを開けません。";
inline constexpr std::string_view kClipboardImageRefused = "クリップボードに画像を置けません。";
inline constexpr std::string_view kClipboardTextRefused = "クリップボードに文字を置けません。";
inline constexpr std::string_view kNoPrinter = "プリンタを使用できません。";
inline constexpr std::string_view kPrintNotStarted = "印刷を開始できません。";
inline constexpr std::string_view kPrintFailed = "印刷できませんでした。";
// The X11 program: started with no display to show on, and under a Wayland session.
inline constexpr std::string_view kNoDisplay =
    "画面に接続できません。X のディスプレイ (DISPLAY) がないため Ocumira を起動できません。";
inline constexpr std::string_view kWaylandOnlyX =
    "Wayland のセッションでは、Ocumira は XWayland の上で動き、X のプログラムのウィンドウしか拡大できません。"
    "Wayland のプログラムは表示されません。";

}  // namespace ocu::text
