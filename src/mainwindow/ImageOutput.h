#pragma once
// The view's picture leaving the program: the BMP and PNG files, the clipboard,
// the printer, and the colour under the pointer as text on the clipboard.
#include <optional>
#include <string>

#include "image/Image.h"
#include "mainwindow/ViewState.h"
#include "mainwindow/ports/DialogPort.h"
#include "mainwindow/ports/ImageOutputPort.h"
#include "mainwindow/ports/ScreenPort.h"

namespace ocu {

class ImageOutput {
public:
    ImageOutput(const ViewState& state, ScreenPort& screen, DialogPort& dialogs)
        : s_(state), screen_(screen), dialogs_(dialogs) {}
    // Without the port the output commands do nothing.
    void Attach(IImageOutput* port) { port_ = port; }
    bool Attached() const { return port_ != nullptr; }

    // Failures of the clipboard and the printer are thrown as the text to show.
    void SaveViewFile();
    void SavePngFile();
    void CopyViewToClipboard();
    void PrintView();
    void CopyColor(const std::string& colorText);

private:
    std::optional<Image> Snapshot();

    const ViewState& s_;
    ScreenPort& screen_;
    DialogPort& dialogs_;
    IImageOutput* port_ = nullptr;
};

}  // namespace ocu
