// The settings file beside the program: whole-text reads and writes.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/FileName.h"
#include "platform/win32/FileSettingsStore.h"
#include "platform/win32/Handles.h"
#include "settings/IniManager.h"

namespace ocu::win {
namespace {

std::wstring TempFolder() {
    wchar_t base[MAX_PATH]{};
    ::GetTempPathW(MAX_PATH, base);
    std::wstring dir = std::wstring(base) + L"ocu_store_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                       std::to_wstring(::GetTickCount64());
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    void TearDown() override {
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path_.c_str());
        ::DeleteFileW((path_ + L".tmp").c_str());
        ::RemoveDirectoryW(dir_.c_str());
    }
    std::wstring dir_ = TempFolder();
    std::wstring path_ = FileNameWithExtension<wchar_t>(dir_ + L"\\Ocumira.exe", L".ini");
};

TEST(ModulePathTest, NamesThisProgram) {
    const std::wstring path = ModulePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(path.find(L"ocu_win_tests"), std::wstring::npos);
}

TEST_F(SettingsStoreTest, NoFileReadsAsNothing) {
    FileSettingsStore store(path_);
    EXPECT_FALSE(store.Read().has_value());
}

TEST_F(SettingsStoreTest, WritesAreReadBackByteForByteAndReplaceTheWholeFile) {
    FileSettingsStore store(path_);
    const std::string texts[] = {
        "[BoundsRect]\r\nLeft=300\r\nTop=100\r\nRight=800\r\nBottom=600\r\n",
        "[Zuri]\r\nCapRate=40\r\n",  // shorter: no tail of the longer text may stay
        std::string("bytes \x82\xA0 \0 kept", 15),
        "",
    };
    for (const std::string& text : texts) {
        ASSERT_TRUE(store.Write(text));
        const auto back = store.Read();
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, text);
    }
    EXPECT_EQ(::GetFileAttributesW((path_ + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES) << "no temporary file stays";
}

TEST_F(SettingsStoreTest, AReadOnlyFileIsReportedAndLeftAsItWas) {
    FileSettingsStore store(path_);
    EXPECT_TRUE(store.CanWrite());
    EXPECT_EQ(::GetFileAttributesW((path_ + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES) << "the probe is gone";
    EXPECT_FALSE(store.Read()) << "asking made no file";
    ASSERT_TRUE(store.Write("[Zuri]\r\nCapRate=20\r\n"));
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(store.CanWrite());
    EXPECT_TRUE(store.PlaceWritable()) << "the user's read-only file stays where it is";
    EXPECT_FALSE(store.Write("[Zuri]\r\nCapRate=90\r\n"));
    EXPECT_EQ(store.Read().value_or(""), "[Zuri]\r\nCapRate=20\r\n");
}

TEST_F(SettingsStoreTest, AFolderInPlaceOfTheFileIsReportedAsAFailure) {
    ASSERT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    FileSettingsStore store(path_);
    EXPECT_FALSE(store.CanWrite());
    EXPECT_FALSE(store.Write("x"));
    ::RemoveDirectoryW(path_.c_str());
}

TEST_F(SettingsStoreTest, TheSettingsObjectRoundTripsThroughTheFile) {
    FileSettingsStore store(path_);
    {
        TIniManager ini(store, "Ocumira.ini");
        ini.SetBoundsRect({10, 20, 330, 440});
        ini.SetCapRate(4.0f);
        EXPECT_TRUE(ini.SaveOnExit());
    }
    TIniManager again(store, "Ocumira.ini");
    EXPECT_EQ(again.BoundsRect, (IntRect{10, 20, 330, 440}));
    EXPECT_FLOAT_EQ(again.CapRate, 4.0f);
}

TEST_F(SettingsStoreTest, TheSettingsObjectTellsOfAFileItCannotWrite) {
    FileSettingsStore store(path_);
    ASSERT_TRUE(store.Write("[Zuri]\r\nCapRate=20\r\n"));
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    TIniManager ini(store, "Ocumira.ini");
    EXPECT_THROW(ini.SetBoundsRect({1, 2, 3, 4}), ESettingsWriteError);
    EXPECT_FALSE(ini.SaveOnExit());
}

// Another program holds the file open and shares no reading (writing and replacing it
// would still go through): the save leaves its file alone and says why.
TEST_F(SettingsStoreTest, AFileHeldWithoutReadSharingIsNotOverwritten) {
    FileSettingsStore store(path_);
    ASSERT_TRUE(store.Write("[Zuri]\r\nCapRate=20\r\n"));
    TIniManager ini(store, "Ocumira.ini");
    {
        const unique_hfile held(::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_THROW(ini.SetBoundsRect({1, 2, 3, 4}), ESettingsReadBackError);
    }
    EXPECT_EQ(store.Read().value_or(""), "[Zuri]\r\nCapRate=20\r\n");
    EXPECT_TRUE(ini.SaveOnExit()) << "let go, the file is written again";
}

}  // namespace
}  // namespace ocu::win
