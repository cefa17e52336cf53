#include "Texture.h"

#include "CharmPainter.h"

#include <QImage>
#include <QTransform>

#include <cmath>

namespace pendra::art {

void Texture::paint(CharmPainter& cp, const QPainterPath& shape, const Shader& shader)
{
    const QTransform toDevice = cp.painter().transform();
    bool invertible = false;
    const QTransform toDesign = toDevice.inverted(&invertible);
    if (!invertible)
        return;
    const QRect area = toDevice.mapRect(shape.boundingRect()).toAlignedRect().adjusted(-1, -1, 1, 1);
    if (area.isEmpty())
        return;
    QImage tile(area.size(), QImage::Format_RGBA64_Premultiplied);
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            const QPointF at = toDesign.map(QPointF(area.left() + x + 0.5, area.top() + y + 0.5));
            tile.setPixelColor(x, y, shader(at));
        }
    }
    cp.inside(shape, [&] {
        // Inside paints on a layer of its own, so the painter is asked for
        // only now.
        QPainter& painter = cp.painter();
        painter.save();
        painter.resetTransform();
        painter.drawImage(area.topLeft(), tile);
        painter.restore();
    });
}

} // namespace pendra::art
