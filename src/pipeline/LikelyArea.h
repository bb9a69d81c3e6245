#pragma once
// Where the next capture will most likely read, from where the last two read: an area that
// follows the pointer keeps its pace, a pinned one or one under a resting pointer stays.
// A window system that must ask the server for the pointer can fetch these pixels in the
// same round trip; a guess that misses costs only the capture it would have made anyway.
#include <algorithm>
#include <cstdlib>

#include "base/Geometry.h"

namespace ocu {

inline IntRect LikelyNextArea(const IntRect& beforeLast, const IntRect& last) {
    if (last.Width() <= 0 || last.Height() <= 0) return {};
    const bool sameSize = beforeLast.Width() == last.Width() && beforeLast.Height() == last.Height();
    const int dx = sameSize ? last.Left - beforeLast.Left : 0;
    const int dy = sameSize ? last.Top - beforeLast.Top : 0;
    if (dx == 0 && dy == 0) return last;
    // Room for a change of pace: a hand speeds up and slows down, and a tick may see one
    // step of the pointer more or fewer than the last.
    const int room = std::max(std::abs(dx), std::abs(dy)) / 2 + 4;
    return {last.Left + dx - room, last.Top + dy - room, last.Right + dx + room, last.Bottom + dy + room};
}

inline bool Encloses(const IntRect& outer, const IntRect& inner) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
           inner.Bottom <= outer.Bottom;
}

}  // namespace ocu
