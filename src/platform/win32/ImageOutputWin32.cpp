#include "platform/win32/ImageOutputWin32.h"

#include <commdlg.h>

#include <cstring>

#include "mainwindow/ErrorTexts.h"
#include "platform/win32/DibSection.h"
#include "platform/win32/FileWrite.h"
#include "platform/win32/PngEncoder.h"
#include "platform/win32/ScreenCapture.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {

std::wstring DialogFilter(const std::string& filter) {
    std::wstring w = Utf8ToWide(filter);
    for (wchar_t& c : w)
        if (c == L'|') c = L'\0';
    w.push_back(L'\0');
    w.push_back(L'\0');
    return w;
}

std::optional<Image> Win32ImageOutput::SnapshotClient(IntRect client) {
    const int w = client.Width(), h = client.Height();
    if (w <= 0 || h <= 0 || owner_ == nullptr) return std::nullopt;
    // Read from the screen, not from the window: what covers the view is in the
    // picture, as it is on screen.
    POINT origin{client.Left, client.Top};
    if (!::ClientToScreen(owner_, &origin)) return std::nullopt;
    const unique_hdc_window screen = win::GetDC(nullptr);
    if (!screen) return std::nullopt;
    const PixelFormat format = ScreenPixelFormat();
    DibSection dib;
    if (!dib.Ensure(w, h, format, ScreenPalette(screen.get(), format))) return std::nullopt;
    if (!::BitBlt(dib.Dc(), 0, 0, w, h, screen.get(), origin.x, origin.y, SRCCOPY)) return std::nullopt;
    ::GdiFlush();
    return dib.View().Clone();
}

std::vector<IntRect> Win32ImageOutput::WindowsOver(IntRect client) {
    struct Search {
        HWND self;
        RECT area;
        POINT origin;
        std::vector<IntRect> over;
    } search{owner_, {}, {0, 0}, {}};
    if (owner_ == nullptr || !::ClientToScreen(owner_, &search.origin)) return {};
    search.area = {search.origin.x + client.Left, search.origin.y + client.Top, search.origin.x + client.Right,
                   search.origin.y + client.Bottom};
    // Top-level windows come from the top of the Z order down; those before this one lie over it.
    ::EnumWindows(
        [](HWND w, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            if (w == s.self) return FALSE;
            RECT r, common;
            if (::IsWindowVisible(w) && !::IsIconic(w) && ::GetWindowRect(w, &r) &&
                ::IntersectRect(&common, &r, &s.area))
                s.over.push_back({static_cast<int>(common.left - s.origin.x), static_cast<int>(common.top - s.origin.y),
                                  static_cast<int>(common.right - s.origin.x),
                                  static_cast<int>(common.bottom - s.origin.y)});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.over;
}

std::optional<std::string> Win32ImageOutput::SaveDialog(const std::string& filter) {
    const std::wstring filterText = DialogFilter(filter);
    wchar_t file[MAX_PATH * 4] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filterText.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(std::size(file));
    // Default options: an existing file is replaced without a question.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&ofn)) return std::nullopt;
    return WideToUtf8(file);
}

bool Win32ImageOutput::WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    // Written beside the target first and moved over it, so a full disk or a
    // failed write never leaves a broken picture under the chosen name.
    const std::wstring target = Utf8ToWide(path);
    // A read-only file is kept as the user protected it. Windows refuses to move over it,
    // but Wine does not, so it is checked here for both.
    if (ReadOnlyOrFolder(target)) return false;
    return WriteThroughTemporary(target, target + L".ocumira-tmp",
                                 {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

namespace {

// A device-dependent bitmap (the display's format) holding a copy of the image, for the
// clipboard. Not a DIB section: Wine cannot hand a DIB section on the clipboard to another
// process (the reader gets an unusable handle), so nothing could paste it there.
unique_hbitmap DeviceBitmapOf(const Image& image) {
    const unique_hdc_window screen = win::GetDC(nullptr);
    if (!screen) return {};
    unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), image.Width(), image.Height()));
    if (!bitmap) return {};
    DibHeader header = MakeDibHeader(image.Width(), image.Height(), image.Format(), image.Palette());
    if (::SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(image.Height()), image.Bits(), header.Info(),
                    DIB_RGB_COLORS) != image.Height())
        return {};
    return bitmap;
}

}  // namespace

