#pragma once
// Whole files written so that a failure never leaves half a file under the name.
#include <string>
#include <string_view>

namespace ocu::win {

// A read-only file or a folder under that name: kept as it is, never written over.
bool ReadOnlyOrFolder(const std::wstring& path);
// Creates (or empties) `path` and writes `bytes` to it, flushed to the disk.
bool WriteFileWhole(const std::wstring& path, std::string_view bytes);
// Writes `bytes` to `temp` and moves it over `target`, so `target` is either the old
// file or the whole new one; on failure `temp` is removed and `target` untouched.
bool WriteThroughTemporary(const std::wstring& target, const std::wstring& temp, std::string_view bytes);

}  // namespace ocu::win
