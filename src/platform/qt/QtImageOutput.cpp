#include "platform/qt/QtImageOutput.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <cstring>

#include "mainwindow/ErrorTexts.h"
#include "platform/qt/FileWriteQt.h"
#include "platform/qt/ImageConvert.h"
#include "platform/qt/XcbReply.h"

namespace ocu::qt {
namespace {

// The top-level window (a child of the root: the window manager's frame, if any) holding `w`.
xcb_window_t TopLevelOf(xcb_connection_t* c, xcb_window_t w) {
    for (int depth = 0; depth < 64 && w != XCB_NONE; ++depth) {
        const auto tree = Take<xcb_query_tree_reply_t>(c, xcb_query_tree(c, w), xcb_query_tree_reply);
        if (!tree) return XCB_NONE;
        if (tree->parent == tree->root || tree->parent == XCB_NONE) return w;
        w = tree->parent;
    }
    return XCB_NONE;
}

const xcb_format_t* FormatOfDepth(xcb_connection_t* c, int depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it))
        if (it.data->depth == depth) return it.data;
    return nullptr;
}

}  // namespace

QString DialogFilter(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0) return text;
    QString patterns = text.mid(bar + 1);
    patterns.replace(u';', u' ');
    // A label that names its patterns already ("PNG(*.png)") is what Qt reads them from.
    const QString label = text.left(bar);
    if (label.endsWith(u'(' + patterns + u')')) return label;
    return label + QStringLiteral(" (") + patterns + u')';
}

QtImageOutput::QtImageOutput(xcb_connection_t* connection, QWidget* owner, std::function<IntPoint()> clientOrigin)
    : c_(connection), owner_(owner), clientOrigin_(std::move(clientOrigin)) {
    if (c_ != nullptr) {
        const auto screen = xcb_setup_roots_iterator(xcb_get_setup(c_));
        if (screen.rem > 0) root_ = screen.data->root;
    }
}

QtImageOutput::~QtImageOutput() = default;

std::optional<Image> QtImageOutput::SnapshotClient(IntRect client) {
    const int w = client.Width(), h = client.Height();
    if (w <= 0 || h <= 0 || c_ == nullptr || root_ == XCB_NONE || !clientOrigin_) return std::nullopt;
    // Read from the screen, not from the window: what covers the view is in the picture.
    const IntPoint origin = clientOrigin_();
    const auto geometry = Take<xcb_get_geometry_reply_t>(c_, xcb_get_geometry(c_, root_), xcb_get_geometry_reply);
    if (!geometry) return std::nullopt;
    // The server refuses a rectangle past the screen's edge: only the part on it is
    // read, the rest stays black as a window off the screen shows nothing.
    const int left = origin.X + client.Left, top = origin.Y + client.Top;
    const int x0 = std::max(left, 0), y0 = std::max(top, 0);
    const int x1 = std::min(left + w, static_cast<int>(geometry->width));
    const int y1 = std::min(top + h, static_cast<int>(geometry->height));
    const xcb_format_t* pixmapFormat = FormatOfDepth(c_, geometry->depth);
    // The core's pixels are little-endian words, as a server on this machine sends them.
    if (pixmapFormat == nullptr || xcb_get_setup(c_)->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return std::nullopt;
    const auto format = CoreFormatForScreen(pixmapFormat->bits_per_pixel, geometry->depth);
    if (!format) return std::nullopt;
    Image out(w, h, *format);
    if (x1 <= x0 || y1 <= y0) return out;
    const auto reply = Take<xcb_get_image_reply_t>(
        c_,
        xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<int16_t>(x0), static_cast<int16_t>(y0),
                      static_cast<uint16_t>(x1 - x0), static_cast<uint16_t>(y1 - y0), ~0u),
        xcb_get_image_reply);
    if (!reply) return std::nullopt;
    const int bytesPerPixel = pixmapFormat->bits_per_pixel / 8;
    const int pad = pixmapFormat->scanline_pad;
    const std::size_t inStride =
        ((static_cast<std::size_t>(x1 - x0) * pixmapFormat->bits_per_pixel + pad - 1) / pad) * pad / 8;
    const std::size_t rowBytes = static_cast<std::size_t>(x1 - x0) * bytesPerPixel;
    if (static_cast<std::size_t>(xcb_get_image_data_length(reply.get())) < inStride * (y1 - y0)) return std::nullopt;
    const std::uint8_t* in = xcb_get_image_data(reply.get());
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* row = out.Row(y - top) + static_cast<std::size_t>(x0 - left) * bytesPerPixel;
        std::memcpy(row, in + static_cast<std::size_t>(y - y0) * inStride, rowBytes);
        // The fourth byte of a 24-bit pixel is the server's padding; a screen read on
        // Windows gives zero there, and the saved picture must not carry it as alpha.
        if (geometry->depth == 24 && bytesPerPixel == 4)
            for (std::size_t i = 3; i < rowBytes; i += 4) row[i] = 0;
    }
    return out;
}

