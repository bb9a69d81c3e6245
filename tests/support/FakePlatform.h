#pragma once
// Recording fakes of the ports: they answer as scripted and remember what was asked.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "image/Image.h"
#include "mainwindow/ports/Platform.h"

namespace ocu::testing {

struct SentMessage {
    WindowHandle Window;
    ProjectedMessage Msg;
    ProjectedKeys Keys;
    int X, Y;
    int TimeoutMs;
};

struct MessageBoxCall {
    std::string Text, Caption;
};

// One fake per port, each scripted by its public fields and recording into them; a
// test of a part that takes one port can use that fake alone.
class FakeScreen : public virtual ScreenPort {
public:
    IntRect Desktop{0, 0, 1920, 1080};
    IntPoint Primary{1920, 1080};
    IntPoint Cursor{800, 600};
    bool CaptureFails = false;
    PixelFormat Format = PixelFormat::Bits32;
    std::vector<PaletteEntry> Palette;  // of an 8-bit screen, whose Screen() answers indexes
    std::function<std::uint32_t(int x, int y)> Screen = [](int x, int y) {
        return static_cast<std::uint32_t>(((x & 0xFFF) << 12) | (y & 0xFFF));
    };
    // --- recorded ---
    std::vector<IntPoint> CursorMoves;
    int Frames = 0;
    Image Capture, Frame;
    IntRect ShownAt;
    IntRect LastCaptureRect;
    int DesktopInvalidations = 0;
    std::vector<IntRect> Outlines, TargetFrames, Saves, Restores;

    IntRect DesktopRect() override { return Desktop; }
    IntPoint PrimaryScreenSize() override { return Primary; }
    PixelFormat ScreenFormat() override { return Format; }
    IntPoint CursorPos() override { return Cursor; }
    void SetCursorPos(IntPoint p) override {
        Cursor = p;
        CursorMoves.push_back(p);
    }
    Image* CaptureScreen(int x, int y, int w, int h) override {
        if (CaptureFails) return nullptr;
        LastCaptureRect = {x, y, x + w, y + h};
        Capture = Image(w, h, Format);
        if (Format == PixelFormat::Bits32)
            for (int r = 0; r < h; ++r)
                for (int c = 0; c < w; ++c) Capture.SetPixel32(c, r, Screen(x + c, y + r));
        if (Format == PixelFormat::Bits8) {
            Capture.Palette() = Palette;
            for (int r = 0; r < h; ++r)
                for (int c = 0; c < w; ++c) Capture.Row(r)[c] = static_cast<std::uint8_t>(Screen(x + c, y + r));
        }
        return &Capture;
    }
    Image* FrameBuffer(int w, int h) override {
        if (Frame.Width() != w || Frame.Height() != h || Frame.Format() != Format) Frame = Image(w, h, Format);
        return &Frame;
    }
    void ShowFrame(int left, int top, int w, int h) override {
        ++Frames;
        ShownAt = {left, top, left + w, top + h};
    }
    const Image* ShownFrame(IntRect& where) override {
        where = ShownAt;
        return Frames > 0 ? &Frame : nullptr;
    }
    void InvalidateDesktop() override { ++DesktopInvalidations; }
    void SaveScreenBackup(IntRect r) override { Saves.push_back(r); }
    void RestoreScreenBackup(IntRect r) override { Restores.push_back(r); }
    void DrawPickOutline(IntRect r) override { Outlines.push_back(r); }
    void DrawTargetFrame(IntRect r) override { TargetFrames.push_back(r); }
};

class FakeWindow : public virtual WindowPort {
public:
    IntRect Work{0, 0, 1920, 1040};
    IntRect Window{300, 100, 800, 600};
    IntRect Restored{300, 100, 800, 600};  // the bounds while not in the normal state
    IntPoint Client{484, 461};
    int StatusHeight = 16;
    bool Active = true;
    bool Normal = true;
    std::function<bool(IntRect)> OnMonitor = [](IntRect) { return true; };
    std::function<void(int, int)> OnClientSizeChange;  // re-entrant resize, like WM_SIZE
    // --- recorded ---
    bool TopMost = false;
    bool MouseCaptured = false;
    int ForegroundCalls = 0;
    CursorShape Shape = CursorShape::Arrow;
    bool Closed = false;

