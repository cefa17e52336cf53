#pragma once

namespace pendra {

// A position or a displacement in rail coordinates (points, y downward).
struct Point {
    double x = 0.0;
    double y = 0.0;

    friend bool operator==(const Point&, const Point&) = default;
};

} // namespace pendra
