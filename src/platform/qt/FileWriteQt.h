#pragma once
// Whole files written so that a failure never leaves half a file under the name.
#include <string>
#include <string_view>

namespace ocu::qt {

// A folder, or a file without any write permission bit: kept as the user set it up.
// Asked of the mode bits, not of access(): a program run as root may write anything.
bool ReadOnlyOrFolder(const std::string& path);
// Writes `bytes` to a temporary file beside `path` and moves it over `path`, so `path`
// is either the old file or the whole new one. With `inPlaceIfNoTemporary` a folder
// that takes no new files gets the file written in place.
bool WriteThroughTemporary(const std::string& path, std::string_view bytes, bool inPlaceIfNoTemporary);

}  // namespace ocu::qt
