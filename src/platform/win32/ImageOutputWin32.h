#pragma once
// Image output on Windows: the view read back from the screen, the save dialog,
// files, the clipboard and the printer.
#include <windows.h>

#include "mainwindow/ports/ImageOutputPort.h"
#include "platform/win32/Handles.h"

namespace ocu::win {

class Win32ImageOutput : public IImageOutput {
public:
    explicit Win32ImageOutput(HWND owner) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    std::optional<Image> SnapshotClient(IntRect client) override;
    std::vector<IntRect> WindowsOver(IntRect client) override;
    std::optional<std::string> SaveDialog(const std::string& filter) override;
    bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) override;
    std::optional<std::string> CopyToClipboard(const Image& image) override;
    std::optional<std::vector<std::uint8_t>> EncodePng(const Image& image) override;
    std::optional<std::string> CopyTextToClipboard(const std::string& text) override;
    bool PrintDialog() override;
    std::optional<std::string> PrintImage(const Image& image) override;

private:
    HWND owner_;
    unique_hdc printer_;  // the DC the print dialog returned, until PrintImage uses it
};

// "label|pattern" as the save dialog's filter: the parts separated by NULs, two NULs at the end.
std::wstring DialogFilter(const std::string& filter);

}  // namespace ocu::win
