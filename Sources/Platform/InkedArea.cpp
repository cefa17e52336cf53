#include "InkedArea.h"

namespace pendra {

const QRegion& InkedArea::of(QSize size)
{
    if (size != m_size) {
        m_size = size;
        m_region = QRegion(QRect(QPoint(), size));
    }
    return m_region;
}

void InkedArea::painted(const QRect& pixels, const QRegion& drawn)
{
    m_region = m_region.subtracted(QRegion(pixels)).united(drawn.intersected(pixels));
}

} // namespace pendra
