// The resources of the built Ocumira.exe (beside this test program): the version
// table the version dialog reads, the manifest, the hand cursor and the icon.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "platform/win32/ErrorReport.h"
#include "platform/win32/FileSettingsStore.h"
#include "platform/win32/Handles.h"

namespace ocu::win {
namespace {

std::wstring ProgramPath() {
    std::wstring self = ModulePath();
    return self.substr(0, self.find_last_of(L"\\/") + 1) + L"Ocumira.exe";
}

class ProgramResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "Ocumira.exe not built";
    }
    std::wstring path_ = ProgramPath();
};

TEST_F(ProgramResourceTest, TheJapaneseVersionTableNamesVersion1011) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path_.c_str(), 0, size, block.data()));
    const struct {
        const wchar_t* key;
        const wchar_t* value;
    } table[] = {{L"FileVersion", L"1.0.1.1"},
                 {L"ProductVersion", L"1.0.1.1"},
                 {L"ProductName", L"Lumivane Ocumira"},
                 {L"OriginalFilename", L"Ocumira.exe"},
                 {L"FileDescription", L"Ocumira 画面拡大鏡"}};
    for (const auto& row : table) {
        wchar_t* text = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\041103A4\\") + row.key;
        ASSERT_TRUE(::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) << row.key;
        EXPECT_STREQ(text, row.value);
    }
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        ::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x411);
    EXPECT_EQ(translation[1], 932);
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010001u);
}

TEST_F(ProgramResourceTest, TheHandCursorAndTheManifestAreThere) {
    const unique_hmodule exe(::LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(exe);
    const HCURSOR hand = static_cast<HCURSOR>(::LoadImageW(exe.get(), L"HAND", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    ASSERT_NE(hand, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 17u);
    EXPECT_EQ(info.yHotspot, 18u);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DestroyCursor(hand);

    const HRSRC manifest = ::FindResourceW(exe.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    const auto* text = static_cast<const char*>(::LockResource(::LoadResource(exe.get(), manifest)));
    const std::string xml(text, ::SizeofResource(exe.get(), manifest));
    EXPECT_NE(xml.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(xml.find("asInvoker"), std::string::npos);
}

// The lens in every size Windows asks for, each drawn for its size rather than scaled.
TEST_F(ProgramResourceTest, TheMainIconHasEverySizeFrom16To256) {
    const unique_hmodule exe(::LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(exe);
    const HRSRC group = ::FindResourceW(exe.get(), L"MAINICON", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const BYTE*>(::LockResource(::LoadResource(exe.get(), group)));
    const WORD count = *reinterpret_cast<const WORD*>(dir + 4);
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* entry = dir + 6 + 14 * i;  // GRPICONDIRENTRY
        sizes.push_back(entry[0] == 0 ? 256 : entry[0]);
        EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 32) << "bits of entry " << i;
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

TEST(ErrorReportTest, TheReportShowsTheExceptionsOwnText) {
    try {
        throw std::runtime_error("C:\\Ocumira.ini に書き込めません");
    } catch (...) {
        EXPECT_EQ(ExceptionText(std::current_exception()), "C:\\Ocumira.ini に書き込めません");
    }
    try {
        throw 42;
    } catch (...) {
        EXPECT_EQ(ExceptionText(std::current_exception()), "予期しないエラーが発生しました。");
    }
}

}  // namespace
}  // namespace ocu::win
