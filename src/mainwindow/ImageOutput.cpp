#include "mainwindow/ImageOutput.h"

#include <stdexcept>

#include "output/BitmapFile.h"
#include "output/PngFile.h"

namespace ocu {

std::optional<Image> ImageOutput::Snapshot() {
    // Exactly what the view shows on screen now: guides, layer, even a covering window.
    return port_->SnapshotClient({s_.ViewLeft, s_.ViewTop, s_.ViewLeft + s_.ViewWidth, s_.ViewTop + s_.ViewHeight});
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
    if (!saved) p_.ShowMessage("「" + path + "」に画像を保存できませんでした。", "");
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
    if (!saved) p_.ShowMessage("「" + path + "」に画像を保存できませんでした。", "");
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
