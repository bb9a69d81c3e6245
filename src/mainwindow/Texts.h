#pragma once
// The program's fixed Japanese texts that more than one routine uses.
#include <string_view>

namespace ocu::text {

inline constexpr std::string_view kSizeOutOfRange = "値が大きすぎるか小さすぎます";
inline constexpr std::string_view kMessageCaption = "メッセージ";
inline constexpr std::string_view kBadNumber = "不正な数値です";
inline constexpr std::string_view kRateOutOfRange = "範囲外の数値が入力されました。";
inline constexpr std::string_view kRotated = "°回転";
// The hint line above the tool bar.
inline constexpr std::string_view kHoldHint = "押しっぱなしにすると連続効果になります。";
// The input box's second button.
inline constexpr std::string_view kCancelButton = "キャンセル";

}  // namespace ocu::text
