#include "platform/win32/FileSettingsStore.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/win32/FileWrite.h"
#include "platform/win32/Handles.h"

namespace ocu::win {
namespace {

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// The user's folder for the settings does not exist before the first save; the
// program folder always does, and making it again changes nothing.
void MakeFolderOf(const std::wstring& path) {
    const std::wstring folder = FolderOf(path);
    if (!folder.empty()) ::CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace

std::optional<std::string> FileSettingsStore::Read() {
    unique_hfile file(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    // A settings file is a few hundred bytes; anything past 16 MiB is not ours.
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > (16 << 20)) return std::nullopt;
    std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), text.data() + done, static_cast<DWORD>(text.size() - done), &got, nullptr))
            return std::nullopt;
        if (got == 0) break;
        done += got;
    }
    text.resize(done);
    return text;
}

bool FileSettingsStore::Write(const std::string& wholeText) {
    if (ReadOnlyOrFolder(path_)) return false;
    MakeFolderOf(path_);
    if (WriteThroughTemporary(path_, path_ + L".tmp", wholeText)) return true;
    // A folder where only the settings file itself may be written (no new files):
    // write it in place.
    return WriteFileWhole(path_, wholeText);
}

bool FileSettingsStore::Exists() {
    const DWORD attributes = ::GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return true;
    // A look that is denied is a file we may not see, not a missing one.
    const DWORD error = ::GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

bool FileSettingsStore::CanWrite() { return !ReadOnlyOrFolder(path_) && PlaceWritable(); }

bool FileSettingsStore::PlaceWritable() {
    MakeFolderOf(path_);
    const std::wstring probe = path_ + L".tmp";
    if (unique_hfile(::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr)))
        return true;
    // Only the file itself may be written (Write then writes it in place).
    return static_cast<bool>(
        unique_hfile(::CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
}

std::wstring PerUserSettingsPath(const std::wstring& fileName) {
    unique_cotaskmem_ptr<wchar_t> folder;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, folder.put())) || !folder)
        return {};
    return std::wstring(folder.get()) + L"\\Ocumira\\" + fileName;
}

std::wstring ModulePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace ocu::win
