#include "mainwindow/ImageOutput.h"

#include <stdexcept>

#include "image/PixelOps.h"
#include "output/BitmapFile.h"
#include "output/PngFile.h"

namespace ocu {

std::optional<Image> ImageOutput::Snapshot() {
    // Exactly what the view shows on screen: guides, layer, even a covering window.
    const IntRect view{s_.ViewLeft, s_.ViewTop, s_.ViewLeft + s_.ViewWidth, s_.ViewTop + s_.ViewHeight};
    std::optional<Image> screen = port_->SnapshotClient(view);
    // But where nothing else covers the view, the screen may not show it yet: a menu
    // that gave the command has just closed over it, and the window repaints that part
    // later. There the picture is the frame the view last drew.
    IntRect shownAt;
    const Image* frame = screen_.ShownFrame(shownAt);
    if (!screen || frame == nullptr || !(shownAt == view) || frame->Palette() != screen->Palette()) return screen;
    try {
        Image picture = screen->Clone();
        CopyRect(picture, *frame, {0, 0, view.Width(), view.Height()});
        for (const IntRect& r : port_->WindowsOver(view))
            CopyRect(picture, *screen,
                     {r.Left - view.Left, r.Top - view.Top, r.Right - view.Left, r.Bottom - view.Top});
        return picture;
    } catch (const std::invalid_argument&) {
        return screen;  // a format the frame cannot be laid over
    }
}

void ImageOutput::SaveViewFile() {
    // Taken before the dialog: once it closes, the view under it stays blank
    // until the next tick, and that is not what the user chose to save.
    const auto image = Snapshot();
    const auto chosen = port_->SaveDialog("ビットマップ(*.bmp)|*.bmp");
    if (!chosen) return;
    const std::string path = BitmapFileName(*chosen);
    const bool saved = image && !image->Empty() && port_->WriteWholeFile(path, EncodeBmp(*image));
    // A silent failure would let the user believe the picture was kept.
    if (!saved) dialogs_.ShowMessage("「" + path + "」に画像を保存できませんでした。", "");
}

void ImageOutput::SavePngFile() {
    const auto image = Snapshot();  // before the dialog covers the view
    const auto chosen = port_->SaveDialog("PNG(*.png)|*.png");
    if (!chosen) return;
    const std::string path = PngFileName(*chosen);
    bool saved = false;
    if (image && !image->Empty()) {
        const auto bytes = port_->EncodePng(*image);
        saved = bytes && port_->WriteWholeFile(path, *bytes);
    }
    if (!saved) dialogs_.ShowMessage("「" + path + "」に画像を保存できませんでした。", "");
}

void ImageOutput::CopyViewToClipboard() {
    const auto image = Snapshot();
    if (!image || image->Empty()) throw std::runtime_error("画像を取得できませんでした。");
    if (const auto error = port_->CopyToClipboard(*image)) throw std::runtime_error(*error);
}

void ImageOutput::PrintView() {
    const auto image = Snapshot();  // before the dialog covers the view
    if (!port_->PrintDialog()) return;
    if (!image || image->Empty()) throw std::runtime_error("画像を取得できませんでした。");
    if (const auto error = port_->PrintImage(*image)) throw std::runtime_error(*error);
}

void ImageOutput::CopyColor(const std::string& colorText) {
    if (colorText.empty()) throw std::runtime_error("ポインタ位置の色を読み取れませんでした。");
    if (const auto error = port_->CopyTextToClipboard(colorText)) throw std::runtime_error(*error);
}

}  // namespace ocu
