// Reads the picture on the clipboard back for the end-to-end tests, and can put text there
// first so that a test sees the picture replace what was on the clipboard before.
//
//   helper_clipboard.exe read <bmp> <out>  -> writes the clipboard's bitmap to <bmp> as a
//                                             32-bit bottom-up BMP; "bitmap <w> <h> <from>",
//                                             or "empty <formats>" when there is no picture
//   helper_clipboard.exe text <text> <out> -> replaces the clipboard with the text; "text set"
// Prints to the file given as the last argument (Wine's console output is unreliable).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

bool OpenClipboardPatiently() {
    // Another process may be holding it for a moment (the magnifier while it copies).
    for (int i = 0; i < 100; ++i) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(20);
    }
    return false;
}

bool WriteBmp(const wchar_t* path, int width, int height, const std::vector<BYTE>& bottomUpBgra) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(bottomUpBgra.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = _wfopen(path, L"wb");
    if (out == nullptr) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&info, sizeof info, 1, out) == 1 &&
              std::fwrite(bottomUpBgra.data(), 1, bottomUpBgra.size(), out) == bottomUpBgra.size();
    ok = std::fclose(out) == 0 && ok;
    return ok;
}

// The clipboard's CF_BITMAP converted by GDI to 32 bits, bottom-up.
bool ReadBitmap(HBITMAP bitmap, int* width, int* height, std::vector<BYTE>* pixels) {
    BITMAP bm{};
    if (GetObjectW(bitmap, sizeof bm, &bm) == 0) return false;
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels->assign(static_cast<size_t>(bm.bmWidth) * bm.bmHeight * 4, 0);
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(bm.bmHeight), pixels->data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows == bm.bmHeight;
}

// CF_DIB as a packed DIB, converted through a DIB section so any depth comes out as 32 bits.
bool ReadDib(HGLOBAL global, int* width, int* height, std::vector<BYTE>* pixels) {
    const auto* header = static_cast<const BITMAPINFO*>(GlobalLock(global));
    if (header == nullptr) return false;
    bool ok = false;
    const BITMAPINFOHEADER& h = header->bmiHeader;
    size_t colors = h.biClrUsed != 0 ? h.biClrUsed : (h.biBitCount <= 8 ? (1u << h.biBitCount) : 0);
    if (h.biCompression == BI_BITFIELDS) colors = 3;
    const BYTE* bits = reinterpret_cast<const BYTE*>(header) + h.biSize + colors * sizeof(RGBQUAD);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &h, CBM_INIT, bits, header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (bitmap != nullptr) {
        ok = ReadBitmap(bitmap, width, height, pixels);
        DeleteObject(bitmap);
    }
    GlobalUnlock(global);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    FILE* out = _wfopen(argv[argc - 1], L"w");
    if (out == nullptr) return 3;
    int rc = 0;
    if (std::wcscmp(argv[1], L"read") == 0 && argc >= 4) {
        if (!OpenClipboardPatiently()) {
            std::fprintf(out, "busy\n");
            rc = 4;
        } else {
            int width = 0, height = 0;
            std::vector<BYTE> pixels;
            const char* from = nullptr;
            if (IsClipboardFormatAvailable(CF_BITMAP)) {
                auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
                if (bitmap != nullptr && ReadBitmap(bitmap, &width, &height, &pixels)) from = "CF_BITMAP";
            }
            if (from == nullptr && IsClipboardFormatAvailable(CF_DIB)) {
                if (auto global = static_cast<HGLOBAL>(GetClipboardData(CF_DIB));
                    global != nullptr && ReadDib(global, &width, &height, &pixels))
                    from = "CF_DIB";
            }
            std::string formats;
            for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f))
                formats += " " + std::to_string(f);
            CloseClipboard();
            if (from == nullptr) {
                // The formats that are there, for a failing test's message.
                std::fprintf(out, "empty%s\n", formats.c_str());
            } else if (WriteBmp(argv[2], width, height, pixels)) {
                std::fprintf(out, "bitmap %d %d %s\n", width, height, from);
            } else {
                std::fprintf(out, "cannot write\n");
                rc = 5;
            }
        }
    } else if (std::wcscmp(argv[1], L"text") == 0 && argc >= 4) {
        const size_t bytes = (std::wcslen(argv[2]) + 1) * sizeof(wchar_t);
        HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes);
        bool ok = false;
        if (global != nullptr && OpenClipboardPatiently()) {
            std::memcpy(GlobalLock(global), argv[2], bytes);
            GlobalUnlock(global);
            EmptyClipboard();
            ok = SetClipboardData(CF_UNICODETEXT, global) != nullptr;
            CloseClipboard();
        }
        if (!ok && global != nullptr) GlobalFree(global);
        std::fprintf(out, ok ? "text set\n" : "text failed\n");
        rc = ok ? 0 : 4;
    } else if (std::wcscmp(argv[1], L"readtext") == 0) {
        // The clipboard's CF_UNICODETEXT as UTF-8 after "text ".
        std::string text = "none";
        if (OpenClipboardPatiently()) {
            if (auto global = static_cast<HGLOBAL>(GetClipboardData(CF_UNICODETEXT))) {
                if (const auto* w = static_cast<const wchar_t*>(GlobalLock(global))) {
                    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
                    std::string utf8(n > 0 ? static_cast<size_t>(n) : 0, '\0');
                    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w, -1, utf8.data(), n, nullptr, nullptr);
                    if (!utf8.empty()) utf8.pop_back();
                    text = "text " + utf8;
                    GlobalUnlock(global);
                }
            }
            CloseClipboard();
        }
        std::fprintf(out, "%s\n", text.c_str());
    } else {
        rc = 2;
    }
    std::fclose(out);
    return rc;
}
