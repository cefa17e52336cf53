#pragma once

#include "SampleSpan.h"

#include <QImage>
#include <QRect>
#include <QTransform>

#include <cstdint>
#include <vector>

namespace pendra {

// A premultiplied picture made to be drawn many times, turned, moved and
// smoothly resampled, straight into a premultiplied bitmap. It remembers
// which blocks of it are fully transparent, so drawing skips them: a charm's
// sprite is mostly clear margin and shadow fringe.
//
// Sampling follows QPainter's smooth transformed drawing: every device pixel
// whose centre falls inside the drawn rectangle takes the bilinear blend of the
// four nearest picture pixels, edges repeated, laid over what is there.
class TurnedImage {
public:
    TurnedImage() = default;
    // Any format; kept as premultiplied ARGB.
    explicit TurnedImage(const QImage& image);

    bool isNull() const { return m_image.isNull(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const QImage& image() const { return m_image; }

    // Whether draw can paint into this bitmap.
    static bool canDrawInto(const QImage& device);
    // Draws the picture to fill target, a rectangle in the coordinates that
    // toDevice maps to device pixels, source over, touching only device pixels
    // inside clip. False when the transform is not one draw handles (a
    // perspective or a degenerate one): then nothing was drawn.
    bool draw(QImage& device, const QTransform& toDevice, const QRectF& target, const QRect& clip) const;

    static constexpr int blockShift = 4;

private:
    // What every pixel that the samples of a block may read has in common;
    // the bits combine with and.
    enum Block : std::uint8_t { mixed = 0, clear = 1, opaque = 2 };

    void drawRow(std::uint32_t* row, int count, SampleSpan::Walk walk) const;

    QImage m_image;
    SampleSpan::Picture m_picture;
    int m_width = 0;
    int m_height = 0;
    std::vector<Block> m_blocks;
    int m_blocksWide = 0;
};

} // namespace pendra
