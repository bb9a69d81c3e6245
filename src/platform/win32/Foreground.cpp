#include "platform/win32/Foreground.h"

namespace ocu::win {
namespace {

// Whether a window's thread still takes messages, asked with a short time-out.
bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 100, &result) != 0;
}

}  // namespace

BOOL SetAbsoluteForegroundWindow(HWND window) {
    const HWND foreground = ::GetForegroundWindow();
    const DWORD foreThread = ::GetWindowThreadProcessId(foreground, nullptr);
    const DWORD ownThread = ::GetWindowThreadProcessId(window, nullptr);
    // Taking the foreground from a program that has stopped answering involves
    // that program (its input is shared, it is told it loses activation) and
    // would freeze this window with it: then the window stays where it is.
    if (foreground != nullptr && foreThread != ownThread && !Answers(foreground)) return FALSE;
    ::AttachThreadInput(ownThread, foreThread, TRUE);
    DWORD saved = 0;
    ::SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    ::SetForegroundWindow(window);
    ::SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<PVOID>(static_cast<UINT_PTR>(saved)), 0);
    return ::AttachThreadInput(ownThread, foreThread, FALSE);
}

}  // namespace ocu::win
