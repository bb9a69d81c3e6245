#pragma once
// Image output on the Linux desktop: the view read back from the X screen, the
// save dialog, files, the clipboard and the printer.
#include <xcb/xcb.h>

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "mainwindow/ports/ImageOutputPort.h"

class QPrinter;

namespace ocu::qt {

class QtImageOutput : public IImageOutput {
public:
    // `owner` is the main window (the dialogs' parent, and the window whose client area
    // `clientOrigin` gives in screen pixels).
    QtImageOutput(xcb_connection_t* connection, QWidget* owner, std::function<IntPoint()> clientOrigin);
    ~QtImageOutput() override;
    // The main window exists only after the behaviour that owns this output.
    void SetOwner(QWidget* owner) { owner_ = owner; }

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
    xcb_connection_t* c_;
    xcb_window_t root_ = XCB_NONE;
    QPointer<QWidget> owner_;
    std::function<IntPoint()> clientOrigin_;
    std::unique_ptr<QPrinter> printer_;  // the one the print dialog set up, until PrintImage uses it
};

// "label|pattern" as a Qt file dialog filter: "label (pattern)", several patterns apart by spaces.
QString DialogFilter(const std::string& filter);

}  // namespace ocu::qt
