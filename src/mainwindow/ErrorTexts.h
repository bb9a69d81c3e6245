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
// The X11 program on a Wayland desktop, which shows it the screen only through the portal.
inline constexpr std::string_view kScreenCastRefused =
    "画面の共有が許可されなかったため、Ocumira は画面を拡大できません。"
    "「設定」メニューの「画面の共有を求める...」から、もう一度許可を求められます。";
inline constexpr std::string_view kScreenCastFailed =
    "画面の共有を開始できません。デスクトップのポータル (xdg-desktop-portal) が画面の共有に対応していないか、"
    "応答しません。";
inline constexpr std::string_view kPointerNotTold =
    "このデスクトップは画面の共有でポインタの位置を知らせないため、Ocumira はポインタが Ocumira の"
    "ウィンドウの上にある間だけポインタを追います。ほかの場所を見るには、区域を指定してください。";
inline constexpr std::string_view kAskScreenCast = "画面の共有を求める...";
inline constexpr std::string_view kWaylandOnlyX =
    "Wayland のセッションでは、Ocumira は XWayland の上で動き、X のプログラムのウィンドウしか拡大できません。"
    "Wayland のプログラムは表示されません。";

}  // namespace ocu::text
