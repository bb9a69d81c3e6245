#include "output/PngFile.h"

#include "base/FileName.h"
#include "image/PixelColour.h"
#include "output/BitmapFile.h"

namespace ocu {

std::string PngFileName(const std::string& chosen) { return FileNameWithExtension<char>(chosen, ".png"); }

std::vector<std::uint8_t> Bgr24Rows(const Image& image) {
    if (image.Empty()) return {};
    std::vector<std::uint8_t> out(static_cast<std::size_t>(image.Width()) * 3 *
                                  static_cast<std::size_t>(image.Height()));
    std::size_t at = 0;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const auto rgb = PixelRgb(image, x, y);
            if (!rgb) return {};
            out[at++] = static_cast<std::uint8_t>(*rgb);
            out[at++] = static_cast<std::uint8_t>(*rgb >> 8);
            out[at++] = static_cast<std::uint8_t>(*rgb >> 16);
        }
    }
    return out;
}

}  // namespace ocu
