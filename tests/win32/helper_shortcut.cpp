// Reads a shell link the way the shell does, for the end-to-end tests of the Programs-menu
// shortcut, and tells where the current user's Programs folder is.
//
//   helper_shortcut.exe read <lnk> <out> -> "target <path>" and "workdir <folder>" lines
//   helper_shortcut.exe programs <out>   -> "programs <folder>"
// Text in UTF-8, printed to the file given as the last argument.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "HelperText.h"

namespace {

int ReadLink(const wchar_t* path, FILE* out) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return 4;
    int rc = 5;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(path, STGM_READ))) {
            wchar_t target[MAX_PATH * 4] = L"", folder[MAX_PATH * 4] = L"", args[MAX_PATH] = L"";
            // SLGP_RAWPATH: the path as stored, not resolved against what exists now.
            link->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH);
            link->GetWorkingDirectory(folder, MAX_PATH * 4);
            link->GetArguments(args, MAX_PATH);
            std::fprintf(out, "target %s\nworkdir %s\nargs %s\n", Utf8(target).c_str(), Utf8(folder).c_str(),
                         Utf8(args).c_str());
            rc = 0;
        }
        file->Release();
    }
    link->Release();
    return rc;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    FILE* out = _wfopen(argv[argc - 1], L"w");
    if (out == nullptr) return 3;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int rc = 2;
    if (std::wcscmp(argv[1], L"read") == 0 && argc >= 4) {
        rc = ReadLink(argv[2], out);
        if (rc != 0) std::fprintf(out, "unreadable %d\n", rc);
    } else if (std::wcscmp(argv[1], L"programs") == 0) {
        wchar_t folder[MAX_PATH] = L"";
        if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder))) {
            std::fprintf(out, "programs %s\n", Utf8(folder).c_str());
            rc = 0;
        } else {
            rc = 4;
        }
    }
    CoUninitialize();
    std::fclose(out);
    return rc;
}
