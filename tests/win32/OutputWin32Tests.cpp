// Image output on Windows: whole-file writes that replace or fail cleanly, the clipboard
// round trip, the view read back from the screen, and the save dialog's filter text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/win32/ImageOutputWin32.h"
#include "win32/Win32TestSupport.h"

namespace ocu::win {
namespace {

namespace fs = std::filesystem;
using wintest::ColourWindow;
using wintest::FromColorRef;
using wintest::PixelRgb;
using wintest::PollUntil;
using wintest::Rgb;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder under the temp folder, removed again (read-only attributes first) afterwards.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        ::GetTempPathW(MAX_PATH, base);
        path_ = fs::path(base) /
                ("ocu-output-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        for (const auto& e : fs::recursive_directory_iterator(path_, ignored))
            ::SetFileAttributesW(e.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }
    std::string Utf8(const std::string& name) const { return win::Utf8(path_ / fs::u8path(name)); }
    // Names in the folder other than `except`: leftovers such as temporary files.
    std::vector<std::string> Others(const std::string& except) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_))
            if (win::Utf8(e.path().filename()) != except) names.push_back(win::Utf8(e.path().filename()));
        return names;
    }

private:
    fs::path path_;
};

TEST(WriteWholeFileTest, CreatesThenReplacesWithExactlyTheNewBytes) {
    TempFolder dir;
    Win32ImageOutput output(nullptr);
    // A Japanese name: the path goes through UTF-8 to the wide API.
    const std::string name = "画像.bmp";
    const std::vector<std::uint8_t> first(100000, 0xAB);
    ASSERT_TRUE(output.WriteWholeFile(dir.Utf8(name), first));
    EXPECT_EQ(ReadAll(dir.Path() / fs::u8path(name)), first);
    // Shorter second content: nothing of the first file may survive past its end.
    std::vector<std::uint8_t> second(37);
    std::mt19937 random(7);
    for (auto& b : second) b = static_cast<std::uint8_t>(random());
    ASSERT_TRUE(output.WriteWholeFile(dir.Utf8(name), second));
    EXPECT_EQ(ReadAll(dir.Path() / fs::u8path(name)), second);
    EXPECT_TRUE(dir.Others(name).empty());
    // An empty picture file is still a file that replaces the old one.
    ASSERT_TRUE(output.WriteWholeFile(dir.Utf8(name), {}));
    EXPECT_TRUE(ReadAll(dir.Path() / fs::u8path(name)).empty());
}

TEST(WriteWholeFileTest, FailuresReportFalseKeepTheOldFileAndLeaveNoTemporaryFile) {
    TempFolder dir;
    Win32ImageOutput output(nullptr);
    const std::vector<std::uint8_t> bytes(5000, 0x5A);

    // A read-only file is not replaced.
    const std::vector<std::uint8_t> old{1, 2, 3};
    ASSERT_TRUE(output.WriteWholeFile(dir.Utf8("locked.bmp"), old));
    ASSERT_TRUE(::SetFileAttributesW((dir.Path() / "locked.bmp").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(output.WriteWholeFile(dir.Utf8("locked.bmp"), bytes));
    EXPECT_EQ(ReadAll(dir.Path() / "locked.bmp"), old);
    EXPECT_TRUE(dir.Others("locked.bmp").empty()) << dir.Others("locked.bmp").front();

    // A folder in the way of the name, and a folder that does not exist.
    fs::create_directory(dir.Path() / "taken.bmp");
    EXPECT_FALSE(output.WriteWholeFile(dir.Utf8("taken.bmp"), bytes));
    EXPECT_TRUE(fs::is_directory(dir.Path() / "taken.bmp"));
    EXPECT_FALSE(output.WriteWholeFile(dir.Utf8("missing\\view.bmp"), bytes));
    const auto left = dir.Others("locked.bmp");
    EXPECT_EQ(left, std::vector<std::string>{"taken.bmp"});
    EXPECT_TRUE(fs::is_empty(dir.Path() / "taken.bmp"));
}

// Puts text on the clipboard, so a test can see the picture replace it.
void PutText(const wchar_t* text) {
    ASSERT_TRUE(PollUntil([] { return ::OpenClipboard(nullptr) != FALSE; }));
    ::EmptyClipboard();
    const std::size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(global), text, bytes);
    ::GlobalUnlock(global);
    ::SetClipboardData(CF_UNICODETEXT, global);
    ::CloseClipboard();
}

// The clipboard's CF_BITMAP as 32-bit top-down pixels, 0x00RRGGBB.
struct ClipboardPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    bool hasText = false, hasPalette = false;
    bool dibSection = false;
};

