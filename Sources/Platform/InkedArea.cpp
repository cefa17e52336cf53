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

QRegion InkedArea::unionOf(const std::vector<QRect>& rects)
{
    std::vector<QRegion> level(rects.begin(), rects.end());
    while (level.size() > 1) {
        std::vector<QRegion> next;
        next.reserve(level.size() / 2 + 1);
        for (std::size_t i = 0; i + 1 < level.size(); i += 2)
            next.push_back(level[i].united(level[i + 1]));
        if (level.size() % 2 != 0)
            next.push_back(std::move(level.back()));
        level = std::move(next);
    }
    return level.empty() ? QRegion() : std::move(level.front());
}

} // namespace pendra
