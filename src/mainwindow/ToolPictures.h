#pragma once
// The pictures of the tool bar's buttons, kept as the strokes that draw them in a 16 x 16
// grid. Each window system plays the strokes with its own pens and brushes, so the shapes
// live in one place and a larger picture is drawn anew at its size instead of stretched.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "base/Geometry.h"
#include "mainwindow/Commands.h"

namespace ocu {

inline constexpr int kToolPictureSize = 16;

struct PictureColour {
    std::uint8_t R = 0, G = 0, B = 0;
};

enum class StrokeShape : std::uint8_t {
    Line,      // At[0] to At[1], the end point left out
    Triangle,  // corners At[0], At[1], At[2]
    Ellipse,   // inside the box At[0] to At[1], right and bottom outside
    Arc,       // on the ellipse of the box At[0]..At[1], from the ray through At[2] to the ray through At[3]
};

struct PictureStroke {
    StrokeShape Shape = StrokeShape::Line;
    int PenWidth = 1;
    PictureColour Pen;
    std::optional<PictureColour> Fill;  // none: the inside is left alone
    bool Clockwise = false;             // for an arc
    std::array<IntPoint, 4> At{};
};

// The strokes of one button's picture, in drawing order; none for a command without one.
std::span<const PictureStroke> ToolPicture(CommandId id);

}  // namespace ocu
