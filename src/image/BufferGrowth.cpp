#include "image/BufferGrowth.h"

#include <algorithm>

namespace ocu {

IntPoint GrownBufferSize(IntPoint wanted, IntPoint held) {
    if (held.X <= 0 || held.Y <= 0) return wanted;
    return {std::max(wanted.X, held.X + held.X / 4), std::max(wanted.Y, held.Y + held.Y / 4)};
}

}  // namespace ocu
