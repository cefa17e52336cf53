#pragma once

#include "Glass.h"
#include "Metal.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <functional>

namespace pendra::art {

// Drawing helpers shared by every charm. The light always comes from the upper
// left, so the helpers that shade put highlights there and shadows towards the
// lower right; keeping that in one place keeps the whole catalog consistent.
class CharmPainter {
public:
    // The width of the dark line around every shape, in picture pixels. It is
    // about one pixel once a charm is shown at its smallest usual size.
    static constexpr double kOutline = 3.2;

    // Charms are painted in sixteen bits a channel: soft edges and glows are
    // built from many faint layers, which in eight bits would round into
    // visible steps and tinted bands.
    static constexpr QImage::Format kDepth = QImage::Format_RGBA64_Premultiplied;

    explicit CharmPainter(QPainter& painter);

    QPainter& painter() { return *m_painter; }

    void fill(const QPainterPath& path, const QBrush& brush);
    void outline(const QPainterPath& path, const QColor& colour, double width = kOutline);
    void stroke(const QPainterPath& path, const QBrush& brush, double width, Qt::PenCapStyle cap = Qt::RoundCap);

    // Runs paint with everything it draws confined to clip. Unlike a clip path
    // the boundary stays antialiased.
    void inside(const QPainterPath& clip, const std::function<void()>& paint);

    // Soft band just inside the edge of path, painted with brush and fading
    // towards the middle over width pixels.
    void edge(const QPainterPath& path, const QBrush& brush, double width);
    // Edge darkening on the side facing away from the light.
    void shadeEdge(const QPainterPath& path, const QColor& colour, double width);
    // Edge brightening on the side facing the light.
    void lightEdge(const QPainterPath& path, const QColor& colour, double width);

    // A soft round glow, fully transparent at its rim.
    void glow(QPointF centre, double rx, double ry, const QColor& colour, double angle = 0.0);
    // Fills shape with colour fading from topAlpha on the side facing the light
    // to bottomAlpha on the other side; used for glossy window reflections.
    void gloss(const QPainterPath& shape, const QColor& colour, double topAlpha, double bottomAlpha);

    // A polished metal surface with banded reflections, shaded edges and outline.
    void metal(const QPainterPath& path, const Metal& metal, double angle = 35.0);
    // Coloured glass filling path: light gathered towards the lower right, a dark
    // rim and a faint lit edge. Details inside the glass go on top of this,
    // and glassShine() over everything.
    void glassBody(const QPainterPath& path, const Glass& glass);
    // The reflections on a glossy surface: a crescent of sheen along the lit
    // rim, a soft highlight and a crisp window glint centred at glint, and the
    // outline. strength scales the reflections, for softer lacquer or enamel.
    void glassShine(const QPainterPath& path, const QColor& edge, QPointF glint, double glintSize, double strength = 1.0);
    // A domed metal cap with a scalloped lower rim, as glued over the top of a
    // bead; top is the middle of its upper edge. Returns the point where the
    // jump ring sits.
    QPointF beadCap(QPointF top, double width, const Metal& tone);

    // A round wire following path, for loops, pins and wraps.
    void wire(const QPainterPath& path, double width, const Metal& metal);
    // A jump ring seen face on. Returns the top of its hole, where a cord
    // passing through the ring rests.
    QPointF jumpRing(QPointF centre, double radius, double wire, const Metal& metal);

    // Gradient along the light direction across box, from nearLight at the upper
    // left to farLight at the lower right.
    static QLinearGradient lightAxis(const QRectF& box, const QColor& nearLight, const QColor& farLight);
    static QLinearGradient metalBands(const QRectF& box, const Metal& metal, double angle);

    static QPainterPath circle(QPointF centre, double radius);
    static QPainterPath ellipse(QPointF centre, double rx, double ry);
    static QColor mix(const QColor& a, const QColor& b, double t);
    static QColor alpha(const QColor& colour, double alpha);

private:
    QPainter* m_painter;
};

} // namespace pendra::art
