#pragma once
// Everything the main window's behaviour asks of the window system, as one aggregate
// of the small ports. The Win32 implementation lives in platform/win32/; the tests use
// a recording fake. A collaborator that needs only part of it takes only that port.
// Methods are small and literal so that every rule of the behaviour stays in the core
// and the edge only translates. The ports are virtual bases, so an implementation may
// be put together from one class per port (the tests' fakes are).
#include "mainwindow/ports/DialogPort.h"
#include "mainwindow/ports/HotKeyPort.h"
#include "mainwindow/ports/InputPort.h"
#include "mainwindow/ports/MenuPort.h"
#include "mainwindow/ports/ScreenPort.h"
#include "mainwindow/ports/TimerPort.h"
#include "mainwindow/ports/WindowPort.h"
#include "mainwindow/ports/WindowTextPort.h"

namespace ocu {

class IPlatform : public virtual ScreenPort,
                  public virtual WindowPort,
                  public virtual WindowTextPort,
                  public virtual MenuPort,
                  public virtual InputPort,
                  public virtual DialogPort,
                  public virtual TimerPort,
                  public virtual HotKeyPort {
public:
    ~IPlatform() override = default;
};

}  // namespace ocu
