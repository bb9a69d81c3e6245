#pragma once
// Windows bitmap files: the name the save command writes to, and the bytes.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/Image.h"

namespace ocu {

// The chosen name with its extension replaced by ".bmp" (a name without one
// gets ".bmp" appended). Only the last path element counts: a dot in a folder
// name is no extension.
std::string BitmapFileName(const std::string& chosen);

// A BITMAPINFOHEADER and what follows it (the 5-6-5 masks, or the colour table of
// an indexed format, missing entries black) for a picture of that size and format,
// as files and the system's device-independent bitmaps both take it; a negative
// height stands for top-down rows.
std::vector<std::uint8_t> BitmapInfo(int width, int height, PixelFormat format, std::span<const PaletteEntry> palette);

// An uncompressed BMP (BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows padded
// to 4 bytes) in the image's own depth: 1, 4 and 8 bits with their palette,
// 16 bits as 5-6-5 through BI_BITFIELDS masks, 15 bits as plain 5-5-5, 24 and 32 bits.
std::vector<std::uint8_t> EncodeBmp(const Image& image);

// Reads what EncodeBmp writes (and the common uncompressed variants); an empty
// image when the bytes are not such a file.
Image DecodeBmp(const std::vector<std::uint8_t>& bytes);

}  // namespace ocu
