#include "TurnedImage.h"

#include <algorithm>
#include <cmath>

namespace pendra {

namespace {

constexpr double fixedOne = 65536.0;

struct Direction {
    double x;
    double y;
};

// The directions the outline's sides face, evenly spread over half a turn.
Direction direction(int k)
{
    static const std::array<Direction, TurnedImage::directions> all = [] {
        std::array<Direction, TurnedImage::directions> made{};
        for (int i = 0; i < TurnedImage::directions; ++i) {
            const double angle = i * 3.14159265358979323846 / TurnedImage::directions;
            made[std::size_t(i)] = Direction{std::cos(angle), std::sin(angle)};
        }
        return made;
    }();
    return all[std::size_t(k)];
}

// Narrows [from, to) to the device pixel columns x whose centres give a
// coordinate a·(x + 0.5) + b inside [0, limit).
void inside(double a, double b, double limit, double& from, double& to)
{
    if (std::abs(a) < 1e-12) {
        if (b < 0.0 || b >= limit)
            to = from;
        return;
    }
    double low = (0.0 - b) / a - 0.5;
    double high = (limit - b) / a - 0.5;
    if (a < 0)
        std::swap(low, high);
    from = std::max(from, std::ceil(low));
    to = std::min(to, std::ceil(high));
}

// Narrows [first, last) to the steps i at which lower ≤ f + i·step < upper.
void within(std::int64_t f, std::int64_t step, std::int64_t lower, std::int64_t upper, std::int64_t& first,
            std::int64_t& last)
{
    const auto ceilDiv = [](std::int64_t a, std::int64_t b) { return a / b + ((a % b != 0) && ((a < 0) == (b < 0))); };
    if (step == 0) {
        if (f < lower || f >= upper)
            last = first;
        return;
    }
    if (step > 0) {
        first = std::max(first, ceilDiv(lower - f, step));
        last = std::min(last, ceilDiv(upper - f, step));
    } else {
        first = std::max(first, ceilDiv(f - upper + 1, -step));
        last = std::min(last, ceilDiv(f - lower + 1, -step));
    }
}

SampleSpan::Walk advanced(SampleSpan::Walk walk, int steps)
{
    walk.u += walk.du * steps;
    walk.v += walk.dv * steps;
    return walk;
}

} // namespace

TurnedImage::TurnedImage(const QImage& image) : m_image(image.convertToFormat(QImage::Format_ARGB32_Premultiplied))
{
    if (m_image.isNull())
        return;
    m_width = m_image.width();
    m_height = m_image.height();
    m_picture = SampleSpan::Picture{reinterpret_cast<const std::uint32_t*>(m_image.constBits()),
                                    m_image.bytesPerLine() / qsizetype(sizeof(std::uint32_t)), m_width, m_height};
    // Each row's first and last inked pixel are all the outline needs.
    for (int y = 0; y < m_height; ++y) {
        const std::uint32_t* row = m_picture.pixels + y * m_picture.stride;
        int left = 0;
        while (left < m_width && row[left] == 0)
            ++left;
        if (left == m_width)
            continue;
        int right = m_width - 1;
        while (row[right] == 0)
            --right;
        m_inkedBounds |= QRect(left, y, right - left + 1, 1);
        for (int k = 0; k < directions; ++k) {
            const Direction d = direction(k);
            Reach& reach = m_reach[std::size_t(k)];
            for (const int x : {left, right}) {
                const double along = d.x * x + d.y * y;
                if (reach.low > reach.high) {
                    reach.low = along;
                    reach.high = along;
                } else {
                    reach.low = std::min(reach.low, along);
                    reach.high = std::max(reach.high, along);
                }
            }
        }
    }
}

bool TurnedImage::canDrawInto(const QImage& device)
{
    return device.format() == QImage::Format_ARGB32_Premultiplied && !device.isNull();
}

bool TurnedImage::draw(QImage& device, const QTransform& toDevice, const QRectF& target, const QRect& clip) const
{
    if (isNull() || target.isEmpty() || !canDrawInto(device))
        return true;
    if (toDevice.type() == QTransform::TxProject)
        return false;
    // Fixed-point sample positions must stay far from overflowing.
    if (m_width > 16384 || m_height > 16384)
        return false;
    // Picture pixels to device pixels, and back.
    const QTransform toPicture = QTransform::fromScale(target.width() / m_width, target.height() / m_height)
        * QTransform::fromTranslate(target.x(), target.y()) * toDevice;
    bool invertible = false;
    const QTransform back = toPicture.inverted(&invertible);
    if (!invertible || !std::isfinite(back.m11()) || !std::isfinite(back.m12()) || !std::isfinite(back.m21())
        || !std::isfinite(back.m22()) || std::abs(back.m11()) > 4096 || std::abs(back.m12()) > 4096)
        return false;

    const QRect area = toPicture.mapRect(QRectF(0, 0, m_width, m_height))
                           .toAlignedRect()
                           .intersected(clip)
                           .intersected(device.rect());
    if (area.isEmpty() || m_reach[0].low > m_reach[0].high)
        return true;
    const double du = back.m11();
    const double dv = back.m12();
    const std::int32_t stepU = std::int32_t(std::lround(du * fixedOne));
    const std::int32_t stepV = std::int32_t(std::lround(dv * fixedOne));
    const Sides sides = sidesAlong(stepU, stepV);
    // One look at the bitmap's memory, rather than one per row.
    uchar* const bits = device.bits();
    const qsizetype bytesPerLine = device.bytesPerLine();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        // The centre of pixel (x, y) lies at picture coordinates
        // (du·(x + 0.5) + u0, dv·(x + 0.5) + v0); samples sit half a pixel
        // up and left of that, between the four pixels they blend.
        const double u0 = back.m21() * (y + 0.5) + back.dx();
        const double v0 = back.m22() * (y + 0.5) + back.dy();
        double from = area.left();
        double to = area.right() + 1;
        inside(du, u0, m_width, from, to);
        inside(dv, v0, m_height, from, to);
        if (from >= to)
            continue;
        const int x = int(from);
        const SampleSpan::Walk walk{std::int32_t(std::lround((du * (x + 0.5) + u0 - 0.5) * fixedOne)),
                                    std::int32_t(std::lround((dv * (x + 0.5) + v0 - 0.5) * fixedOne)), stepU, stepV};
        std::int64_t first = 0;
        std::int64_t last = int(to) - x;
        inked(sides, walk, first, last);
        if (first >= last)
            continue;
        // The rows below start about where this one does; asking for their
        // memory now hides the wait, which is long when the window system
        // has just read them.
        if (y + 2 <= area.bottom())
            __builtin_prefetch(bits + (y + 2) * bytesPerLine + (x + first) * 4, 1);
        drawRow(reinterpret_cast<std::uint32_t*>(bits + y * bytesPerLine) + x + first, int(last - first),
                advanced(walk, int(first)));
    }
    return true;
}

