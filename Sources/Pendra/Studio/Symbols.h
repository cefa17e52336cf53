#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>

class QPainter;

namespace pendra {

// The three small symbols the studio shows, drawn as vector shapes into the
// largest circle that fits the given square. Each restores the painter.
namespace Symbols {

// A filled circle carrying a check mark: the hanging mark of a charm tile.
void checkmarkCircle(QPainter& painter, const QRectF& square, const QColor& circle, const QColor& mark);
// A filled circle carrying a cross: the take-down button of a hung row.
void crossCircle(QPainter& painter, const QRectF& square, const QColor& circle, const QColor& mark);
// A dashed circle outline: the stand-in for a picture that cannot be shown.
void dashedCircle(QPainter& painter, const QRectF& square, const QColor& colour);

// The cross circle as an icon of side points, sharp at densities 1 and 2;
// the hovered colour is used for the icon's active mode.
QIcon crossCircleIcon(int side, const QColor& circle, const QColor& hovered, const QColor& mark);

} // namespace Symbols

} // namespace pendra
