#include "base/LineBreaks.h"

#include <gtest/gtest.h>

#include <utility>

namespace ocu {
namespace {

TEST(LineBreaksTest, EveryKindOfLineBreakBecomesCrLf) {
    const std::pair<const wchar_t*, const wchar_t*> table[] = {{L"", L""},
                                                               {L"one line", L"one line"},
                                                               {L"a\rb", L"a\r\nb"},
                                                               {L"a\nb", L"a\r\nb"},
                                                               {L"a\r\nb", L"a\r\nb"},
                                                               {L"a\r\rb\n", L"a\r\n\r\nb\r\n"},
                                                               {L"\n\r", L"\r\n\r\n"}};
    for (const auto& [in, out] : table) EXPECT_EQ(NormalizeLineBreaks<wchar_t>(in), out);
    EXPECT_EQ(NormalizeLineBreaks<char>("ミリ秒\r10～400\n"), "ミリ秒\r\n10～400\r\n");  // UTF-8 alike
}

}  // namespace
}  // namespace ocu
