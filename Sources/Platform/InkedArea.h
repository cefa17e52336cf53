#pragma once

#include <QRect>
#include <QRegion>
#include <QSize>

#include <vector>

namespace pendra {

// What a host knows of the picture it shows: where it may hold anything but
// transparency. A redraw then clears only there instead of its whole dirty
// rectangle, which on a rail of charms is mostly empty space. The count
// starts over as the whole picture whenever the picture's size changes, as it
// does for a new buffer.
class InkedArea {
public:
    // The area for a picture of that size, in device pixels.
    const QRegion& of(QSize size);
    // A redraw of pixels, which drew only inside drawn.
    void painted(const QRect& pixels, const QRegion& drawn);

    // The union of rects, merged in pairs and then pairs of pairs: a frame
    // notes dozens, and adding each to a growing region costs far more.
    static QRegion unionOf(const std::vector<QRect>& rects);

private:
    QSize m_size;
    QRegion m_region;
};

} // namespace pendra
