#include "mainwindow/ToolPictures.h"

#include <algorithm>

namespace ocu {
namespace {

constexpr PictureColour kInk{0, 51, 153};
constexpr PictureColour kGlass{170, 215, 255};
constexpr PictureColour kHandle{120, 72, 24};
constexpr PictureColour kArrow{0, 110, 40};
constexpr PictureColour kAxis{128, 128, 128};
constexpr PictureColour kWhite{255, 255, 255};

constexpr PictureStroke Line(int width, PictureColour pen, IntPoint a, IntPoint b) {
    return {StrokeShape::Line, width, pen, std::nullopt, false, {a, b}};
}
constexpr PictureStroke Triangle(PictureColour pen, PictureColour fill, IntPoint a, IntPoint b, IntPoint c) {
    return {StrokeShape::Triangle, 1, pen, fill, false, {a, b, c}};
}

// A magnifying glass, with the plus sign's vertical stroke last so that the minus
// picture is the same strokes but one.
constexpr std::array kZoomUp{
    Line(2, kHandle, {10, 10}, {15, 15}),
    Line(2, kHandle, {11, 10}, {15, 14}),
    PictureStroke{StrokeShape::Ellipse, 1, kInk, kGlass, false, {IntPoint{0, 0}, IntPoint{13, 13}}},
    Line(2, kInk, {3, 6}, {10, 6}),
    Line(2, kInk, {6, 3}, {6, 10}),
};
constexpr std::span<const PictureStroke> kZoomOut(kZoomUp.data(), kZoomUp.size() - 1);

// A dashed axis, a filled shape on one side and its hollow mirror image on the other.
constexpr std::array<PictureStroke, 8> Flip(bool horizontal) {
    std::array<PictureStroke, 8> s{};
    // The last dash stops at the grid's edge: past it, it marked the next button's picture.
    for (int i = 0, n = 0; i < kToolPictureSize; i += 3, ++n) {
        const int end = std::min(i + 2, kToolPictureSize);
        s[n] = horizontal ? Line(1, kAxis, {7, i}, {7, end}) : Line(1, kAxis, {i, 7}, {end, 7});
    }
    s[6] = horizontal ? Triangle(kInk, kInk, {0, 7}, {5, 2}, {5, 12}) : Triangle(kInk, kInk, {7, 0}, {2, 5}, {12, 5});
    s[7] = horizontal ? Triangle(kInk, kWhite, {14, 7}, {9, 2}, {9, 12}) : Triangle(kInk, kWhite, {7, 14}, {2, 9}, {12, 9});
    return s;
}
constexpr auto kFlipH = Flip(true);
constexpr auto kFlipV = Flip(false);

// Three quarters of a circle from its top round to the side the arrow head points away from.
constexpr std::array<PictureStroke, 2> Turn(bool clockwise) {
    const IntPoint end = clockwise ? IntPoint{2, 9} : IntPoint{13, 9};
    return {PictureStroke{StrokeShape::Arc, 2, kArrow, std::nullopt, clockwise, {IntPoint{2, 3}, {14, 15}, {8, 3}, end}},
            clockwise ? Triangle(kArrow, kArrow, {0, 9}, {6, 9}, {3, 4})
                      : Triangle(kArrow, kArrow, {10, 9}, {15, 9}, {12, 4})};
}
constexpr auto kTurnRight = Turn(true);
constexpr auto kTurnLeft = Turn(false);

constexpr std::array kReset{
    PictureStroke{StrokeShape::Ellipse, 2, kArrow, std::nullopt, false, {IntPoint{2, 3}, IntPoint{15, 16}}},
    Line(2, kInk, {8, 10}, {8, 4}),
    Triangle(kInk, kInk, {5, 4}, {11, 4}, {8, 0}),
};

}  // namespace

std::span<const PictureStroke> ToolPicture(CommandId id) {
    switch (id) {
    case CommandId::tbZoomUp: return kZoomUp;
    case CommandId::tbZoomOut: return kZoomOut;
    case CommandId::tbFlipH: return kFlipH;
    case CommandId::tbFlipV: return kFlipV;
    case CommandId::tbLRotate: return kTurnRight;  // 右に回転
    case CommandId::tbRRotate: return kTurnLeft;   // 左に回転
    case CommandId::tbReset: return kReset;
    default: return {};
    }
}

}  // namespace ocu
