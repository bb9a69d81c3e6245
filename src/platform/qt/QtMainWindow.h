#pragma once
// The Qt window of TfrmCap: it owns the window, its bars and menu, and turns each event
// into the one call on the behaviour that the Windows program makes for the same message,
// in the same order. No rule of the program lives here.
#include <QMainWindow>
#include <memory>

#include "mainwindow/MinimizeEdges.h"
#include "mainwindow/MouseInput.h"
#include "mainwindow/TfrmCap.h"

namespace ocu::qt {

class MenuBarQt;
class QtPlatform;
class StatusBarQt;
class ToolBarQt;
class ViewWidget;

class QtMainWindow : public QMainWindow {
public:
    QtMainWindow(TfrmCap& form, QtPlatform& platform);
    ~QtMainWindow() override;

    // Lets the behaviour make its window (CreateWnd), runs FormCreate and shows it.
    void Create();

    ViewWidget* Client() const { return client_; }
    ToolBarQt* Tools() const { return tools_; }
    // On a Wayland desktop: the settings menu's entry that asks for the screen's sharing again.
    void AddScreenCastEntry(std::function<void()> chosen);

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool event(QEvent* e) override;
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void BuildShortcuts();
    void LayOutBars();
    void OnSize();
    void FollowActivation();
    // Runs a mouse handler of the behaviour with the pointer held where the event happened.
    template <class Handle>
    void AtEvent(int x, int y, Handle handle);
    void OnMouseDown(MouseButton button, ShiftState shift, int x, int y);
    void OnMouseUp(MouseButton button, ShiftState shift, int x, int y);
    void OnMouseMove(ShiftState shift, int x, int y);
    void OnMouseWheel(ShiftState shift, int delta, int x, int y);
    void OnDestroy();

    TfrmCap& form_;
    QtPlatform& platform_;
    ViewWidget* client_ = nullptr;
    StatusBarQt* info_ = nullptr;
    StatusBarQt* status_ = nullptr;
    ToolBarQt* tools_ = nullptr;
    std::unique_ptr<MenuBarQt> menu_;
    MinimizeEdges minimizeEdges_;
    bool formReady_ = false;    // the behaviour may be called
    bool formCreated_ = false;  // CreateWnd has run to its end
    bool active_ = false;       // as last told to the behaviour
};

}  // namespace ocu::qt
