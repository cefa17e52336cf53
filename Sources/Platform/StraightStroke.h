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
    // Receives an outline as one closed run of lines and cubic curves,
    // starting with moveTo; the run closes back to its start after the last.
    class Builder {
    public:
        virtual ~Builder() = default;
        virtual void moveTo(QPointF to) = 0;
        virtual void lineTo(QPointF to) = 0;
        virtual void cubicTo(QPointF c1, QPointF c2, QPointF to) = 0;
    };

    // The outline in the path's own coordinates, with scale device pixels per
    // unit; none when the path is not one run of lines and curves that stays
    // this straight, or has nothing to stroke.
    static std::optional<QPainterPath> outline(const QPainterPath& path, double width, double scale);
    // The same outline handed to out, which hears nothing when there is none;
    // false then.
    static bool trace(const QPainterPath& path, double width, double scale, Builder& out);

    // How far a curve's control points may lie from its chord, in device
    // pixels, for the chord to stand in for the curve.
    static constexpr double straightness = 0.02;
};

} // namespace pendra
