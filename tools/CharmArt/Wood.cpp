#include "Wood.h"

#include "CharmPainter.h"
#include "Noise.h"
#include "Texture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pendra::art {

Wood Wood::honey()
{
    return {QColor(0xf0, 0xc0, 0x7c), QColor(0xcc, 0x8a, 0x44), QColor(0x7c, 0x46, 0x1a), QColor(0x8a, 0x4e, 0x1e),
        QColor(0x3c, 0x1e, 0x08)};
}

Wood Wood::walnut()
{
    return {QColor(0xb4, 0x7c, 0x50), QColor(0x80, 0x50, 0x2e), QColor(0x46, 0x26, 0x12), QColor(0x3a, 0x1e, 0x0c),
        QColor(0x22, 0x10, 0x04)};
}

void Wood::carve(CharmPainter& cp, const QPainterPath& shape, double angle, std::uint32_t seed) const
{
    const QRectF box = shape.boundingRect();
    const double radians = angle * std::numbers::pi / 180.0;
    const QPointF along(std::cos(radians), std::sin(radians));
    const QPointF across(-along.y(), along.x());
    const Noise noise(seed);
    const double size = std::max(box.width(), box.height());
    const QColor base = mid;
    const QColor line = grain;
    Texture::paint(cp, shape, [&](QPointF p) {
        const QPointF d = p - box.topLeft();
        const double u = (d.x() * along.x() + d.y() * along.y()) / size;
        const double v = (d.x() * across.x() + d.y() * across.y()) / size;
        // Growth rings cut lengthways show as long stripes that drift and
        // swell; fine fibres run along them.
        const double drift = noise.fractal(u * 2.2, v * 1.4, 3) * 2.6;
        const double ring = v * 20.0 + drift * 3.0;
        const double stripe = std::pow(0.5 + 0.5 * std::cos(ring * 2.0 * std::numbers::pi), 6.0);
        const double fibre = noise.at(u * 6.0, v * 160.0);
        const double t = std::clamp(0.55 * stripe + 0.18 * fibre, 0.0, 1.0);
        return CharmPainter::mix(base, line, t);
    });
    cp.inside(shape, [&] {
        cp.fill(shape, CharmPainter::lightAxis(box, CharmPainter::alpha(light, 0.55), CharmPainter::alpha(dark, 0.55)));
    });
    const double small = std::min(box.width(), box.height());
    cp.lightEdge(shape, CharmPainter::alpha(light, 0.7), std::max(3.0, small * 0.06));
    cp.shadeEdge(shape, CharmPainter::alpha(dark, 0.85), std::max(4.0, small * 0.12));
}

} // namespace pendra::art