std::vector<IntRect> QtImageOutput::WindowsOver(IntRect client) {
    if (c_ == nullptr || root_ == XCB_NONE || owner_ == nullptr || !clientOrigin_) return {};
    const xcb_window_t self = TopLevelOf(c_, static_cast<xcb_window_t>(owner_->window()->winId()));
    const auto tree = Take<xcb_query_tree_reply_t>(c_, xcb_query_tree(c_, root_), xcb_query_tree_reply);
    if (self == XCB_NONE || !tree) return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    // The root's children come bottom first: those after this window lie over it.
    int first = 0;
    while (first < count && children[first] != self) ++first;
    if (first == count) return {};
    ++first;
    std::vector<xcb_get_window_attributes_cookie_t> attributes;
    std::vector<xcb_get_geometry_cookie_t> geometries;
    for (int i = first; i < count; ++i) {
        attributes.push_back(xcb_get_window_attributes(c_, children[i]));
        geometries.push_back(xcb_get_geometry(c_, children[i]));
    }
    const IntPoint origin = clientOrigin_();
    const IntRect area{origin.X + client.Left, origin.Y + client.Top, origin.X + client.Right,
                       origin.Y + client.Bottom};
    std::vector<IntRect> over;
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const auto a = Take<xcb_get_window_attributes_reply_t>(c_, attributes[i], xcb_get_window_attributes_reply);
        const auto g = Take<xcb_get_geometry_reply_t>(c_, geometries[i], xcb_get_geometry_reply);
        if (!a || !g || a->map_state != XCB_MAP_STATE_VIEWABLE || a->_class == XCB_WINDOW_CLASS_INPUT_ONLY) continue;
        const int border = g->border_width;
        const IntRect r{std::max<int>(g->x, area.Left), std::max<int>(g->y, area.Top),
                        std::min<int>(g->x + g->width + 2 * border, area.Right),
                        std::min<int>(g->y + g->height + 2 * border, area.Bottom)};
        if (r.Left < r.Right && r.Top < r.Bottom)
            over.push_back({r.Left - origin.X, r.Top - origin.Y, r.Right - origin.X, r.Bottom - origin.Y});
    }
    return over;
}

std::optional<std::string> QtImageOutput::SaveDialog(const std::string& filter) {
    // As on Windows, an existing file is replaced without a question. Qt's own dialog: GTK's
    // would need GLib's event loop, which this program does not run.
    const QString path = QFileDialog::getSaveFileName(owner_, QString(), QString(), DialogFilter(filter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

bool QtImageOutput::WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (ReadOnlyOrFolder(path)) return false;
    return WriteThroughTemporary(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, false);
}

std::optional<std::string> QtImageOutput::CopyToClipboard(const Image& image) {
    const QImage picture = ToQImage(image);
    if (picture.isNull()) return std::string(text::kNoClipboardImage);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return std::string(text::kClipboardNotOpen);
    clipboard->setImage(picture);
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> QtImageOutput::EncodePng(const Image& image) {
    const QImage picture = ToQImage(image);
    if (picture.isNull()) return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::optional<std::string> QtImageOutput::CopyTextToClipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return std::string(text::kClipboardNotOpen);
    clipboard->setText(QString::fromStdString(text));
    return std::nullopt;
}

bool QtImageOutput::PrintDialog() {
    // The dialog's printer settings are not kept: each print asks again.
    auto printer = std::make_unique<QPrinter>(QPrinter::PrinterResolution);
    QPrintDialog dialog(printer.get(), owner_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    printer_.reset();
    if (dialog.exec() != QDialog::Accepted) return false;
    printer_ = std::move(printer);
    return true;
}

std::optional<std::string> QtImageOutput::PrintImage(const Image& image) {
    const std::unique_ptr<QPrinter> printer = std::move(printer_);
    if (!printer || !printer->isValid()) return std::string(text::kNoPrinter);
    const QImage picture = ToQImage(image);
    if (picture.isNull()) return std::string(text::kPrintFailed);
    printer->setDocName(QStringLiteral("Ocumira"));
    QPainter painter;
    if (!painter.begin(printer.get())) return std::string(text::kPrintNotStarted);
    // Qt sends the page as PDF, where pictures go out as JPEG unless asked otherwise:
    // the print must be the view's pixels.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    // The painter's units are the printer's dots from the printable area's top-left:
    // one printer pixel per picture pixel.
    painter.drawImage(QPoint(0, 0), picture);
    if (!painter.end()) return std::string(text::kPrintFailed);
    return std::nullopt;
}

}  // namespace ocu::qt
