#include "platform/win32/FileWrite.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/Handles.h"

namespace ocu::win {

bool ReadOnlyOrFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

bool WriteFileWhole(const std::wstring& path, std::string_view bytes) {
    unique_hfile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    if (!::FlushFileBuffers(file.get())) return false;
    return ::CloseHandle(file.release()) != FALSE;
}

bool WriteThroughTemporary(const std::wstring& target, const std::wstring& temp, std::string_view bytes) {
    if (WriteFileWhole(temp, bytes) &&
        ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileW(temp.c_str());
    return false;
}

}  // namespace ocu::win
