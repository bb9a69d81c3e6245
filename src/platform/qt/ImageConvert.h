#pragma once
// The core's pictures as QImages and back: the same bytes wherever Qt has the core's
// pixel layout, a copy through 8 bits per pixel only where it has none (4 bits).
#include <QImage>
#include <optional>

#include "image/Image.h"

namespace ocu::qt {

// An owning QImage of the picture; a null QImage when its format is unknown.
QImage ToQImage(const Image& image);

// The screen's bytes as a core picture: 32-bit rows (blue first), 15 or 16-bit rows.
// nullopt for layouts the core has no format for.
std::optional<PixelFormat> CoreFormatForScreen(int bitsPerPixel, int depth);

}  // namespace ocu::qt
