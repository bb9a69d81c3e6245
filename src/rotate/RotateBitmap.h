#pragma once
// Turning a frame by any angle (tenths of a degree, counter-clockwise on the
// screen), with an optional left-right mirror, nearest-neighbour sampling and
// 10-bit fixed-point stepping. The capture tick calls this on every frame
// that is mirrored or rotated, so it works on raw rows and never on pixels
// through the Image accessors.
#include <cstdint>
#include <stdexcept>

#include "base/Geometry.h"
#include "image/Image.h"

namespace ocu {

class ERotateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where each result pixel samples the source. Fixed-point values carry 10
// fraction bits: result pixel (c, r) samples source point
// (x0 + c * dxCol + r * dxRow, y0 + c * dyCol + r * dyRow) / 1024,
// rounded half away from zero.
struct RotateGeometry {
    int angle = 0;    // reduced to 0 ... 3600
    int sinQ = 0;     // sin * 1024, rounded half to even
    int cosQ = 1024;  // cos * 1024, rounded half to even
    int width = 0;    // result size
    int height = 0;
    std::int64_t x0 = 0;
    std::int64_t y0 = 0;
    int dxCol = 1024;
    int dyCol = 0;
    int dxRow = 0;
    int dyRow = 1024;
};

// Any angle is accepted; negative angles count down from 3600, so -3600 gives
// 3600 (which samples exactly like 0).
int ReduceRotateAngle(int angle);

RotateGeometry ComputeRotateGeometry(int sourceWidth, int sourceHeight, int angle, bool mirror, bool fitBounds);

// Returns a new image of the source's pixel format. fitBounds false keeps the
// source's size (corners turned out of the frame are lost, uncovered corners
// get the background: white for direct colour, the brightest palette entry
// for 4/8-bit, bit 1 for 1-bit); true grows the result to hold the whole
// turned picture. Indexed results carry a copy of the source's palette.
// Throws ERotateError "Bitmap Size Error" for an empty source and
// "Illegal Bitmap" for PixelFormat::Custom.
Image RotateBitmap(const Image& source, int angle, bool mirror, bool fitBounds);

// The same turn into `result`, whose memory is reused when it already has the
// turned size and the source's format (the tick's case: no allocation). An
// owning or empty result of another size is remade; a borrowed one (a view of
// someone else's memory) must already fit, and must not overlap the source:
// std::invalid_argument otherwise. Throws like RotateBitmap.
void RotateBitmapInto(const Image& source, Image& result, int angle, bool mirror, bool fitBounds = false);

// The tick's turn without its enlargement written out: `result` (32-bit,
// exactly width x height) gets what RotateBitmapInto(E, result, angle, false)
// would give, where E is the top-left srcWidth x srcHeight of the 32-bit
// `source` enlarged to width x height by NearestSource, with the rectangle
// `invert` of E (clipped to it) inverted in every bit. Same pixels, one pass.
// std::invalid_argument for other formats or sizes, or overlapping images.
void RotateEnlargedInto(const Image& source, int srcWidth, int srcHeight, Image& result, int angle, IntRect invert);

// How the 32-bit turn fetches its source pixels. One way is chosen once from
// the processor's make and features; tests force each in turn, as all must
// give the same pixels. A way this processor or build lacks means Chosen, and
// frames whose rows are not whole pixels always take Scalar.
enum class RotateFetch { Chosen, Scalar, Loads, Gather };
void ForceRotateFetch(RotateFetch fetch);

// Which 32-bit turn this processor runs: for benchmarks and notes.
const char* RotateKernelName();

}  // namespace ocu
