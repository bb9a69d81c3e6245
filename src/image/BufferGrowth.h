#pragma once
// How a pixel buffer kept from tick to tick grows.
#include "base/Geometry.h"

namespace ocu {

// The size (X wide, Y high) to make a kept buffer that must now hold `wanted`,
// when it holds `held` (0 x 0 for none, or one of another pixel format): the
// request itself the first time, and afterwards at least a quarter more than
// before in each direction, so a window dragged wider does not make a new buffer
// on every size message. A buffer that already holds the request is not remade:
// the caller asks only when it does not.
IntPoint GrownBufferSize(IntPoint wanted, IntPoint held);

}  // namespace ocu
