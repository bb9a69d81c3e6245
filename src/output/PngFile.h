#pragma once
// What the PNG save needs from the core: the file name, and the pixels in the
// one layout every PNG encoder takes.
#include <cstdint>
#include <string>
#include <vector>

#include "image/Image.h"

namespace ocu {

// The chosen name with ".png" for its extension, by the rule of BitmapFileName.
std::string PngFileName(const std::string& chosen);

// The image as 24-bit blue-green-red rows, top-down, 3 * width bytes a row and no
// padding; empty for an empty image or one whose pixels have no colour.
std::vector<std::uint8_t> Bgr24Rows(const Image& image);

}  // namespace ocu
