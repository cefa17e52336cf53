#include "DiscRegion.h"

#include <algorithm>
#include <cmath>

namespace pendra {

namespace {

// The first and one past the last pixel whose centre lies strictly within
// half of the given centre, clamped to [0, limit).
std::pair<int, int> pixelRange(double centre, double half, int limit)
{
    const double first = std::floor(centre - half - 0.5) + 1.0;
    const double end = std::ceil(centre + half - 0.5);
    return {int(std::clamp(first, 0.0, double(limit))), int(std::clamp(end, 0.0, double(limit)))};
}

} // namespace

std::vector<QRect> DiscRegion::rectangles(const std::vector<Disc>& discs, double density, QSize bounds)
{
    std::vector<QRect> out;
    if (!(density > 0.0) || bounds.isEmpty())
        return out;
    for (const Disc& disc : discs) {
        const double cx = disc.centre.x() * density;
        const double cy = disc.centre.y() * density;
        const double r = disc.radius * density;
        if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(r) || !(r > 0.0))
            continue;
        const auto [top, bottom] = pixelRange(cy, r, bounds.height());
        // Rows with the same span are joined into one taller rectangle.
        QRect run;
        for (int y = top; y < bottom; ++y) {
            const double dy = y + 0.5 - cy;
            const double half = std::sqrt(std::max(0.0, r * r - dy * dy));
            const auto [left, right] = pixelRange(cx, half, bounds.width());
            if (left >= right) {
                if (!run.isNull())
                    out.push_back(run);
                run = QRect();
                continue;
            }
            if (!run.isNull() && run.left() == left && run.right() == right - 1) {
                run.setBottom(y);
                continue;
            }
            if (!run.isNull())
                out.push_back(run);
            run = QRect(left, y, right - left, 1);
        }
        if (!run.isNull())
            out.push_back(run);
    }
    return out;
}

} // namespace pendra
