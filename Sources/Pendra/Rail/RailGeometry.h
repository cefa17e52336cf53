#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <optional>
#include <span>

namespace pendra {

struct Charm;
class Cord;
class Hanging;

// The arithmetic every part of the rail shares: picture size, the centre of a
// swinging picture, what a hanging covers and what lies under a point. Rail
// coordinates: points from the panel's top-left corner, y downward.
namespace RailGeometry {

struct Target {
    QPointF centre;
    double reach = 0.0;
    QPointF pin;
};

struct Hit {
    int index = 0;
    bool isPin = false;
    friend bool operator==(const Hit&, const Hit&) = default;
};

inline constexpr double pinReach = 13.0;

QSizeF pictureSize(const Charm& charm, double scale);
// A picture size in device pixels, as a charm's picture is resampled to it.
QSize pixelSize(QSizeF size, double density);
QPointF centre(const Charm& charm, const Cord& cord, double scale);
Target target(const Hanging& hanging, double scale);
QRectF coveredArea(const Hanging& hanging, double scale);
std::optional<Hit> hit(QPointF point, std::span<const Target> targets);

} // namespace RailGeometry

} // namespace pendra
