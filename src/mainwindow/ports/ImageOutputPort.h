#pragma once
// The port for the work that leaves the view as an image: the file, the clipboard and
// the printer. Kept apart from IPlatform so the view's behaviour and its tests need none of it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "image/Image.h"

namespace ocu {

class IImageOutput {
public:
    virtual ~IImageOutput() = default;
    // The pixels shown in the main window's client rectangle, read back from the
    // screen, in the display's format (with its palette for 8 bits). nullopt on failure.
    virtual std::optional<Image> SnapshotClient(IntRect client) = 0;
    // The parts of the client rectangle that other shown windows lie over, in client
    // coordinates and clipped to it.
    virtual std::vector<IntRect> WindowsOver(IntRect client) = 0;
    // The save dialog with one filter entry ("label|pattern"); the chosen path (UTF-8) or nullopt.
    virtual std::optional<std::string> SaveDialog(const std::string& filter) = 0;
    // Replaces the file with the bytes; false on any failure.
    virtual bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) = 0;
    // Puts the image on the clipboard as a bitmap (and its palette); the error text on failure.
    virtual std::optional<std::string> CopyToClipboard(const Image& image) = 0;
    // The image as the bytes of a PNG file; nullopt when it cannot be encoded.
    virtual std::optional<std::vector<std::uint8_t>> EncodePng(const Image& image) = 0;
    // Puts a text (UTF-8) on the clipboard; the error text on failure.
    virtual std::optional<std::string> CopyTextToClipboard(const std::string& text) = 0;
    // Shows the print dialog; false when the user cancels.
    virtual bool PrintDialog() = 0;
    // One page with the image at the printable area's top-left, one printer pixel
    // per image pixel, on the printer chosen in the dialog; the error text on failure.
    virtual std::optional<std::string> PrintImage(const Image& image) = 0;
};

}  // namespace ocu
