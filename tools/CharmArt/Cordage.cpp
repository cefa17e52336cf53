#include "Cordage.h"

#include "CharmPainter.h"
#include "Metal.h"

#include <QLineF>
#include <QPainterPathStroker>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pendra::art {

void Cordage::chain(CharmPainter& cp, QPointF from, QPointF to, double link, double wire, const Metal& metal)
{
    const QLineF line(from, to);
    const double length = line.length();
    if (length <= 0.0)
        return;
    const QPointF along = (to - from) / length;
    // Neighbouring links reach into each other by about a wire's width at
    // each end, so they sit closer than their own length.
    const double spacing = link - 2.2 * wire;
    const int count = std::max(2, static_cast<int>(std::lround((length - link) / spacing)) + 1);
    const double step = (length - link) / (count - 1);
    const double angle = -line.angle();

    auto placed = [&](int i, const QPainterPath& local) {
        const QPointF centre = from + along * (link / 2.0 + i * step);
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(angle);
        return t.map(local);
    };

    // Face-on links first; the edge-on links pass through them and cover
    // their ends.
    for (int i = 0; i < count; i += 2) {
        QPainterPath ring = CharmPainter::ellipse(QPointF(), link / 2.0, link * 0.31);
        ring.addPath(CharmPainter::ellipse(QPointF(), link / 2.0 - wire, link * 0.31 - wire));
        ring.setFillRule(Qt::OddEvenFill);
        const QPainterPath shape = placed(i, ring);
        const QRectF box = shape.boundingRect();
        cp.fill(shape, CharmPainter::lightAxis(box, metal.light, metal.dark));
        cp.inside(shape, [&] {
            const QPainterPath middle = placed(i, CharmPainter::ellipse(QPointF(), link / 2.0 - wire / 2.0,
                                                      link * 0.31 - wire / 2.0));
            cp.stroke(middle.translated(-wire * 0.2, -wire * 0.25), CharmPainter::alpha(metal.glint, 0.9), wire * 0.3);
            cp.stroke(middle.translated(wire * 0.35, wire * 0.4), CharmPainter::alpha(metal.dark, 0.6), wire * 0.35);
        });
        cp.outline(shape, metal.edge, CharmPainter::kOutline * 0.6);
    }
    for (int i = 1; i < count; i += 2) {
        QPainterPath bar;
        bar.addRoundedRect(QRectF(-link / 2.0, -wire * 0.62, link, wire * 1.24), wire * 0.62, wire * 0.62);
        const QPainterPath shape = placed(i, bar);
        cp.fill(shape, CharmPainter::metalBands(shape.boundingRect(), metal, 0.0));
        QPainterPath glint;
        glint.moveTo(-link * 0.36, -wire * 0.18);
        glint.lineTo(link * 0.2, -wire * 0.18);
        cp.stroke(placed(i, glint), CharmPainter::alpha(metal.glint, 0.85), wire * 0.28);
        cp.outline(shape, metal.edge, CharmPainter::kOutline * 0.6);
    }
}

void Cordage::twist(CharmPainter& cp, const QPainterPath& path, double width, const QColor& light,
    const QColor& dark, double pitch)
{
    cp.stroke(path, dark, width + CharmPainter::kOutline * 0.8, Qt::FlatCap);
    cp.stroke(path, CharmPainter::mix(light, dark, 0.45), width, Qt::FlatCap);
    cp.stroke(path.translated(-width * 0.08, -width * 0.1), CharmPainter::mix(light, dark, 0.25), width * 0.55,
        Qt::FlatCap);

    // Each turn of a strand shows as a lit ridge slanting across the cord
    // with a shadowed groove after it.
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::FlatCap);
    const QPainterPath body = stroker.createStroke(path);
    const double length = path.length();
    const int turns = std::max(1, static_cast<int>(length / pitch));
    cp.inside(body, [&] {
      for (int i = 0; i < turns; ++i) {
        const double s = (i + 0.5) * length / turns;
        const double percent = path.percentAtLength(s);
        const QPointF at = path.pointAtPercent(percent);
        const double radians = -path.angleAtPercent(percent) * std::numbers::pi / 180.0;
        const QPointF tangent(std::cos(radians), std::sin(radians));
        const QPointF normal(-tangent.y(), tangent.x());
        const double half = width * 0.42;
        const double lean = pitch * 0.8;
        QPainterPath ridge;
        ridge.moveTo(at - normal * half - tangent * lean * 0.5);
        ridge.quadTo(at + tangent * lean * 0.15, at + normal * half + tangent * lean * 0.5);
        cp.stroke(ridge.translated(tangent * pitch * 0.28), CharmPainter::alpha(dark, 0.75), width * 0.16);
        cp.stroke(ridge, CharmPainter::alpha(light, 0.9), width * 0.2);
      }
    });
}

} // namespace pendra::art
