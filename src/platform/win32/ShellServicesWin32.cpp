#include "platform/win32/ShellServicesWin32.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "mainwindow/TfrmCap.h"
#include "platform/win32/Dialogs.h"
#include "platform/win32/FileSettingsStore.h"
#include "platform/win32/Handles.h"
#include "platform/win32/TextConvert.h"

namespace ocu::win {

std::string Win32ShellServices::ProgramPath() { return WideToUtf8(ModulePath()); }

std::optional<std::string> Win32ShellServices::ProgramsFolder() {
    unique_cotaskmem_ptr<ITEMIDLIST> list;
    if (FAILED(::SHGetSpecialFolderLocation(owner_, CSIDL_PROGRAMS, list.put())) || !list) return std::nullopt;
    wchar_t path[MAX_PATH];
    if (!::SHGetPathFromIDListW(list.get(), path)) return std::nullopt;
    return WideToUtf8(path);
}

bool Win32ShellServices::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32ShellServices::CreateShortcut(const std::string& linkPath, const std::string& target,
                                        const std::string& workingDir) {
    com_ptr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return false;
    link->SetArguments(L"");
    link->SetPath(Utf8ToWide(target).c_str());
    link->SetWorkingDirectory(Utf8ToWide(workingDir).c_str());
    link->SetIconLocation(Utf8ToWide(target).c_str(), 0);
    com_ptr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
    return SUCCEEDED(file->Save(Utf8ToWide(linkPath).c_str(), FALSE));
}

bool Win32ShellServices::DeleteFile(const std::string& path) {
    return ::DeleteFileW(Utf8ToWide(path).c_str()) != FALSE;
}

void Win32ShellServices::OpenUrl(const std::string& url) {
    ::ShellExecuteW(nullptr, nullptr, Utf8ToWide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32ShellServices::OpenHelpFile(const std::string& helpFile) {
    ::WinHelpW(owner_, Utf8ToWide(helpFile).c_str(), HELP_FINDER, 0);
}

std::optional<OptionsChoice> Win32ShellServices::ShowOptionsDialog(OptionsChoice current) {
    return win::ShowOptionsDialog(instance_, owner_, current);
}

void Win32ShellServices::ShowVersionDialog() {
    win::ShowVersionDialog(instance_, owner_, versionText_, Utf8ToWide(kOnlineHelpUrl));
}

}  // namespace ocu::win
