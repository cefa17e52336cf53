#include "CharmPainter.h"

#include <QImage>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pendra::art {

namespace {

// A soft edge is built from nested hard strokes, one for about every pixel
// of its width, so that it fades without visible steps. Together they cover
// the very edge this densely, whatever their number.
constexpr double kEdgeCover = 0.832;
constexpr int kFewestEdgePasses = 8;
constexpr int kMostEdgePasses = 160;

} // namespace

CharmPainter::CharmPainter(QPainter& painter)
    : m_painter(&painter)
{
}

void CharmPainter::fill(const QPainterPath& path, const QBrush& brush)
{
    m_painter->fillPath(path, brush);
}

void CharmPainter::outline(const QPainterPath& path, const QColor& colour, double width)
{
    stroke(path, colour, width);
}

void CharmPainter::stroke(const QPainterPath& path, const QBrush& brush, double width, Qt::PenCapStyle cap)
{
    m_painter->save();
    m_painter->setBrush(Qt::NoBrush);
    m_painter->setPen(QPen(brush, width, Qt::SolidLine, cap, Qt::RoundJoin));
    m_painter->drawPath(path);
    m_painter->restore();
}

void CharmPainter::inside(const QPainterPath& clip, const std::function<void()>& paint)
{
    QPaintDevice* device = m_painter->device();
    QImage layer(device->width(), device->height(), kDepth);
    layer.fill(Qt::transparent);
    QImage mask(layer.size(), kDepth);
    mask.fill(Qt::transparent);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHints(m_painter->renderHints());
        maskPainter.setTransform(m_painter->transform());
        maskPainter.fillPath(clip, Qt::black);
    }
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHints(m_painter->renderHints());
        layerPainter.setTransform(m_painter->transform());
        QPainter* outer = m_painter;
        m_painter = &layerPainter;
        paint();
        m_painter = outer;
        layerPainter.resetTransform();
        layerPainter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        layerPainter.drawImage(0, 0, mask);
    }
    m_painter->save();
    m_painter->resetTransform();
    m_painter->drawImage(0, 0, layer);
    m_painter->restore();
}

void CharmPainter::edge(const QPainterPath& path, const QBrush& brush, double width)
{
    const QTransform& t = m_painter->transform();
    const double pixels = width * std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
    const int passes = std::clamp(static_cast<int>(std::ceil(pixels)), kFewestEdgePasses, kMostEdgePasses);
    const double opacity = 1.0 - std::pow(1.0 - kEdgeCover, 1.0 / passes);
    inside(path, [&] {
        for (int i = passes; i >= 1; --i) {
            m_painter->save();
            m_painter->setOpacity(opacity);
            stroke(path, brush, 2.0 * width * i / passes);
            m_painter->restore();
        }
    });
}

void CharmPainter::shadeEdge(const QPainterPath& path, const QColor& colour, double width)
{
    const QRectF box = path.boundingRect();
    edge(path, lightAxis(box, alpha(colour, 0.0), colour), width);
}

void CharmPainter::lightEdge(const QPainterPath& path, const QColor& colour, double width)
{
    const QRectF box = path.boundingRect();
    QLinearGradient gradient = lightAxis(box, colour, alpha(colour, 0.0));
    gradient.setColorAt(0.55, alpha(colour, 0.0));
    edge(path, gradient, width);
}

void CharmPainter::glow(QPointF centre, double rx, double ry, const QColor& colour, double angle)
{
    m_painter->save();
    m_painter->translate(centre);
    m_painter->rotate(angle);
    m_painter->scale(1.0, ry / rx);
    QRadialGradient gradient(QPointF(0, 0), rx);
    gradient.setColorAt(0.0, colour);
    gradient.setColorAt(0.5, alpha(colour, colour.alphaF() * 0.45));
    gradient.setColorAt(1.0, alpha(colour, 0.0));
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(gradient);
    m_painter->drawEllipse(QPointF(0, 0), rx, rx);
    m_painter->restore();
}