    IntRect WindowRect() override { return Window; }
    IntRect RestoredWindowRect() override { return Normal ? Window : Restored; }
    IntPoint ClientSize() override { return Client; }
    bool IsOnAnyMonitor(IntRect r) override { return OnMonitor(r); }
    IntRect PrimaryWorkArea() override { return Work; }
    void SetWindowBounds(IntRect r) override { Window = r; }
    void MoveWindowTo(int left, int top) override {
        Window = {left, top, left + Window.Width(), top + Window.Height()};
    }
    void SetClientSize(int w, int h) override {
        const bool changed = Client.X != w || Client.Y != h;
        Client = {w, h};
        if (changed && OnClientSizeChange) OnClientSizeChange(w, h);
    }
    int StatusBarHeight() override { return StatusHeight; }
    bool IsActiveWindow() override { return Active; }
    bool IsNormalState() override { return Normal; }
    void SetTopMost(bool on) override { TopMost = on; }
    void ForceForeground() override { ++ForegroundCalls; }
    IntPoint ClientOrigin() override { return {Window.Left + 8, Window.Top + 30}; }
    void SetCursorShape(CursorShape s) override { Shape = s; }
    void SetMouseCapture() override { MouseCaptured = true; }
    void ReleaseMouseCapture() override { MouseCaptured = false; }
    void RepaintToolBar() override {}
    void RepaintMainWindow() override {}
    void CloseMainWindow() override { Closed = true; }
};

class FakeWindowTexts : public virtual WindowTextPort {
public:
    std::string Title;
    std::map<int, std::string> Status;
    std::string ColorReadout;
    std::optional<std::uint32_t> Swatch;
    int ColorReadouts = 0;
    bool ColorReadoutShown = false;

    void SetTitle(const std::string& t) override { Title = t; }
    void SetStatusText(int panel, const std::string& t) override { Status[panel] = t; }
    void SetColorReadout(const std::optional<std::uint32_t>& rgb, const std::string& t) override {
        ColorReadout = t;
        Swatch = rgb;
        ++ColorReadouts;
    }
    void ShowColorReadout(bool shown) override { ColorReadoutShown = shown; }
};

class FakeMenus : public virtual MenuPort {
public:
    std::map<CommandId, bool> Checked, Enabled;
    std::map<CommandId, std::string> Captions;

    void SetMenuChecked(CommandId id, bool c) override { Checked[id] = c; }
    void SetMenuEnabled(CommandId id, bool e) override { Enabled[id] = e; }
    void SetMenuCaption(CommandId id, const std::string& t) override { Captions[id] = t; }
};

class FakeInput : public virtual InputPort {
public:
    bool TargetAnswers = true;
    bool TargetRefuses = false;  // the send is blocked (a target with higher rights)
    bool ButtonsSwapped = false;
    InputAccess Access = InputAccess::Ready;
    std::function<WindowHandle(IntPoint)> WindowAt = [](IntPoint) { return WindowHandle{0}; };
    std::function<void()> OnPause;  // runs inside Pause: what changes while the program waits
    std::map<WindowHandle, WindowHandle> ChildOf;
    std::map<WindowHandle, std::string> Classes, Texts;
    std::map<WindowHandle, IntRect> Rects;
    std::map<WindowHandle, IntPoint> ClientCorner;  // inside the outer rectangle
    // --- recorded ---
    std::vector<int> Pauses;
    std::vector<SentMessage> Sent;
    std::vector<InjectedButton> Injected;

