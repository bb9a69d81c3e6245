// Program entry: the settings first, then the window, the message loop, and the
// last save of the settings.
#include <windows.h>
#include <commctrl.h>

#include "base/FileName.h"
#include "dialogs/ManageShortcut.h"
#include "mainwindow/TfrmCap.h"
#include "platform/win32/Dialogs.h"
#include "platform/win32/ErrorReport.h"
#include "platform/win32/FileSettingsStore.h"
#include "platform/win32/Handles.h"
#include "platform/win32/ImageOutputWin32.h"
#include "platform/win32/MainWindow.h"
#include "platform/win32/ShellServicesWin32.h"
#include "platform/win32/TextConvert.h"
#include "platform/win32/Win32Platform.h"
#include "settings/IniManager.h"
#include "settings/SettingsPlace.h"

namespace {

using namespace ocu;
using namespace ocu::win;

// Per-monitor DPI awareness where the system has it; the manifest asks for the
// same, so on most systems this call only confirms it.
void EnableDpiAwareness() {
    using SetContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    if (setContext != nullptr) {
        if (!setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
            setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
        return;
    }
    ::SetProcessDPIAware();
}

int RunMessageLoop(MainWindow& window) {
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        const HWND main = window.Handle();
        if (main != nullptr && window.Accelerators() != nullptr &&
            ::TranslateAcceleratorW(main, window.Accelerators(), &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        window.RunOverdueCapture();
    }
}

int Run(HINSTANCE instance, int showCommand) {
    const std::wstring iniPath = FileNameWithExtension<wchar_t>(ModulePath(), L".ini");
    FileSettingsStore besideProgram(iniPath);
    const std::wstring perUserPath = PerUserSettingsPath(L"Ocumira.ini");
    FileSettingsStore perUser(perUserPath);
    SettingsPlace place(besideProgram, WideToUtf8(iniPath), perUserPath.empty() ? nullptr : &perUser,
                        WideToUtf8(perUserPath));
    TIniManager settings(place, place.FileName());

    EnableDpiAwareness();
    // COM on the main thread: the shell link of the Programs-menu shortcut needs it.
    const unique_couninitialize_call com = CoInitializeEx(COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Before the window: the user learns where the settings go before using the program.
    if (place.Notice())
        ::MessageBoxW(nullptr, Utf8ToWide(*place.Notice()).c_str(), L"Ocumira", MB_OK | MB_ICONINFORMATION);

    Win32Platform platform(instance);
    TfrmCap form(platform, settings);
    Win32ImageOutput output(nullptr);
    Win32ShellServices shell(instance, ReadFileVersionText());
    form.AttachServices(&output, &shell);
    int exitCode = 0;
    {
        MainWindow window(instance, form, platform);
        window.Create(showCommand);
        output.SetOwner(window.Handle());
        shell.SetOwner(window.Handle());
        // During the first runs (fewer than five saves) make sure of the Programs-menu shortcut.
        EnsureShortcutDuringFirstRuns(shell, settings.RunCount, place.CanWrite(), kShortcutName);
        exitCode = RunMessageLoop(window);
    }
    // A failure the window's shut-down has told already is not told twice.
    const bool told = settings.SaveFailed;
    if (!settings.SaveOnExit() && !told)
        ::MessageBoxW(nullptr, Utf8ToWide(settings.SaveFailure).c_str(), L"Ocumira", MB_OK | MB_ICONERROR);
    return exitCode;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    try {
        return Run(instance, showCommand);
    } catch (...) {
        ReportCurrentException(nullptr);
        return 1;
    }
}
