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

// The least whole number not below x, and the greatest not above it; x must
// lie well inside the range of a 64-bit integer. Exact, and cheaper than the
// library's calls.
double ceilOf(double x)
{
    const double t = double(std::int64_t(x));
    return t < x ? t + 1.0 : t;
}

double floorOf(double x)
{
    const double t = double(std::int64_t(x));
    return t > x ? t - 1.0 : t;
}

// x rounded to the nearest whole number, halves away from zero, as lround
// does; x must fit a 32-bit integer.
std::int32_t roundOf(double x)
{
    return std::int32_t(std::int64_t(x + (x < 0.0 ? -0.5 : 0.5)));
}

// Keeps bounds that run off to a huge distance (a coordinate that barely
// changes along a row) within what the helpers above take.
double tame(double x)
{
    return std::clamp(x, -1e15, 1e15);
}

// The least whole q with q·b ≥ a, for b > 0 and perB about 1 / b. The
// floating-point quotient comes within one of it; whole-number checks settle
// it exactly.
std::int64_t ceilDiv(std::int64_t a, std::int64_t b, double perB)
{
    std::int64_t q = std::int64_t(double(a) * perB);
    while (q * b < a)
        ++q;
    while ((q - 1) * b >= a)
        --q;
    return q;
}

// Narrows [first, last) to the steps i at which lower ≤ f + i·step < upper;
// perStep is about 1 / |step|.
void within(std::int64_t f, std::int64_t step, double perStep, std::int64_t lower, std::int64_t upper,
            std::int64_t& first, std::int64_t& last)
{
    if (step == 0) {
        if (f < lower || f >= upper)
            last = first;
        return;
    }
    if (step > 0) {
        first = std::max(first, ceilDiv(lower - f, step, perStep));
        last = std::min(last, ceilDiv(upper - f, step, perStep));
    } else {
        first = std::max(first, ceilDiv(f - upper + 1, -step, perStep));
        last = std::min(last, ceilDiv(f - lower + 1, -step, perStep));
    }
}

