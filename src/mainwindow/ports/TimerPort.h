#pragma once
// The clocks that drive the view: the capture tick and the repeat of a held button.
namespace ocu {

class TimerPort {
public:
    virtual ~TimerPort() = default;

    virtual void StartCaptureTimer(int intervalMs) = 0;
    virtual void StopCaptureTimer() = 0;
    virtual void StartRepeatTimer(int intervalMs) = 0;
    virtual void StopRepeatTimer() = 0;
};

}  // namespace ocu
