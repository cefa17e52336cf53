#include "AlphaShape.h"

#include <algorithm>

namespace pendra {

void AlphaShape::reset(int height)
{
    m_rows.assign(std::size_t(std::max(height, 0)), {});
}

void AlphaShape::update(QImage& image, const QRect& area)
{
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    const QRect clipped = area.intersected(QRect(0, 0, image.width(), int(m_rows.size())));
    if (clipped.isEmpty())
        return;
    const int x0 = clipped.left();
    const int x1 = clipped.right() + 1;
    std::vector<Span> fresh;
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::vector<Span>& spans = m_rows[std::size_t(y)];
        // Spans outside the repainted columns stay; those inside are read anew.
        fresh.clear();
        for (const Span& span : spans) {
            if (span.left < x0)
                fresh.push_back({span.left, std::min(span.right, x0)});
        }
        int start = -1;
        for (int x = x0; x <= x1; ++x) {
            const bool inside = x < x1 && qAlpha(pixels[x]) >= threshold;
            if (inside) {
                QRgb& p = pixels[x];
                const int a = qAlpha(p);
                if (a < 255)
                    p = qRgba(qRed(p) * 255 / a, qGreen(p) * 255 / a, qBlue(p) * 255 / a, 255);
                if (start < 0)
                    start = x;
            } else if (start >= 0) {
                if (!fresh.empty() && fresh.back().right == start)
                    fresh.back().right = x;
                else
                    fresh.push_back({start, x});
                start = -1;
            }
        }
        for (const Span& span : spans) {
            if (span.right > x1) {
                const Span kept{std::max(span.left, x1), span.right};
                if (!fresh.empty() && fresh.back().right == kept.left)
                    fresh.back().right = kept.right;
                else
                    fresh.push_back(kept);
            }
        }
        spans = fresh;
    }
}

std::vector<QRect> AlphaShape::rectangles() const
{
    // Runs of identical rows become one rectangle per span.
    std::vector<QRect> out;
    std::size_t y = 0;
    while (y < m_rows.size()) {
        std::size_t end = y + 1;
        while (end < m_rows.size() && m_rows[end] == m_rows[y])
            ++end;
        for (const Span& span : m_rows[y])
            out.emplace_back(span.left, int(y), span.right - span.left, int(end - y));
        y = end;
    }
    return out;
}

} // namespace pendra
