#pragma once
// When facts the tick asks the system for every 100 ms (the desktop's bounds,
// the screen's depth) are asked again: after a second, or at once after the
// system says the displays changed. Asking costs server round trips under Wine,
// and a monitor plugged in is seen within a second even if no message comes.
#include <cstdint>

namespace ocu {

class FactsCache {
public:
    static constexpr std::uint32_t kLifetimeMs = 1000;
    // `now` is a millisecond tick count that may wrap around.
    bool Fresh(std::uint32_t now) const { return known_ && now - takenAt_ < kLifetimeMs; }
    void Taken(std::uint32_t now) {
        takenAt_ = now;
        known_ = true;
    }
    void Forget() { known_ = false; }

private:
    std::uint32_t takenAt_ = 0;
    bool known_ = false;
};

}  // namespace ocu
