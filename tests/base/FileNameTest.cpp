#include "base/FileName.h"

#include <gtest/gtest.h>

namespace ocu {
namespace {

TEST(FileNameWithExtensionTest, OnlyTheLastExtensionOfTheFileNameChanges) {
    const struct {
        const wchar_t* path;
        const wchar_t* expected;
    } table[] = {
        {L"C:\\Tools\\Ocumira.exe", L"C:\\Tools\\Ocumira.ini"},
        {L"C:\\Tools\\Ocumira.v2.exe", L"C:\\Tools\\Ocumira.v2.ini"},
        {L"C:\\My.Tools\\Ocumira", L"C:\\My.Tools\\Ocumira.ini"},
        {L"C:\\ツール\\拡大鏡.exe", L"C:\\ツール\\拡大鏡.ini"},
        {L"Ocumira.exe", L"Ocumira.ini"},
        {L"/unix/style.d/Ocumira.exe", L"/unix/style.d/Ocumira.ini"},
    };
    for (const auto& row : table) EXPECT_EQ(FileNameWithExtension<wchar_t>(row.path, L".ini"), row.expected);
    EXPECT_EQ(FileNameWithExtension<char>("C:\\a.b\\拡大", ".png"), "C:\\a.b\\拡大.png");
}

}  // namespace
}  // namespace ocu
