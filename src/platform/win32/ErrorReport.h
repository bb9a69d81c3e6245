#pragma once
// The application's error report: an exception that nothing else caught is shown
// to the user in a message box with its text. C++ exceptions must not unwind
// through a Win32 callback (the system's frames cannot be unwound), so every
// window, dialog and subclass procedure catches at its boundary through here.
#include <windows.h>

#include <exception>
#include <string>

namespace ocu::win {

// The text shown for an exception: what() for std::exception (UTF-8), a fixed
// Japanese text for anything else.
std::string ExceptionText(std::exception_ptr e);

// Shows the current exception (call from a catch block). While one report is on
// screen, further ones are dropped: a timer that fails on every tick would
// otherwise stack boxes without end behind the first.
void ReportCurrentException(HWND owner) noexcept;

template <typename F>
bool Guarded(HWND owner, F&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        ReportCurrentException(owner);
        return false;
    }
}

// The dialog procedure for a body that may throw: the exception is reported and the
// message counts as not handled, so the dialog goes on and can still be closed.
template <INT_PTR (*Body)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    INT_PTR result = FALSE;
    Guarded(dialog, [&] { result = Body(dialog, msg, wParam, lParam); });
    return result;
}

}  // namespace ocu::win
