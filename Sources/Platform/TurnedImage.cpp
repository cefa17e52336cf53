#include "TurnedImage.h"

#include <algorithm>
#include <cmath>

namespace pendra {

namespace {

constexpr int blockSize = 1 << TurnedImage::blockShift;
constexpr double fixedOne = 65536.0;

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
    // Samples sit between pixels: sample position s reads pixels s − 1 and s,
    // for s from 0 to the width. The samples of block b therefore read the
    // pixels from b·size − 1 to b·size + size − 1, in both directions.
    m_blocksWide = (m_width >> blockShift) + 1;
    const int blocksHigh = (m_height >> blockShift) + 1;
    const std::size_t blocks = std::size_t(m_blocksWide) * std::size_t(blocksHigh);
    std::vector<std::uint8_t> inked(blocks, 0);
    std::vector<std::uint8_t> solid(blocks, 1);
    std::vector<std::uint8_t> rowInked(static_cast<std::size_t>(m_blocksWide));
    std::vector<std::uint8_t> rowSolid(static_cast<std::size_t>(m_blocksWide));
    for (int y = 0; y < m_height; ++y) {
        const std::uint32_t* row = m_picture.pixels + y * m_picture.stride;
        for (int bx = 0; bx < m_blocksWide; ++bx) {
            const int first = std::max(0, bx * blockSize - 1);
            const int last = std::min(m_width - 1, bx * blockSize + blockSize - 1);
            std::uint32_t any = 0;
            std::uint32_t all = 0xff000000u;
            for (int x = first; x <= last; ++x) {
                any |= row[x];
                all &= row[x];
            }
            rowInked[std::size_t(bx)] = any != 0;
            rowSolid[std::size_t(bx)] = all >= 0xff000000u;
        }
        // Row y is read by the samples of block (y + 1) >> shift, and also of
        // the block above when it is that block's last row.
        const int below = (y + 1) >> blockShift;
        const int above = ((y + 1) & (blockSize - 1)) == 0 ? below - 1 : below;
        for (int by = above; by <= std::min(below, blocksHigh - 1); ++by) {
            std::uint8_t* ink = inked.data() + std::size_t(by) * std::size_t(m_blocksWide);
            std::uint8_t* full = solid.data() + std::size_t(by) * std::size_t(m_blocksWide);
            for (int bx = 0; bx < m_blocksWide; ++bx) {
                ink[bx] |= rowInked[std::size_t(bx)];
                full[bx] &= rowSolid[std::size_t(bx)];
            }
        }
    }
    m_blocks.resize(blocks);
    for (std::size_t i = 0; i < blocks; ++i)
        m_blocks[i] = !inked[i] ? clear : solid[i] ? opaque : mixed;
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
    if (area.isEmpty())
        return true;
    const double du = back.m11();
    const double dv = back.m12();
    const std::int32_t stepU = std::int32_t(std::lround(du * fixedOne));
    const std::int32_t stepV = std::int32_t(std::lround(dv * fixedOne));
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
        drawRow(reinterpret_cast<std::uint32_t*>(device.scanLine(y)) + x, int(to) - x, walk);
    }
    return true;
}

// Draws one row of device pixels. Where every sample reads pixels of the
// picture, the row is taken in groups of sixteen pixels; the blocks a group's
// samples fall in tell whether it can be skipped (all clear) or simply
// overwritten (all opaque), and neighbouring groups of one kind are drawn as
// one run. Near the picture's edges pixels are drawn one by one.
void TurnedImage::drawRow(std::uint32_t* row, int count, SampleSpan::Walk walk) const
{
    std::int64_t first = 0;
    std::int64_t last = count;
    within(walk.u, walk.du, 0, std::int64_t(m_width - 1) << 16, first, last);
    within(walk.v, walk.dv, 0, std::int64_t(m_height - 1) << 16, first, last);
    if (first >= last) {
        SampleSpan::draw(row, count, walk, m_picture, false, false);
        return;
    }
    SampleSpan::draw(row, int(first), walk, m_picture, false, false);
    SampleSpan::draw(row + last, int(count - last), advanced(walk, int(last)), m_picture, false, false);

    constexpr int group = 16;
    // A group's samples then span at most two blocks along each axis.
    if (std::abs(walk.du) * (group - 1) > blockSize * 65536 || std::abs(walk.dv) * (group - 1) > blockSize * 65536) {
        SampleSpan::draw(row + first, int(last - first), advanced(walk, int(first)), m_picture, true, false);
        return;
    }
    const auto kindAt = [this](std::int32_t u0, std::int32_t v0, std::int32_t u1, std::int32_t v1) {
        const std::size_t left = std::size_t(((u0 >> 16) + 1) >> blockShift);
        const std::size_t right = std::size_t(((u1 >> 16) + 1) >> blockShift);
        const std::size_t top = std::size_t(((v0 >> 16) + 1) >> blockShift) * std::size_t(m_blocksWide);
        const std::size_t bottom = std::size_t(((v1 >> 16) + 1) >> blockShift) * std::size_t(m_blocksWide);
        // Clear and opaque are separate bits: a group is only what all its blocks are.
        return Block(m_blocks[top + left] & m_blocks[top + right] & m_blocks[bottom + left] & m_blocks[bottom + right]);
    };
    const SampleSpan::Walk inner = advanced(walk, int(first));
    const int length = int(last - first);
    row += first;
    int start = 0;
    Block pending = clear;
    std::int32_t u = inner.u;
    std::int32_t v = inner.v;
    for (int at = 0; at < length; at += group, u += inner.du * group, v += inner.dv * group) {
        const int span = std::min(group, length - at) - 1;
        const Block kind = kindAt(u, v, u + inner.du * span, v + inner.dv * span);
        if (kind != pending) {
            if (pending != clear)
                SampleSpan::draw(row + start, at - start, advanced(inner, start), m_picture, true, pending == opaque);
            pending = kind;
            start = at;
        }
    }
    if (pending != clear)
        SampleSpan::draw(row + start, length - start, advanced(inner, start), m_picture, true, pending == opaque);
}

} // namespace pendra