std::optional<std::string> Win32ImageOutput::CopyToClipboard(const Image& image) {
    unique_hbitmap bitmap = DeviceBitmapOf(image);
    if (!bitmap) return std::string(text::kNoClipboardImage);
    const unique_close_clipboard_call clipboard = open_clipboard(owner_);
    if (!clipboard) return std::string(text::kClipboardNotOpen);
    std::optional<std::string> error;
    ::EmptyClipboard();
    if (::SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr) {
        (void)bitmap.release();  // the clipboard owns it now
        if (IsIndexed(image.Format()) && !image.Palette().empty()) {
            std::vector<BYTE> buffer(sizeof(LOGPALETTE) + image.Palette().size() * sizeof(PALETTEENTRY));
            auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
            logical->palVersion = 0x300;
            logical->palNumEntries = static_cast<WORD>(image.Palette().size());
            for (std::size_t i = 0; i < image.Palette().size(); ++i) {
                const PaletteEntry& e = image.Palette()[i];
                logical->palPalEntry[i] = {e.red, e.green, e.blue, 0};
            }
            unique_hpalette palette(::CreatePalette(logical));
            if (palette && ::SetClipboardData(CF_PALETTE, palette.get()) != nullptr)
                (void)palette.release();  // the clipboard owns it now
        }
    } else {
        error = text::kClipboardImageRefused;
    }
    return error;
}

std::optional<std::vector<std::uint8_t>> Win32ImageOutput::EncodePng(const Image& image) {
    return EncodePngWithWic(image);
}

std::optional<std::string> Win32ImageOutput::CopyTextToClipboard(const std::string& text) {
    const std::wstring wide = Utf8ToWide(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    unique_hglobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return std::string(text::kClipboardTextRefused);
    void* locked = ::GlobalLock(memory.get());
    if (locked == nullptr) return std::string(text::kClipboardTextRefused);
    std::memcpy(locked, wide.c_str(), bytes);
    ::GlobalUnlock(memory.get());
    const unique_close_clipboard_call clipboard = open_clipboard(owner_);
    if (!clipboard) return std::string(text::kClipboardNotOpen);
    ::EmptyClipboard();
    if (::SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) return std::string(text::kClipboardTextRefused);
    (void)memory.release();  // the clipboard owns it now
    return std::nullopt;
}

bool Win32ImageOutput::PrintDialog() {
    PRINTDLGW pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner_;
    pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;
    pd.nCopies = 1;
    if (!::PrintDlgW(&pd)) return false;
    // The dialog's printer settings are not kept: each print asks again.
    const unique_hglobal devMode(pd.hDevMode), devNames(pd.hDevNames);
    printer_.reset(pd.hDC);
    return static_cast<bool>(printer_);
}

std::optional<std::string> Win32ImageOutput::PrintImage(const Image& image) {
    const unique_hdc printer = std::move(printer_);
    if (!printer) return std::string(text::kNoPrinter);
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = L"Ocumira";
    if (::StartDocW(printer.get(), &doc) <= 0) return std::string(text::kPrintNotStarted);
    bool ok = ::StartPage(printer.get()) > 0;
    if (ok) {
        DibHeader header = MakeDibHeader(image.Width(), image.Height(), image.Format(), image.Palette());
        // One printer pixel per picture pixel, at the printable area's top-left.
        ok = ::StretchDIBits(printer.get(), 0, 0, image.Width(), image.Height(), 0, 0, image.Width(), image.Height(),
                             image.Bits(), header.Info(), DIB_RGB_COLORS, SRCCOPY) != static_cast<int>(GDI_ERROR);
        ok = ::EndPage(printer.get()) > 0 && ok;
    }
    if (!ok) {
        ::AbortDoc(printer.get());
        return std::string(text::kPrintFailed);
    }
    if (::EndDoc(printer.get()) <= 0) return std::string(text::kPrintFailed);
    return std::nullopt;
}

}  // namespace ocu::win
