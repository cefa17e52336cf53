#include "PinStamps.h"

#include "CordDrawer.h"
#include "Surface.h"

#include <cmath>

namespace pendra {

void PinStamps::draw(Surface& surface, QPointF centre, double radius)
{
    const QTransform& toDevice = surface.deviceTransform();
    const double density = toDevice.m11();
    if (toDevice.type() > QTransform::TxScale || toDevice.m22() != density || !(density > 0) || !(radius > 0)) {
        CordDrawer::drawPin(surface, centre, radius);
        return;
    }
    // The ring's stroke reaches 0.7 points past the radius; smoothing adds a pixel.
    const QPointF at = toDevice.map(centre);
    const double reach = (radius + 1.0) * density + 1.0;
    const int left = int(std::floor(at.x() - reach));
    const int top = int(std::floor(at.y() - reach));
    const int side = int(std::ceil(2.0 * reach)) + 1;
    const Key key{radius, density, at.x() - left, at.y() - top};
    auto stamp = m_stamps.constFind(key);
    if (stamp == m_stamps.constEnd()) {
        std::optional<QImage> bitmap = Surface::makeBitmap(side, side);
        if (!bitmap) {
            CordDrawer::drawPin(surface, centre, radius);
            return;
        }
        bitmap->setDevicePixelRatio(density);
        {
            Surface drawing(*bitmap);
            CordDrawer::drawPin(drawing, QPointF(key.x / density, key.y / density), radius);
        }
        if (m_stamps.size() >= limit)
            m_stamps.clear();
        stamp = m_stamps.insert(key, TurnedImage(*bitmap));
    }
    surface.drawImage(*stamp, toDevice.inverted().mapRect(QRectF(left, top, side, side)));
}

} // namespace pendra