TurnedImage::Sides TurnedImage::sidesAlong(std::int32_t du, std::int32_t dv) const
{
    Sides sides;
    for (int k = 0; k < directions; ++k) {
        const Reach& reach = m_reach[std::size_t(k)];
        const Direction d = direction(k);
        // A sample reads the pixels less than one pixel from it along each
        // axis, so it can only see ink within that reach of the outline.
        const double slack = std::abs(d.x) + std::abs(d.y) + 1e-6;
        const double step = (d.x * du + d.y * dv) / fixedOne;
        Side& side = sides[std::size_t(k)];
        side.x = d.x / fixedOne;
        side.y = d.y / fixedOne;
        if (std::abs(step) < 1e-9) {
            // Along the side: every step is in or none is.
            side.perStep = 0.0;
            side.low = reach.low - slack;
            side.high = reach.high + slack;
        } else {
            side.perStep = 1.0 / step;
            side.low = (step > 0 ? reach.low - slack : reach.high + slack);
            side.high = (step > 0 ? reach.high + slack : reach.low - slack);
        }
    }
    return sides;
}

void TurnedImage::inked(const Sides& sides, SampleSpan::Walk walk, std::int64_t& first, std::int64_t& last)
{
    for (const Side& side : sides) {
        const double at = side.x * walk.u + side.y * walk.v;
        if (side.perStep == 0.0) {
            if (at < side.low || at > side.high)
                last = first;
            continue;
        }
        // The steps from (low − at) / step to (high − at) / step, a step of
        // leeway either side covering rounding and truncation toward zero.
        const double from = (side.low - at) * side.perStep;
        const double to = (side.high - at) * side.perStep;
        if (from > double(first) + 1.0)
            first = std::int64_t(from) - 1;
        if (to < double(last) - 2.0)
            last = std::int64_t(to) + 2;
    }
}

// Draws one row of device pixels: the steps whose samples may read ink, with
// those near the picture's edges (which repeat) drawn one by one.
void TurnedImage::drawRow(std::uint32_t* row, int count, SampleSpan::Walk walk) const
{
    std::int64_t first = 0;
    std::int64_t last = count;
    within(walk.u, walk.du, 0, std::int64_t(m_width - 1) << 16, first, last);
    within(walk.v, walk.dv, 0, std::int64_t(m_height - 1) << 16, first, last);
    if (first >= last) {
        SampleSpan::draw(row, count, walk, m_picture, false);
        return;
    }
    if (first > 0)
        SampleSpan::draw(row, int(first), walk, m_picture, false);
    if (last < count)
        SampleSpan::draw(row + last, int(count - last), advanced(walk, int(last)), m_picture, false);
    SampleSpan::draw(row + first, int(last - first), advanced(walk, int(first)), m_picture, true);
}

} // namespace pendra
