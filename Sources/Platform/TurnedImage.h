#pragma once

#include "SampleSpan.h"

#include <QImage>
#include <QRect>
#include <QTransform>

#include <array>
#include <cstdint>

namespace pendra {

// A premultiplied picture made to be drawn many times, turned, moved and
// smoothly resampled, straight into a premultiplied bitmap. It remembers a
// convex outline around its inked pixels, so each row drawn starts and ends
// where ink can be: a charm's sprite has wide clear margins for its shadow,
// and turned, its corners sweep a lot of empty rows.
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
    // The picture pixels that are not fully transparent, as a bounding
    // rectangle; empty when none are. Drawing touches only device pixels
    // whose samples lie within a pixel of it.
    QRect inkedBounds() const { return m_inkedBounds; }

    // Whether draw can paint into this bitmap.
    static bool canDrawInto(const QImage& device);
    // Draws the picture to fill target, a rectangle in the coordinates that
    // toDevice maps to device pixels, source over, touching only device pixels
    // inside clip. False when the transform is not one draw handles (a
    // perspective or a degenerate one): then nothing was drawn.
    bool draw(QImage& device, const QTransform& toDevice, const QRectF& target, const QRect& clip) const;

    // The outline has a side across each of this many directions.
    static constexpr int directions = 6;

private:
    // How far the inked pixels reach along one direction.
    struct Reach {
        double low = 0.0;
        double high = -1.0;
    };

    // A side of the outline as seen by walks of one step: from a walk's first
    // sample (u, v), in 16.16 fixed point, the steps up to the side are those
    // before (low − x·u − y·v) · perStep, and those past it are those after
    // (high − x·u − y·v) · perStep. perStep is 0 for walks along the side,
    // which are either within low and high or not at all.
    struct Side {
        double x = 0.0;
        double y = 0.0;
        double low = 0.0;
        double high = 0.0;
        double perStep = 0.0;
    };
    using Sides = std::array<Side, directions>;

    Sides sidesAlong(std::int32_t du, std::int32_t dv) const;
    // Narrows [first, last) to the steps whose samples may read ink.
    static void inked(const Sides& sides, SampleSpan::Walk walk, std::int64_t& first, std::int64_t& last);
    void drawRow(std::uint32_t* row, int count, SampleSpan::Walk walk) const;

    QImage m_image;
    SampleSpan::Picture m_picture;
    int m_width = 0;
    int m_height = 0;
    std::array<Reach, directions> m_reach;
    QRect m_inkedBounds;
};

} // namespace pendra