void CharmPainter::gloss(const QPainterPath& shape, const QColor& colour, double topAlpha, double bottomAlpha)
{
    const QRectF box = shape.boundingRect();
    QLinearGradient gradient(box.topLeft() + QPointF(box.width() * 0.2, 0), box.bottomRight() - QPointF(box.width() * 0.2, 0));
    gradient.setColorAt(0.0, alpha(colour, topAlpha));
    gradient.setColorAt(1.0, alpha(colour, bottomAlpha));
    fill(shape, gradient);
}

void CharmPainter::metal(const QPainterPath& path, const Metal& metal, double angle)
{
    fill(path, metalBands(path.boundingRect(), metal, angle));
    const double size = std::min(path.boundingRect().width(), path.boundingRect().height());
    lightEdge(path, alpha(metal.glint, 0.85), std::max(2.0, size * 0.05));
    shadeEdge(path, alpha(metal.dark, 0.9), std::max(3.0, size * 0.08));
    outline(path, metal.edge);
}

void CharmPainter::glassBody(const QPainterPath& path, const Glass& glass)
{
    const QRectF box = path.boundingRect();
    const QPointF c = box.center();
    const double size = std::min(box.width(), box.height());
    const double reach = std::max(box.width(), box.height()) / 2.0;
    QRadialGradient gradient(c + QPointF(box.width() * 0.2, box.height() * 0.24), reach * 1.35,
        c + QPointF(box.width() * 0.26, box.height() * 0.3));
    gradient.setColorAt(0.00, glass.glow);
    gradient.setColorAt(0.35, glass.body);
    gradient.setColorAt(0.72, glass.deep);
    gradient.setColorAt(1.00, glass.rim);
    fill(path, gradient);
    shadeEdge(path, alpha(glass.rim, 0.8), std::max(4.0, size * 0.065));
    lightEdge(path, alpha(glass.glow, 0.45), std::max(2.0, size * 0.03));
}

void CharmPainter::glassShine(const QPainterPath& path, const QColor& edge, QPointF glint, double glintSize, double strength)
{
    const QRectF box = path.boundingRect();
    const QPointF c = box.center();
    inside(path, [&] {
        // A crescent hugging the lit rim reads as a curved surface; an ellipse
        // floating on the face would look like a sticker.
        QTransform shrink;
        shrink.translate(c.x(), c.y());
        shrink.scale(0.95, 0.95);
        shrink.translate(-c.x(), -c.y());
        const QPainterPath inner = shrink.map(path);
        const QPainterPath sheen = inner.subtracted(inner.translated(box.width() * 0.07, box.height() * 0.085));
        gloss(sheen, Qt::white, 0.6 * strength, 0.0);
        // Light leaving the glass at the far side.
        glow(c + QPointF(box.width() * 0.24, box.height() * 0.27), box.width() * 0.16, box.height() * 0.07,
            alpha(QColor(255, 255, 255), 0.28 * strength), -45);
    });
    glow(glint, glintSize * 1.6, glintSize * 0.95, alpha(Qt::white, 0.6 * strength), -42);
    QPainterPath spot;
    spot.addEllipse(QPointF(0, 0), glintSize, glintSize * 0.5);
    QTransform t;
    t.translate(glint.x(), glint.y());
    t.rotate(-42);
    fill(t.map(spot), alpha(Qt::white, 0.92 * std::min(1.0, strength)));
    fill(circle(glint + QPointF(glintSize * 1.25, -glintSize * 0.55), glintSize * 0.22),
        alpha(Qt::white, 0.8 * std::min(1.0, strength)));
    outline(path, edge);
}

QPointF CharmPainter::beadCap(QPointF top, double width, const Metal& tone)
{
    const double half = width / 2.0;
    const double height = width * 0.42;
    // Five scallops along the lower rim.
    QPainterPath cap;
    cap.moveTo(top + QPointF(-half * 0.28, 0));
    cap.cubicTo(top + QPointF(-half * 0.7, height * 0.1), top + QPointF(-half, height * 0.55), top + QPointF(-half, height * 0.8));
    const int scallops = 5;
    for (int i = 0; i < scallops; ++i) {
        const double x0 = -half + width * i / scallops;
        const double x1 = -half + width * (i + 1) / scallops;
        const double mid = (x0 + x1) / 2.0;
        const double sag = height * (i == 0 || i == scallops - 1 ? 0.95 : 1.12);
        cap.quadTo(top + QPointF(mid, sag + height * 0.22), top + QPointF(x1, height * 0.8));
    }
    cap.cubicTo(top + QPointF(half, height * 0.55), top + QPointF(half * 0.7, height * 0.1), top + QPointF(half * 0.28, 0));
    cap.closeSubpath();
    metal(cap, tone, 25);
    // The bead's thread hole, with a tiny rivet where the ring is soldered.
    fill(circle(top + QPointF(0, height * 0.34), width * 0.075), tone.dark);
    fill(circle(top + QPointF(-width * 0.02, height * 0.31), width * 0.04), tone.glint);
    return top;
}