    WindowHandle WindowFromPoint(IntPoint p) override { return WindowAt(p); }
    WindowHandle ChildWindowFromPoint(WindowHandle parent, IntPoint) override {
        auto it = ChildOf.find(parent);
        return it == ChildOf.end() ? 0 : it->second;
    }
    std::string ClassNameOf(WindowHandle w) override { return Classes[w]; }
    std::string WindowTextOf(WindowHandle w) override { return Texts[w]; }
    IntRect WindowRectOf(WindowHandle w) override { return Rects[w]; }
    IntPoint ClientPointOf(WindowHandle w, IntPoint p) override {
        return {p.X - Rects[w].Left - ClientCorner[w].X, p.Y - Rects[w].Top - ClientCorner[w].Y};
    }
    SendOutcome SendMouseMessage(WindowHandle w, ProjectedMessage msg, ProjectedKeys keys, IntPoint at,
                                 int timeoutMs) override {
        Sent.push_back({w, msg, keys, at.X, at.Y, timeoutMs});
        return TargetRefuses ? SendOutcome::Refused : TargetAnswers ? SendOutcome::Answered : SendOutcome::NoAnswer;
    }
    bool MouseButtonsSwapped() override { return ButtonsSwapped; }
    InputAccess ProjectionAccess() override { return Access; }
    void InjectMouseButton(InjectedButton b) override { Injected.push_back(b); }
    void Pause(int ms) override {
        Pauses.push_back(ms);
        if (OnPause) OnPause();
    }
};

class FakeDialogs : public virtual DialogPort {
public:
    std::function<void()> WhileModal;                     // runs inside a message or input box
    std::deque<std::optional<std::string>> InputAnswers;  // popped by InputBox
    // --- recorded ---
    std::vector<MessageBoxCall> Messages;
    struct InputCall {
        std::string Title, Prompt, Initial;
    };
    std::vector<InputCall> Inputs;

    void ShowMessage(const std::string& text, const std::string& caption) override {
        Messages.push_back({text, caption});
        InModal();
    }
    std::optional<std::string> InputBox(const std::string& title, const std::string& prompt,
                                        const std::string& initial) override {
        Inputs.push_back({title, prompt, initial});
        InModal();
        if (InputAnswers.empty()) return std::nullopt;
        auto a = InputAnswers.front();
        InputAnswers.pop_front();
        return a;
    }
    bool ModalBoxOpen() override { return modalDepth_ > 0; }

private:
    void InModal() {
        ++modalDepth_;
        if (WhileModal) WhileModal();
        --modalDepth_;
    }
    int modalDepth_ = 0;
};

class FakeTimers : public virtual TimerPort {
public:
    int CaptureInterval = 0;  // 0 = stopped
    int RepeatInterval = 0;

    void StartCaptureTimer(int ms) override { CaptureInterval = ms; }
    void StopCaptureTimer() override { CaptureInterval = 0; }
    void StartRepeatTimer(int ms) override { RepeatInterval = ms; }
    void StopRepeatTimer() override { RepeatInterval = 0; }
};

class FakeHotKeys : public virtual HotKeyPort {
public:
    std::map<int, bool> HotKeyRefused;  // id -> refuse registration
    std::map<int, bool> HotKeys;        // registered ids
    std::map<int, bool> HotKeyRepeats;

    bool RegisterHotKey(int id, Modifier, Key, bool repeats) override {
        if (HotKeyRefused[id]) return false;
        HotKeys[id] = true;
        HotKeyRepeats[id] = repeats;
        return true;
    }
    void UnregisterHotKey(int id) override { HotKeys.erase(id); }
};

// The whole port, as the main window takes it.
class FakePlatform : public IPlatform,
                     public FakeScreen,
                     public FakeWindow,
                     public FakeWindowTexts,
                     public FakeMenus,
                     public FakeInput,
                     public FakeDialogs,
                     public FakeTimers,
                     public FakeHotKeys {};

}  // namespace ocu::testing
