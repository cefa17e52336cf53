#include "CoverageRaster.h"

#include "PixelArithmetic.h"

#include <algorithm>
#include <cmath>

namespace pendra {

namespace {

// The painter keeps outline points in 26.6 fixed point.
QPointF snapped(QPointF p)
{
    return {std::round(p.x() * 64.0) / 64.0, std::round(p.y() * 64.0) / 64.0};
}

} // namespace

void CoverageRaster::begin(const QRect& clip)
{
    m_clip = clip;
    m_edges.clear();
    m_open = false;
}

void CoverageRaster::moveTo(QPointF to)
{
    closeOutline();
    m_start = m_last = snapped(to);
    m_open = true;
}

void CoverageRaster::lineTo(QPointF to)
{
    const QPointF next = snapped(to);
    if (!m_open) {
        m_start = m_last = next;
        m_open = true;
        return;
    }
    addClamped(m_last, next);
    m_last = next;
}

void CoverageRaster::closeOutline()
{
    if (m_open && m_last != m_start)
        addClamped(m_last, m_start);
    m_open = false;
}

// Whatever lies left of the clip covers every pixel of a row inside it just
// as an edge on the clip's left side would, and whatever lies right of it
// covers none: pieces outside are pressed flat against those sides.
void CoverageRaster::addClamped(QPointF from, QPointF to)
{
    if (m_clip.isEmpty() || from.y() == to.y())
        return;
    const double top = std::min(from.y(), to.y());
    const double bottom = std::max(from.y(), to.y());
    if (bottom <= m_clip.top() || top >= m_clip.bottom() + 1)
        return;
    const double left = m_clip.left();
    const double right = m_clip.right() + 1;
    QPointF cuts[4] = {from};
    int count = 1;
    const double dx = to.x() - from.x();
    if (dx != 0.0) {
        double at[2];
        int crossings = 0;
        for (const double side : {left, right}) {
            const double t = (side - from.x()) / dx;
            if (t > 0.0 && t < 1.0)
                at[crossings++] = t;
        }
        if (crossings == 2 && at[0] > at[1])
            std::swap(at[0], at[1]);
        for (int i = 0; i < crossings; ++i)
            cuts[count++] = QPointF(from.x() + dx * at[i], from.y() + (to.y() - from.y()) * at[i]);
    }
    cuts[count++] = to;
    for (int i = 0; i + 1 < count; ++i) {
        QPointF a = cuts[i];
        QPointF b = cuts[i + 1];
        a.setX(std::clamp(a.x(), left, right));
        b.setX(std::clamp(b.x(), left, right));
        addEdge(a, b);
    }
}

void CoverageRaster::addEdge(QPointF from, QPointF to)
{
    if (from.y() == to.y())
        return;
    const bool down = to.y() > from.y();
    const QPointF& upper = down ? from : to;
    const QPointF& lower = down ? to : from;
    // Columns are counted from the clip's left side, which keeps floats exact enough.
    const double x = upper.x() - m_clip.left();
    m_edges.push_back(Edge{float(upper.y()), float(lower.y()), float(x),
                           float((lower.x() - upper.x()) / (lower.y() - upper.y())), down ? 1.0f : -1.0f});
}

void CoverageRaster::fill(QImage& bitmap, QRgb colour)
{
    closeOutline();
    const QRect area = m_clip.intersected(bitmap.rect());
    if (m_edges.empty() || area.isEmpty() || bitmap.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    std::sort(m_edges.begin(), m_edges.end(), [](const Edge& a, const Edge& b) { return a.top < b.top; });
    float lowest = m_edges.front().bottom;
    for (const Edge& e : m_edges)
        lowest = std::max(lowest, e.bottom);
    const int firstRow = std::max(area.top(), int(std::floor(m_edges.front().top)));
    const int lastRow = std::min(area.bottom(), int(std::ceil(lowest)) - 1);
    const int columns = m_clip.width() + 2;
    if (int(m_row.size()) < columns)
        m_row.assign(std::size_t(columns), 0.0f);
    float* cells = m_row.data();
    const int offset = area.left() - m_clip.left();
    const int width = area.width();

    // One look at the bitmap's memory, rather than one per row.
    uchar* const bits = bitmap.bits();
    const qsizetype bytesPerLine = bitmap.bytesPerLine();
    m_active.clear();
    std::size_t next = 0;
    for (int y = firstRow; y <= lastRow; ++y) {
        const float rowTop = float(y);
        const float rowBottom = float(y + 1);
        while (next < m_edges.size() && m_edges[next].top < rowBottom)
            m_active.push_back(&m_edges[next++]);
        int lowCell = columns;
        int highCell = -1;
        std::size_t kept = 0;
        for (const Edge* e : m_active) {
            if (e->bottom <= rowTop)
                continue;
            m_active[kept++] = e;
            const float ya = std::max(e->top, rowTop);
            const float yb = std::min(e->bottom, rowBottom);
            if (yb <= ya)
                continue;
            float xa = e->xTop + (ya - e->top) * e->slope;
            float xb = e->xTop + (yb - e->top) * e->slope;
            const float dy = (yb - ya) * e->sign;
            if (xa > xb)
                std::swap(xa, xb);
            // Each piece within one column covers the share of that pixel
            // right of its mean position, and all of every pixel beyond.
            const auto lay = [&](int cell, float height, float mean) {
                cells[cell] += height * (1.0f - mean);
                cells[cell + 1] += height * mean;
                lowCell = std::min(lowCell, cell);
                highCell = std::max(highCell, cell + 1);
            };
            const int first = std::min(int(xa), columns - 2);
            const int last = std::min(int(xb), columns - 2);
            if (first == last) {
                lay(first, dy, (xa + xb) * 0.5f - float(first));
                continue;
            }
            const float perColumn = dy / (xb - xa);
            lay(first, perColumn * (float(first + 1) - xa), (xa - float(first) + 1.0f) * 0.5f);
            for (int c = first + 1; c < last; ++c)
                lay(c, perColumn, 0.5f);
            lay(last, perColumn * (xb - float(last)), (xb - float(last)) * 0.5f);
        }
        m_active.resize(kept);
        if (highCell < 0)
            continue;
        auto* out = reinterpret_cast<std::uint32_t*>(bits + y * bytesPerLine) + area.left() - offset;
        // A thin shape's next rows lie about where this one does; asking for
        // their memory now hides the wait for it.
        if (y + 2 <= lastRow)
            __builtin_prefetch(out + 2 * bytesPerLine / 4 + std::max(lowCell, offset), 1);
        // Cells left of the clip only add to the sum; those right of it are
        // only cleared. A shape's edges all lie inside the row range seen,
        // so the sum is back to nothing past the last one; what is left is
        // rounding.
        float sum = 0.0f;
        const int shownFrom = std::max(lowCell, offset);
        const int shownTo = std::min(highCell, offset + width - 1);
        int c = lowCell;
        for (; c < shownFrom; ++c) {
            sum += cells[c];
            cells[c] = 0.0f;
        }
        for (; c <= shownTo; ++c) {
            sum += cells[c];
            cells[c] = 0.0f;
            const int coverage = std::min(255, int(std::abs(sum) * 256.0f));
            if (coverage == 0)
                continue;
            const std::uint32_t paint = coverage == 255 ? colour : PixelArithmetic::scale(colour, unsigned(coverage));
            out[c] = (paint >> 24) == 255 ? paint : PixelArithmetic::over(paint, out[c]);
        }
        for (; c <= highCell; ++c)
            cells[c] = 0.0f;
    }
}

} // namespace pendra
