#pragma once

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <functional>

namespace pendra::art {

class CharmPainter;

// Everything needed to draw one charm and describe it in the catalog. The
// drawing works in pixels on a canvas of the given size and returns the point
// where the cord attaches; the renderer trims the picture and turns that
// point into fractions of the trimmed size.
struct CharmDesign {
    QString id;
    QString name;
    QString set;
    QString setName;
    QSizeF canvas;
    double heft = 1.0;
    bool glass = false;
    std::function<QPointF(CharmPainter&)> draw;
};

} // namespace pendra::art
