#pragma once

#include "Point.h"

namespace pendra {

// One point mass of a cord. Its velocity is implied by the previous position,
// which is what makes the integration position-based.
struct Bead {
    double x = 0.0;
    double y = 0.0;
    double ox = 0.0;
    double oy = 0.0;
    double give = 1.0; // inverse mass: the share of a constraint correction this bead takes
    bool held = false; // in the user's hand: not integrated, immovable by constraints

    Bead() = default;
    Bead(double x, double y, double give) : x(x), y(y), ox(x), oy(y), give(give) {}

    Point drift() const { return {x - ox, y - oy}; }

    friend bool operator==(const Bead&, const Bead&) = default;
};

} // namespace pendra
