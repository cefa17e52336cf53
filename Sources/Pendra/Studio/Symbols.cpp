#include "Symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pendra::Symbols {

namespace {

QRectF circleIn(const QRectF& square)
{
    const double side = std::min(square.width(), square.height());
    return QRectF(square.center().x() - side / 2, square.center().y() - side / 2, side, side);
}

void fillCircle(QPainter& painter, const QRectF& circle, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(circle);
}

QPen markPen(const QColor& colour, double side)
{
    return QPen(colour, std::max(1.0, side * 0.11), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPixmap crossPixmap(int side, double density, const QColor& circle, const QColor& mark)
{
    QPixmap pixmap(int(std::ceil(side * density)), int(std::ceil(side * density)));
    pixmap.setDevicePixelRatio(density);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    crossCircle(painter, QRectF(0, 0, side, side), circle, mark);
    return pixmap;
}

} // namespace

void checkmarkCircle(QPainter& painter, const QRectF& square, const QColor& circle, const QColor& mark)
{
    const QRectF c = circleIn(square);
    const double s = c.width();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    fillCircle(painter, c, circle);
    QPainterPath check;
    check.moveTo(c.left() + s * 0.28, c.top() + s * 0.52);
    check.lineTo(c.left() + s * 0.44, c.top() + s * 0.67);
    check.lineTo(c.left() + s * 0.72, c.top() + s * 0.35);
    painter.setPen(markPen(mark, s));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(check);
    painter.restore();
}

void crossCircle(QPainter& painter, const QRectF& square, const QColor& circle, const QColor& mark)
{
    const QRectF c = circleIn(square);
    const double arm = c.width() * 0.19;
    const QPointF m = c.center();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    fillCircle(painter, c, circle);
    painter.setPen(markPen(mark, c.width()));
    painter.drawLine(QPointF(m.x() - arm, m.y() - arm), QPointF(m.x() + arm, m.y() + arm));
    painter.drawLine(QPointF(m.x() - arm, m.y() + arm), QPointF(m.x() + arm, m.y() - arm));
    painter.restore();
}

void dashedCircle(QPainter& painter, const QRectF& square, const QColor& colour)
{
    const QRectF c = circleIn(square);
    const double width = std::max(1.0, c.width() * 0.05);
    const QRectF ring = c.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    // Twelve dashes with gaps of the same length, whatever the size: the
    // pattern is given in pen widths, so it is worked out from the ring.
    const double circumference = std::numbers::pi * ring.width();
    const double dash = circumference / 24.0 / width;
    QPen pen(colour, width, Qt::CustomDashLine, Qt::FlatCap);
    pen.setDashPattern({dash, dash});
    painter.setPen(pen);
    painter.drawEllipse(ring);
    painter.restore();
}

QIcon crossCircleIcon(int side, const QColor& circle, const QColor& hovered, const QColor& mark)
{
    Q_ASSERT(side > 0);
    QIcon icon;
    for (const double density : {1.0, 2.0}) {
        icon.addPixmap(crossPixmap(side, density, circle, mark), QIcon::Normal);
        icon.addPixmap(crossPixmap(side, density, hovered, mark), QIcon::Active);
    }
    return icon;
}

} // namespace pendra::Symbols
