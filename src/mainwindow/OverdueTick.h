#pragma once
// When the capture tick is owed although its timer has not fired. A timer's message
// comes only when the message queue is empty, and a queue that never empties (another
// program fighting over the focus) must not freeze the view; so after each message the
// edge asks whether the tick is overdue and, if so, runs it.
#include <algorithm>
#include <cstdint>

namespace ocu {

// The least wait before a tick counts as overdue, whatever the interval.
inline constexpr std::uint64_t kOverdueTickMinWaitMs = 300;

// `sinceLastTickMs` is counted from the end of the last tick, and the wait is three
// intervals and never under 300 ms: a slow tick must not make every following message
// run another one. A stopped capture timer (interval 0 or less) owes nothing.
constexpr bool CaptureTickOverdue(int intervalMs, std::uint64_t sinceLastTickMs) {
    if (intervalMs <= 0) return false;
    const std::uint64_t wait =
        std::max<std::uint64_t>(static_cast<std::uint64_t>(intervalMs) * 3, kOverdueTickMinWaitMs);
    return sinceLastTickMs >= wait;
}

}  // namespace ocu
