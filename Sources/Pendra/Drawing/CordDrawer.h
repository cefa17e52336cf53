#pragma once

#include "CordStyle.h"
#include "Surface.h"

#include <QImage>
#include <QPainterPath>
#include <QPointF>

#include <array>
#include <optional>
#include <span>
#include <vector>

namespace pendra {

// Draws a cord through its points, pin first, in one of the eight looks.
// Stateless apart from three shared resources made on first use.
namespace CordDrawer {

struct Sample {
    QPointF p;
    double angle = 0.0;
};

void draw(CordStyle style, Surface& surface, std::span<const QPointF> points);

// The smoothed centre line: through the first point, the midpoints of the
// inner segments and the last point.
QPainterPath curve(std::span<const QPointF> points);

// Points every `every` along the straight polyline, with the direction of
// the segment each lies on.
std::vector<Sample> along(std::span<const QPointF> points, double every);

std::optional<QImage> beadSprite(const std::array<QColor, 3>& colours);

const std::optional<QImage>& woodBead();
const std::optional<QImage>& glassBead();
// The gold of every pin; the rail view and the cord tiles paint pins with it.
const Gradient& pinGold();
// A pin: the gold ball lit from its upper left, with a dark ring around it.
void drawPin(Surface& surface, QPointF centre, double radius);

} // namespace CordDrawer

} // namespace pendra
