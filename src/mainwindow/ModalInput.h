#pragma once
// The frame around every modal input of the main window.
#include "mainwindow/ViewHost.h"
#include "mainwindow/ViewState.h"

namespace ocu {

// Every modal input pauses the view and leaves the on-top order while it is
// open; both come back on every path, also when the body throws.
template <class Body>
void RunModal(ViewState& s, ViewHost& host, Body&& body) {
    s.CapturePaused = true;
    host.switchTopMost(false);
    struct Restore {
        ViewState& s;
        ViewHost& host;
        ~Restore() {
            s.CapturePaused = false;
            try {
                host.switchTopMost(true);
            } catch (...) {
            }
        }
    } restore{s, host};
    body();
}

}  // namespace ocu
