#pragma once

#include <QColor>
#include <QPainterPath>

#include <cstdint>

namespace pendra::art {

class CharmPainter;

// Polished carved wood: the tones it is shaded with and its grain.
struct Wood {
    QColor light;
    QColor mid;
    QColor dark;
    QColor grain;
    QColor edge;

    static Wood honey();
    static Wood walnut();

    // Fills shape with wood whose grain runs at the given angle (degrees, 0
    // running across the picture), wavering as real grain does, then shades
    // it as a rounded carving lit from the upper left.
    void carve(CharmPainter& cp, const QPainterPath& shape, double angle, std::uint32_t seed) const;
};

} // namespace pendra::art