void CharmPainter::wire(const QPainterPath& path, double width, const Metal& metal)
{
    stroke(path, metal.edge, width + kOutline);
    stroke(path, metal.dark, width);
    m_painter->save();
    m_painter->translate(-width * 0.12, -width * 0.14);
    stroke(path, metal.mid, width * 0.72);
    m_painter->translate(-width * 0.06, -width * 0.06);
    stroke(path, metal.light, width * 0.42);
    m_painter->translate(-width * 0.04, -width * 0.04);
    stroke(path, alpha(metal.glint, 0.9), width * 0.16);
    m_painter->restore();
}

QPointF CharmPainter::jumpRing(QPointF centre, double radius, double wire, const Metal& metal)
{
    const double outer = radius + wire / 2.0;
    const double inner = radius - wire / 2.0;
    QPainterPath ring = circle(centre, outer);
    ring.addPath(circle(centre, inner));
    ring.setFillRule(Qt::OddEvenFill);

    const QRectF box(centre - QPointF(outer, outer), QSizeF(outer * 2, outer * 2));
    fill(ring, lightAxis(box, metal.light, metal.dark));
    inside(ring, [&] {
        // The same circle moved towards the light catches the outer rim of the
        // wire at the upper left and its inner rim at the lower right, which is
        // where a round wire bent into a ring shows its glints.
        const QPointF toLight(-wire * 0.22, -wire * 0.22);
        stroke(circle(centre + toLight, radius), metal.mid, wire * 0.75);
        stroke(circle(centre + toLight * 1.35, radius), metal.light, wire * 0.42);
        stroke(circle(centre + toLight * 1.6, radius), alpha(metal.glint, 0.95), wire * 0.16);
        stroke(circle(centre - toLight * 1.9, radius), alpha(metal.dark, 0.8), wire * 0.3);
    });
    outline(circle(centre, outer), metal.edge, kOutline * 0.85);
    outline(circle(centre, inner), metal.edge, kOutline * 0.85);
    return centre - QPointF(0, inner);
}

QLinearGradient CharmPainter::lightAxis(const QRectF& box, const QColor& nearLight, const QColor& farLight)
{
    QLinearGradient gradient(box.topLeft(), box.bottomRight());
    gradient.setColorAt(0.0, nearLight);
    gradient.setColorAt(1.0, farLight);
    return gradient;
}

QLinearGradient CharmPainter::metalBands(const QRectF& box, const Metal& metal, double angle)
{
    const double radians = angle * std::numbers::pi / 180.0;
    const QPointF direction(std::sin(radians), std::cos(radians));
    const double reach = (std::abs(direction.x()) * box.width() + std::abs(direction.y()) * box.height()) / 2.0;
    QLinearGradient gradient(box.center() - direction * reach, box.center() + direction * reach);
    gradient.setColorAt(0.00, metal.mid);
    gradient.setColorAt(0.16, metal.light);
    gradient.setColorAt(0.30, metal.glint);
    gradient.setColorAt(0.46, metal.light);
    gradient.setColorAt(0.66, metal.mid);
    gradient.setColorAt(0.82, metal.dark);
    gradient.setColorAt(1.00, metal.mid);
    return gradient;
}

QPainterPath CharmPainter::circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath CharmPainter::ellipse(QPointF centre, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

QColor CharmPainter::mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
        static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
        static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
        static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor CharmPainter::alpha(const QColor& colour, double alpha)
{
    QColor result = colour;
    result.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return result;
}

} // namespace pendra::art
