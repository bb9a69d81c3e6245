#include "platform/qt/ImageConvert.h"

namespace ocu::qt {
namespace {

QList<QRgb> ColourTable(const Image& image) {
    QList<QRgb> table;
    table.reserve(static_cast<qsizetype>(image.Palette().size()));
    for (const PaletteEntry& e : image.Palette()) table.push_back(qRgb(e.red, e.green, e.blue));
    // An indexed picture without a palette is grey, index for level.
    if (table.isEmpty()) {
        const int levels = 1 << BitsPerPixel(image.Format());
        for (int i = 0; i < levels; ++i) {
            const int v = i * 255 / (levels - 1);
            table.push_back(qRgb(v, v, v));
        }
    }
    return table;
}

// Qt has no four-bit format: each nibble (the high one first) becomes a byte.
QImage FromFourBits(const Image& image) {
    QImage out(image.Width(), image.Height(), QImage::Format_Indexed8);
    if (out.isNull()) return out;
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* in = image.Row(y);
        uchar* row = out.scanLine(y);
        for (int x = 0; x < image.Width(); ++x) row[x] = (x & 1) ? in[x / 2] & 0x0F : in[x / 2] >> 4;
    }
    out.setColorTable(ColourTable(image));
    return out;
}

}  // namespace

QImage ToQImage(const Image& image) {
    if (image.Empty()) return {};
    QImage::Format format = QImage::Format_Invalid;
    switch (image.Format()) {
    case PixelFormat::Bits1: format = QImage::Format_Mono; break;
    case PixelFormat::Bits4: return FromFourBits(image);
    case PixelFormat::Bits8: format = QImage::Format_Indexed8; break;
    case PixelFormat::Bits15: format = QImage::Format_RGB555; break;
    case PixelFormat::Bits16: format = QImage::Format_RGB16; break;
    case PixelFormat::Bits24: format = QImage::Format_BGR888; break;
    case PixelFormat::Bits32: format = QImage::Format_RGB32; break;
    case PixelFormat::Custom: return {};
    }
    // The rows are DWORD-aligned like QImage's: the picture is borrowed as it is, then copied.
    const QImage view(image.Bits(), image.Width(), image.Height(), static_cast<qsizetype>(image.Stride()), format);
    QImage owned = view.copy();
    if (IsIndexed(image.Format())) owned.setColorTable(ColourTable(image));
    return owned;
}

std::optional<PixelFormat> CoreFormatForScreen(int bitsPerPixel, int depth) {
    if (bitsPerPixel == 32 && (depth == 24 || depth == 32)) return PixelFormat::Bits32;
    if (bitsPerPixel == 16 && depth == 16) return PixelFormat::Bits16;
    if (bitsPerPixel == 16 && depth == 15) return PixelFormat::Bits15;
    return std::nullopt;
}

}  // namespace ocu::qt
