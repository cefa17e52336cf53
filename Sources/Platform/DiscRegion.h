#pragma once

#include "Host.h"

#include <QRect>
#include <QSize>

#include <vector>

namespace pendra {

// Turns round input areas given in points into the device-pixel rectangles
// that window systems take as input regions. A pixel belongs to a disc when
// its centre lies strictly inside it, which is the rail's own hit rule, so
// the region never strays more than half a pixel from the true circles.
class DiscRegion {
public:
    // Rectangles within a bounds-sized pixel area; they may overlap where
    // the discs do, as both X11 and Wayland regions take a union.
    static std::vector<QRect> rectangles(const std::vector<Disc>& discs, double density, QSize bounds);
};

} // namespace pendra
