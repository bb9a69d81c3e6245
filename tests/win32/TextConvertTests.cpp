#include <gtest/gtest.h>

#include <random>

#include "platform/win32/TextConvert.h"

namespace ocu::win {
namespace {

TEST(TextConvertTest, KnownTextsRoundTrip) {
    const struct {
        std::string utf8;
        std::wstring wide;
    } table[] = {
        {"", L""},
        {"TfrmCap", L"TfrmCap"},
        {"押しっぱなしにすると連続効果になります。", L"押しっぱなしにすると連続効果になります。"},
        {"倍率:1.5倍 回転: 45度", L"倍率:1.5倍 回転: 45度"},
        {"ＭＳ Ｐゴシック", L"ＭＳ Ｐゴシック"},
        {"\xF0\x9F\x94\x8D", L"\U0001F50D"},  // a surrogate pair in UTF-16
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& row : table) {
        EXPECT_EQ(Utf8ToWide(row.utf8), row.wide) << row.utf8;
        EXPECT_EQ(WideToUtf8(row.wide), row.utf8) << row.utf8;
    }
}

TEST(TextConvertTest, RandomCodePointsRoundTrip) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<std::uint32_t> any(1, 0x10FFFF);
    for (int i = 0; i < 500; ++i) {
        std::wstring wide;
        for (int n = 0; n < 12; ++n) {
            std::uint32_t cp = any(rng);
            if (cp >= 0xD800 && cp <= 0xDFFF) cp -= 0x800;  // surrogates are not characters
            if (cp >= 0x10000) {
                cp -= 0x10000;
                wide += static_cast<wchar_t>(0xD800 + (cp >> 10));
                wide += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            } else {
                wide += static_cast<wchar_t>(cp);
            }
        }
        ASSERT_EQ(Utf8ToWide(WideToUtf8(wide)), wide);
    }
}

TEST(TextConvertTest, BrokenInputBecomesReplacementCharactersNotAnError) {
    const std::wstring fromBadUtf8 = Utf8ToWide("ab\xFF\xC3");
    ASSERT_GE(fromBadUtf8.size(), 3u);
    EXPECT_EQ(fromBadUtf8.substr(0, 2), L"ab");
    EXPECT_NE(fromBadUtf8.find(L'\xFFFD'), std::wstring::npos);

    const std::string fromLoneSurrogate = WideToUtf8(std::wstring(L"x") + static_cast<wchar_t>(0xD800) + L"y");
    EXPECT_EQ(fromLoneSurrogate.front(), 'x');
    EXPECT_EQ(fromLoneSurrogate.back(), 'y');
}

}  // namespace
}  // namespace ocu::win