// Samples lie on a line, so a row whose first and last samples read only the
// picture's own pixels has every sample do so: the usual row, as a sprite's
// margins keep its ink well inside.
bool readsOnlyInside(SampleSpan::Walk walk, int count, const SampleSpan::Picture& picture)
{
    const std::int64_t endU = walk.u + std::int64_t(walk.du) * (count - 1);
    const std::int64_t endV = walk.v + std::int64_t(walk.dv) * (count - 1);
    const std::int64_t limitU = std::int64_t(picture.width - 1) << 16;
    const std::int64_t limitV = std::int64_t(picture.height - 1) << 16;
    return std::min<std::int64_t>(walk.u, endU) >= 0 && std::max<std::int64_t>(walk.u, endU) < limitU
        && std::min<std::int64_t>(walk.v, endV) >= 0 && std::max<std::int64_t>(walk.v, endV) < limitV;
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
        || !std::isfinite(back.m22()) || !std::isfinite(back.dx()) || !std::isfinite(back.dy())
        || std::abs(back.m11()) > 4096 || std::abs(back.m12()) > 4096)
        return false;

    const QRectF mapped = toPicture.mapRect(QRectF(0, 0, m_width, m_height));
    if (m_reach[0].low > m_reach[0].high)
        return true;
    // Device pixels whose samples can read an inked pixel have their centres
    // within a pixel of it, and so within the inked bounds grown by one.
    const QRect area = toPicture.mapRect(QRectF(m_inkedBounds).adjusted(-1, -1, 1, 1))
                           .toAlignedRect()
                           .adjusted(-1, -1, 1, 1)
                           .intersected(mapped.toAlignedRect())
                           .intersected(clip)
                           .intersected(device.rect());
    if (area.isEmpty())
        return true;
    const double du = back.m11();
    const double dv = back.m12();
    const SampleSpan::Walk step{0, 0, std::int32_t(std::lround(du * fixedOne)), std::int32_t(std::lround(dv * fixedOne))};
    const PerStep perStep{step.du != 0 ? 1.0 / std::abs(step.du) : 0.0, step.dv != 0 ? 1.0 / std::abs(step.dv) : 0.0};
    // Each fixed-point step strays up to half a unit from the exact one.
    const Outline outline = outlineFor(back, (mapped.width() + 4.0) / fixedOne);
    const bool alongU = std::abs(du) < 1e-12;
    const bool alongV = std::abs(dv) < 1e-12;
    // The columns whose centres fall inside the picture, along U and V.
    const Line insideU[2] = {alongU ? Line{-1e15, 0.0} : Line{(0.0 - back.dx()) / du - 0.5, -back.m21() / du},
                             alongU ? Line{1e15, 0.0} : Line{(m_width - back.dx()) / du - 0.5, -back.m21() / du}};
    const Line insideV[2] = {alongV ? Line{-1e15, 0.0} : Line{(0.0 - back.dy()) / dv - 0.5, -back.m22() / dv},
                             alongV ? Line{1e15, 0.0} : Line{(m_height - back.dy()) / dv - 0.5, -back.m22() / dv}};
    // Only a picture side that the rows run along can shut a row out whole.
    const bool rowsMayClose = alongU || alongV || outline.alongCount > 0;
    const int lowU = du < 0 ? 1 : 0;
    const int lowV = dv < 0 ? 1 : 0;
    // One look at the bitmap's memory, rather than one per row.
    uchar* const bits = device.bits();
    const double deviceWidth = device.width();
    const qsizetype bytesPerLine = device.bytesPerLine();
    // How far on in the picture's memory a sample lies a few rows down the
    // bitmap: the memory that the rows after this one read is asked for
    // while this one is drawn. Beyond any picture's size it helps nothing.
    constexpr double rowsAhead = 6.0;
    const double aheadU = rowsAhead * back.m21();
    const double aheadV = rowsAhead * back.m22();
    const qsizetype ahead = std::abs(aheadU) < 16384.0 && std::abs(aheadV) < 16384.0
        ? qsizetype(std::lround(aheadV)) * m_picture.stride + qsizetype(std::lround(aheadU))
        : 0;
    // Rows are planned a batch at a time and then drawn: planning one row
    // needs nothing from the last, so the processor overlaps the batch's
    // arithmetic instead of waiting on each row's in turn.
    struct Planned {
        int y;
        int x;
        int count;
        SampleSpan::Walk walk;
    };
    constexpr int batch = 32;
    std::array<Planned, batch> planned;
    // The outline's bounds only need to be generous, not exact, so they
    // move down a row at a time by adding instead of being worked out anew.
    constexpr std::size_t sides = directions;
    std::array<double, sides> inkFroms{};
    std::array<double, sides> inkTos{};
    std::array<double, sides> inkFromSteps{};
    std::array<double, sides> inkToSteps{};
    for (std::size_t i = 0; i < sides; ++i) {
        const double yc = area.top() + 0.5;
        inkFroms[i] = outline.from[i].at + outline.from[i].perRow * yc;
        inkTos[i] = outline.to[i].at + outline.to[i].perRow * yc;
        inkFromSteps[i] = outline.from[i].perRow;
        inkToSteps[i] = outline.to[i].perRow;
    }
    for (int top = area.top(); top <= area.bottom(); top += batch) {
        const int bottom = std::min(area.bottom(), top + batch - 1);
        int rows = 0;
        for (int y = top; y <= bottom; ++y) {
            const double yc = y + 0.5;
            // The centre of pixel (x, y) lies at picture coordinates
            // (du·(x + 0.5) + u0, dv·(x + 0.5) + v0); samples sit half a
            // pixel up and left of that, between the four pixels they blend.
            const double u0 = back.m21() * yc + back.dx();
            const double v0 = back.m22() * yc + back.dy();
            bool open = true;
            if (rowsMayClose) {
                open = (!alongU || (u0 >= 0.0 && u0 < m_width)) && (!alongV || (v0 >= 0.0 && v0 < m_height));
                for (int i = 0; i < outline.alongCount; ++i)
                    open &= outline.along[std::size_t(i)].at + outline.along[std::size_t(i)].perRow * yc >= 0.0;
            }
            double inkFrom = inkFroms[0];
            double inkTo = inkTos[0];
            for (std::size_t i = 1; i < sides; ++i) {
                inkFrom = std::max(inkFrom, inkFroms[i]);
                inkTo = std::min(inkTo, inkTos[i]);
            }
            for (std::size_t i = 0; i < sides; ++i) {
                inkFroms[i] += inkFromSteps[i];
                inkTos[i] += inkToSteps[i];
            }
            const double pictureFrom = ceilOf(tame(std::max(insideU[lowU].at + insideU[lowU].perRow * yc,
                                                            insideV[lowV].at + insideV[lowV].perRow * yc)));
            const double pictureTo = ceilOf(tame(std::min(insideU[1 - lowU].at + insideU[1 - lowU].perRow * yc,
                                                          insideV[1 - lowV].at + insideV[1 - lowV].perRow * yc)));
            // A step of leeway either side of the outline's columns covers
            // the rounding of its bounds.
            const double start = std::max({pictureFrom, double(area.left()), floorOf(tame(inkFrom)) - 1.0});
            const double end = std::min({pictureTo, double(area.right() + 1), floorOf(tame(inkTo)) + 2.0});
            if (!open || start >= end)
                continue;
            // Samples step from the row's first column inside the picture,
            // or the bitmap's left edge, whatever the clip: a partial redraw
            // then samples exactly where a whole one does.
            const int anchor = int(std::clamp(pictureFrom, 0.0, deviceWidth));
            const int x = int(start);
            const SampleSpan::Walk walk{roundOf((du * (anchor + 0.5) + u0 - 0.5) * fixedOne),
                                        roundOf((dv * (anchor + 0.5) + v0 - 0.5) * fixedOne), step.du, step.dv};
            planned[std::size_t(rows++)] = Planned{y, x, int(end) - x, advanced(walk, x - anchor)};
        }
        for (int i = 0; i < rows; ++i) {
            const Planned& row = planned[std::size_t(i)];
            // The next row's memory is asked for while this one is drawn;
            // the wait is long when the window system has just read it.
            if (i + 1 < rows)
                __builtin_prefetch(bits + planned[std::size_t(i + 1)].y * bytesPerLine + planned[std::size_t(i + 1)].x * 4, 1);
            auto* const out = reinterpret_cast<std::uint32_t*>(bits + row.y * bytesPerLine) + row.x;
            if (readsOnlyInside(row.walk, row.count, m_picture))
                SampleSpan::draw(out, row.count, row.walk, m_picture, true, ahead);
            else
                drawRow(out, row.count, row.walk, perStep, ahead);
        }
    }
    return true;
}

