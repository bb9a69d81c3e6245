#pragma once
// The options and version dialogs' fixed texts and their boxes' places, for every edge.
// The Windows resource script (resources/Dialogs.rc) cannot include C++; it keeps
// the same texts, and a test holds the two together.
#include <string_view>

#include "base/Geometry.h"

namespace ocu {

namespace text {
inline constexpr std::string_view kOptionsCaption = "オプション";
inline constexpr std::string_view kShortcutGroup = "ショートカット";
inline constexpr std::string_view kShortcutInProgramsMenu = "プログラムメニューにショートカットを配置";
inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kCancel = "キャンセル";
inline constexpr std::string_view kVersionCaption = "バージョン情報";
inline constexpr std::string_view kProductName = "Lumivane Ocumira";
inline constexpr std::string_view kVersionNumber = "バージョン番号";
inline constexpr std::string_view kVersionMemo2 = "Memo2";
}  // namespace text

// Places of the boxes in pixels at 96 dpi: left, top, width, height.
struct DialogBox {
    int X, Y, W, H;
};

// The options dialog is 321 x 150 outside; the check box sits inside the frame.
struct OptionsDialogLayout {
    static constexpr IntPoint kOuterSize{321, 150};
    static constexpr DialogBox kGroup{16, 8, 289, 57}, kCheck{32, 24, 265, 25}, kOk{64, 72, 89, 25},
        kCancel{176, 72, 81, 25};
};

// The version dialog's client area is 470 x 317; labels and boxes sit in the sunken panel.
struct VersionDialogLayout {
    static constexpr IntPoint kClientSize{470, 317};
    static constexpr DialogBox kPanel{8, 8, 433, 241}, kProduct{40, 32, 300, 26}, kVersionLabel{240, 88, 120, 14},
        kVersionMemo{264, 104, 129, 25}, kUrl{32, 136, 193, 17}, kMemo2{80, 176, 281, 49}, kOk{168, 264, 122, 29};
    static constexpr int kProductFontPixels = 21;  // bold, blue
};

}  // namespace ocu
