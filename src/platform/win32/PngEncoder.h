#pragma once
// PNG files through the Windows Imaging Component, which every Windows since
// Vista has and Wine implements; no image library of our own to ship.
#include <cstdint>
#include <optional>
#include <vector>

#include "image/Image.h"

namespace ocu::win {

// The image as the bytes of a 24-bit PNG; nullopt when WIC is missing or fails.
// COM must be initialised on the calling thread.
std::optional<std::vector<std::uint8_t>> EncodePngWithWic(const Image& image);

}  // namespace ocu::win
