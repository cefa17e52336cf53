#include "RailGeometry.h"

#include "Hanging.h"

#include <algorithm>
#include <cmath>

namespace pendra::RailGeometry {

namespace {

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

QSizeF pictureSize(const Charm& charm, double scale)
{
    const double height = scale * 190.0;
    return {height * charm.w / std::max(charm.h, 1.0), height};
}

QSize pixelSize(QSizeF size, double density)
{
    return {std::max(1, int(std::lround(size.width() * density))), std::max(1, int(std::lround(size.height() * density)))};
}

QPointF centre(const Charm& charm, const Cord& cord, double scale)
{
    const QSizeF size = pictureSize(charm, scale);
    const Bead tip = cord.tip();
    const double t = cord.tilt();
    const double ax = (0.5 - charm.hookX) * size.width();
    const double ay = (0.5 - charm.hookY) * size.height();
    return {tip.x + ax * std::cos(t) - ay * std::sin(t), tip.y + ax * std::sin(t) + ay * std::cos(t)};
}

Target target(const Hanging& hanging, double scale)
{
    const QSizeF size = pictureSize(hanging.charm, scale);
    const Bead& pin = hanging.cord.beads().front();
    return {centre(hanging.charm, hanging.cord, scale), 0.48 * std::min(size.width(), size.height()),
            QPointF(pin.x, pin.y)};
}

QRectF coveredArea(const Hanging& hanging, double scale)
{
    QRectF area;
    for (const Bead& bead : hanging.cord.beads())
        area = area.united(QRectF(bead.x - 7.0, bead.y - 7.0, 14.0, 14.0));
    const QSizeF size = pictureSize(hanging.charm, scale);
    const QPointF c = centre(hanging.charm, hanging.cord, scale);
    const double r = std::hypot(size.width(), size.height()) * 0.5 + 10.0;
    return area.united(QRectF(c.x() - r, c.y() - r, 2.0 * r, 2.0 * r));
}

std::optional<Hit> hit(QPointF point, std::span<const Target> targets)
{
    for (int i = int(targets.size()) - 1; i >= 0; --i) {
        const Target& t = targets[std::size_t(i)];
        if (distance(point, t.centre) < t.reach)
            return Hit{i, false};
        if (distance(point, t.pin) < pinReach)
            return Hit{i, true};
    }
    return std::nullopt;
}

} // namespace pendra::RailGeometry