TurnedImage::Outline TurnedImage::outlineFor(const QTransform& back, double drift) const
{
    Outline outline;
    for (int k = 0; k < directions; ++k) {
        const Reach& reach = m_reach[std::size_t(k)];
        const Direction d = direction(k);
        // A sample reads the pixels less than one pixel from it along each
        // axis, so it can only see ink within that reach of the outline.
        const double slack = (std::abs(d.x) + std::abs(d.y)) * (1.0 + drift) + 1e-6;
        const double low = reach.low - slack;
        const double high = reach.high + slack;
        // How far along this direction the sample of device pixel (x, y)
        // lies: step·(x + 0.5) + c + perRow·(y + 0.5).
        const double step = d.x * back.m11() + d.y * back.m12();
        const double c = d.x * (back.dx() - 0.5) + d.y * (back.dy() - 0.5);
        const double perRow = d.x * back.m21() + d.y * back.m22();
        if (std::abs(step) < 1e-9) {
            // Along the side: a row is in or out, give or take what it
            // drifts over the widest bitmap.
            const double reachOfRow = std::abs(step) * 65536.0;
            outline.along[std::size_t(outline.alongCount++)] = Line{c - low + reachOfRow, perRow};
            outline.along[std::size_t(outline.alongCount++)] = Line{high - c + reachOfRow, -perRow};
            outline.from[std::size_t(k)] = Line{-1e15, 0.0};
            outline.to[std::size_t(k)] = Line{1e15, 0.0};
            continue;
        }
        Line first{tame((low - c) / step - 0.5), tame(-perRow / step)};
        Line last{tame((high - c) / step - 0.5), tame(-perRow / step)};
        if (step < 0)
            std::swap(first, last);
        outline.from[std::size_t(k)] = first;
        outline.to[std::size_t(k)] = last;
    }
    return outline;
}

// Draws one row of device pixels: the steps whose samples may read ink, with
// those near the picture's edges (which repeat) drawn one by one.
void TurnedImage::drawRow(std::uint32_t* row, int count, SampleSpan::Walk walk, PerStep perStep, qsizetype ahead) const
{
    std::int64_t first = 0;
    std::int64_t last = count;
    within(walk.u, walk.du, perStep.u, 0, std::int64_t(m_width - 1) << 16, first, last);
    within(walk.v, walk.dv, perStep.v, 0, std::int64_t(m_height - 1) << 16, first, last);
    if (first >= last) {
        SampleSpan::draw(row, count, walk, m_picture, false);
        return;
    }
    if (first > 0)
        SampleSpan::draw(row, int(first), walk, m_picture, false);
    if (last < count)
        SampleSpan::draw(row + last, int(count - last), advanced(walk, int(last)), m_picture, false);
    SampleSpan::draw(row + first, int(last - first), advanced(walk, int(first)), m_picture, true, ahead);
}

} // namespace pendra
