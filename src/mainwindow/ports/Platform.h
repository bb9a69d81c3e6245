#pragma once
// Everything the main window's behaviour asks of the window system, as one aggregate
// of the small ports. The Win32 implementation lives in platform/win32/; the tests use
// a recording fake. A collaborator that needs only part of it takes only that port.
// Methods are small and literal so that every rule of the behaviour stays in the core
// and the edge only translates.
#include "mainwindow/ports/DialogPort.h"
#include "mainwindow/ports/HotKeyPort.h"
#include "mainwindow/ports/InputPort.h"
#include "mainwindow/ports/MenuPort.h"
#include "mainwindow/ports/ScreenPort.h"
#include "mainwindow/ports/TimerPort.h"
#include "mainwindow/ports/WindowPort.h"
#include "mainwindow/ports/WindowTextPort.h"

namespace ocu {

class IPlatform : public ScreenPort,
                  public WindowPort,
                  public WindowTextPort,
                  public MenuPort,
                  public InputPort,
                  public DialogPort,
                  public TimerPort,
                  public HotKeyPort {
public:
    ~IPlatform() override = default;
};

}  // namespace ocu