ClipboardPicture ReadClipboardPicture() {
    ClipboardPicture picture;
    if (!PollUntil([] { return ::OpenClipboard(nullptr) != FALSE; })) return picture;
    picture.hasText = ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    picture.hasPalette = ::IsClipboardFormatAvailable(CF_PALETTE) != FALSE;
    if (auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))) {
        BITMAP bm{};
        ::GetObjectW(bitmap, sizeof bm, &bm);
        picture.dibSection = bm.bmBits != nullptr;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bm.bmWidth) * bm.bmHeight);
        const HDC screen = ::GetDC(nullptr);
        const int rows =
            ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        if (rows == bm.bmHeight) {
            picture.width = bm.bmWidth;
            picture.height = bm.bmHeight;
            for (auto& p : pixels) p &= 0xFFFFFF;
            picture.pixels = std::move(pixels);
        }
    }
    ::CloseClipboard();
    return picture;
}

TEST(CopyToClipboardTest, TrueColourPictureReplacesTheClipboardPixelForPixel) {
    PutText(L"before");
    Image image(37, 21, PixelFormat::Bits32);
    std::mt19937 random(11);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) image.SetPixel32(x, y, random() & 0xFFFFFF);
    Win32ImageOutput output(nullptr);
    ASSERT_EQ(output.CopyToClipboard(image), std::nullopt);

    const ClipboardPicture got = ReadClipboardPicture();
    EXPECT_FALSE(got.hasText) << "the text from before is still on the clipboard";
    EXPECT_FALSE(got.hasPalette);
    // Wine hands a DIB section on the clipboard to no other process: only a device bitmap
    // can be pasted elsewhere.
    EXPECT_FALSE(got.dibSection);
    ASSERT_EQ(got.width, image.Width());
    ASSERT_EQ(got.height, image.Height());
    int wrong = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            wrong += got.pixels[static_cast<std::size_t>(y) * got.width + x] != (image.Pixel32(x, y) & 0xFFFFFF);
    EXPECT_EQ(wrong, 0) << "(rows upside down or shifted?)";
}

TEST(CopyToClipboardTest, IndexedPictureTakesItsPaletteAlong) {
    Image image(9, 5, PixelFormat::Bits8);
    image.Palette().assign(256, PaletteEntry{});
    image.Palette()[0] = {10, 20, 30, 0};
    image.Palette()[1] = {200, 0, 100, 0};
    image.Palette()[2] = {0, 255, 0, 0};
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) image.Row(y)[x] = static_cast<std::uint8_t>((x + 2 * y) % 3);
    Win32ImageOutput output(nullptr);
    ASSERT_EQ(output.CopyToClipboard(image), std::nullopt);
    const ClipboardPicture got = ReadClipboardPicture();
    EXPECT_TRUE(got.hasPalette);
    ASSERT_EQ(got.width, 9);
    ASSERT_EQ(got.height, 5);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const PaletteEntry& e = image.Palette()[image.Row(y)[x]];
            EXPECT_EQ(got.pixels[static_cast<std::size_t>(y) * 9 + x],
                      (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) | e.blue)
                << x << "," << y;
        }
}

TEST(SnapshotClientTest, ReadsTheWindowsPixelsFromTheScreenAtTheClientOffset) {
    constexpr RECT kArea{300, 200, 300 + 120, 200 + 80};
    ColourWindow window(kArea);
    Win32ImageOutput output(window.Handle());
    auto matches = [&](const Image& img, int left, int top) {
        for (int y = 0; y < img.Height(); ++y)
            for (int x = 0; x < img.Width(); ++x)
                if (PixelRgb(img, x, y) != FromColorRef(window.Expected(left + x, top + y))) return false;
        return true;
    };
    std::optional<Image> whole;
    ASSERT_TRUE(PollUntil([&] {
        whole = output.SnapshotClient({0, 0, window.Width(), window.Height()});
        return whole && matches(*whole, 0, 0);
    })) << "the snapshot never showed the window's colours";
    EXPECT_EQ(whole->Width(), window.Width());
    EXPECT_EQ(whole->Height(), window.Height());

    // A part that starts inside the client area, as the view starts below the tool bar.
    const int left = window.SplitX() - 3, top = window.SplitY() - 2;
    const auto part = output.SnapshotClient({left, top, window.Width() - 1, window.Height() - 4});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->Width(), window.Width() - 1 - left);
    EXPECT_EQ(part->Height(), window.Height() - 4 - top);
    EXPECT_TRUE(matches(*part, left, top));

    EXPECT_EQ(output.SnapshotClient({5, 5, 5, 20}), std::nullopt) << "an empty area";
    Win32ImageOutput ownerless(nullptr);
    EXPECT_EQ(ownerless.SnapshotClient({0, 0, 10, 10}), std::nullopt);
}

TEST(DialogFilterTest, BarsBecomeNulsAndTheListEndsInTwoNuls) {
    using namespace std::string_literals;
    EXPECT_EQ(DialogFilter("ビットマップ(*.bmp)|*.bmp"), L"ビットマップ(*.bmp)\0*.bmp\0\0"s);
    EXPECT_EQ(DialogFilter("A|*.a|B|*.b;*.c"), L"A\0*.a\0B\0*.b;*.c\0\0"s);
}

}  // namespace
}  // namespace ocu::win
