#include "CubicFlattener.h"

#include <cmath>

namespace pendra {

bool CubicFlattener::flatEnough(const Cubic& curve)
{
    const double chordX = curve.to.x() - curve.from.x();
    const double chordY = curve.to.y() - curve.from.y();
    const double reach = std::abs(chordX) + std::abs(chordY);
    if (reach > 1.0) {
        // Each cross product is a control point's distance from the chord
        // times the chord's length.
        const double off = std::abs(chordX * (curve.from.y() - curve.c1.y()) - chordY * (curve.from.x() - curve.c1.x()))
            + std::abs(chordX * (curve.from.y() - curve.c2.y()) - chordY * (curve.from.x() - curve.c2.x()));
        return off < 0.5 * reach;
    }
    // A short chord gives no direction to measure from; the control points'
    // distance from the start stands in.
    const double off = std::abs(curve.from.x() - curve.c1.x()) + std::abs(curve.from.y() - curve.c1.y())
        + std::abs(curve.from.x() - curve.c2.x()) + std::abs(curve.from.y() - curve.c2.y());
    return off < 0.5;
}

} // namespace pendra
