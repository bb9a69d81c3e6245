#pragma once
// The raster operations of the capture tick, done on our own pixel buffers so
// that every frame is bit-exact and independent of the device driver. They
// work on frames whose pixels fill whole bytes: 8, 15, 16, 24 and 32 bits.
// Every operation clips to the images it is given; sizes of zero or less do
// nothing.
#include <cstdint>

#include "base/Geometry.h"
#include "image/Image.h"

namespace ocu {

// Bytes of one pixel (1, 2, 3 or 4). Throws std::invalid_argument for the
// formats whose pixels share bytes (1 and 4 bits) and for Custom.
int PixelBytes(PixelFormat f);

// The nearest-neighbour rule of every stretch: destination index d of a run
// of dstLen takes source index floor(d * srcLen / dstLen). Computed in 64
// bits, so large views do not overflow. Returns 0 when dstLen <= 0.
int NearestSource(int d, int dstLen, int srcLen);

// dst's top-left dstW x dstH := src's top-left srcW x srcH resampled by
// NearestSource (the enlargement of the tick). The destination is clipped to
// dst; the source rectangle must lie inside src (std::out_of_range otherwise)
// and have dst's format (std::invalid_argument otherwise). dst and src may
// be the same image.
void StretchCopy(Image& dst, int dstW, int dstH, const Image& src, int srcW, int srcH);

// dst's top-left dstW x dstH &= src's top-left srcW x srcH reduced by AND:
// destination column x combines every source column in
// [NearestSource(x), NearestSource(x + 1)), or column NearestSource(x) alone
// when that range is empty; rows likewise. Dark strokes thus survive a
// reduction (the stretching mode GDI calls BLACKONWHITE). Same preconditions
// as StretchCopy.
void StretchAnd(Image& dst, int dstW, int dstH, const Image& src, int srcW, int srcH);

// dst's pixels in r := src's pixels in r, r clipped to both images. Whole-byte
// formats only, the same in both (std::invalid_argument otherwise).
void CopyRect(Image& dst, const Image& src, IntRect r);

// dst's top-left w x h &= src's, clipped to both images.
void AndInto(Image& dst, const Image& src, int w, int h);

// Every bit of every pixel NOT (NOTSRCCOPY of a plain copy). Row padding is
// left alone.
void InvertAll(Image& img);

// Every bit NOT inside the rectangle, clipped to the image (DSTINVERT).
void InvertRect(Image& img, int x, int y, int w, int h);

// A horizontal or vertical line from (x0, y0) to (x1, y1), end excluded, in
// the tick's dotted NOT-XOR pen: the pixels at even distances from the start
// are inverted, the others kept, so the line shows on any picture and drawing
// it twice restores the picture. The dots are counted from the start even
// when it lies outside the image. Throws std::invalid_argument for a slanted
// line.
void DottedLineNotXor(Image& img, int x0, int y0, int x1, int y1);

// The stored pixel value of a colour 0x00BBGGRR in a direct format: 32 and
// 24 bits 0x00RRGGBB, 16 bits 5-6-5, 15 bits 5-5-5 (low bits dropped).
// Throws std::invalid_argument for indexed and unknown formats.
std::uint32_t ColorToPixel(PixelFormat f, std::uint32_t colorref);

}  // namespace ocu
