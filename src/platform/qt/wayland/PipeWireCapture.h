#pragma once
// The screen as a Wayland compositor casts it: one PipeWire stream a monitor, run on the
// toolkit's own thread (the loop's descriptor is watched beside the X connections). Each
// stream keeps the newest picture it was given, unread, in the buffer it came in; a capture
// reads only the area the view needs out of that mapped memory. The pointer comes with the
// pictures as metadata where the compositor sends it.
#include <QSocketNotifier>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/Geometry.h"
#include "image/Image.h"

struct pw_loop;
struct pw_context;
struct pw_core;

namespace ocu::qt {

class PipeWireCapture {
public:
    // A monitor's stream as the portal gave it: its node and its place on the desktop.
    struct Source {
        std::uint32_t Node = 0;
        IntRect Place;
    };
    struct Events {
        std::function<void()> Picture;  // a new picture or pointer position came in
        std::function<void()> Ended;    // a stream ended or the connection broke
    };

    PipeWireCapture();
    ~PipeWireCapture();
    PipeWireCapture(const PipeWireCapture&) = delete;
    PipeWireCapture& operator=(const PipeWireCapture&) = delete;

    // Connects through the portal's descriptor (taken over) and asks for every source.
    bool Start(int fd, const std::vector<Source>& sources, Events events);
    void Stop();
    bool Running() const { return core_ != nullptr; }
    // Every stream has had a picture.
    bool Complete() const;

    // The area's pixels (32 bits, blue in the low byte): a view of the stream's own memory
    // where the area lies within one monitor's picture, a copy otherwise, black where no
    // picture is. Valid until the loop next runs (the next return to the event loop).
    Image* Capture(IntRect area);
    // Where the compositor last put the pointer's hot spot; none while no stream tells.
    std::optional<IntPoint> Pointer() const { return pointer_; }
    // Whether the compositor sends the pointer with the pictures at all.
    bool TellsPointer() const { return tellsPointer_; }

    struct Stream;

private:
    void Iterate();
    void Fail();

    pw_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    struct CoreHook;
    std::unique_ptr<CoreHook> coreHook_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<std::unique_ptr<Stream>> streams_;
    Events events_;
    std::optional<IntPoint> pointer_;
    bool tellsPointer_ = false;
    bool news_ = false;   // since the loop last ran
    bool ended_ = false;
    Image view_;
    Image copy_;

    friend struct StreamCallbacks;
};

}  // namespace ocu::qt
