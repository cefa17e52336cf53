#pragma once

#include <QPainterPath>

#include <optional>

namespace pendra {

// The outline of a round-capped, round-joined stroke along a path that runs
// straight on, curving so little that the curve strays from its chords by a
// sliver of a device pixel: the path's points moved half the width to either
// side, joined by straight lines, with a half circle at each end. That is
// what the painter's stroker gives for such a path, only without the work of
// following curves that are not there.
class StraightStroke {
public:
    // The outline in the path's own coordinates, with scale device pixels per
    // unit; none when the path is not one run of lines and curves that stays
    // this straight, or has nothing to stroke.
    static std::optional<QPainterPath> outline(const QPainterPath& path, double width, double scale);

    // How far a curve's control points may lie from its chord, in device
    // pixels, for the chord to stand in for the curve.
    static constexpr double straightness = 0.02;
};

} // namespace pendra
