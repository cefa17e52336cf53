#include "TrayIconArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace pendra {

QIcon TrayIconArt::icon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}

QImage TrayIconArt::image(int size)
{
    Q_ASSERT(size > 0);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 16.0;
    const QPointF centre(size / 2.0, size / 2.0);
    // Ring and dot widths are whole pixels at the common sizes, so their
    // edges fall on pixel boundaries instead of blurring across two.
    const double ringWidth = std::max(1.0, std::round(1.75 * unit));
    const double ringRadius = 7.0 * unit - ringWidth / 2.0;
    const double dotRadius = std::max(1.5, std::round(2.75 * unit * 2.0) / 2.0);

    QPainterPath shape;
    shape.addEllipse(centre, ringRadius + ringWidth / 2.0, ringRadius + ringWidth / 2.0);
    shape.addEllipse(centre, ringRadius - ringWidth / 2.0, ringRadius - ringWidth / 2.0);
    shape.addEllipse(centre, dotRadius, dotRadius);
    shape.setFillRule(Qt::OddEvenFill);

    // A thin dark edge outside the light shape; the gap between dot and ring
    // stays mostly clear so the symbol does not turn into a blob.
    const double halo = std::max(0.75, 0.75 * unit);
    painter.setPen(QPen(QColor(24, 24, 28, 190), 2.0 * halo, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(246, 246, 248));
    painter.drawPath(shape);
    return image;
}

} // namespace pendra
