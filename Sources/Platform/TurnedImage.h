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

    // A bound on the device columns a row may draw, straight across the
    // rows: at row y it lies at column at + perRow·(y + 0.5).
    struct Line {
        double at = 0.0;
        double perRow = 0.0;
    };
    // Where the inked outline lets each row start and end, for one transform.
    // A side the rows run along bounds no columns (its lines stay out of the
    // way); it lets a row through whole or not at all, as its two along
    // lines are both at least 0 or not.
    struct Outline {
        std::array<Line, directions> from{};
        std::array<Line, directions> to{};
        std::array<Line, 2 * directions> along{};
        int alongCount = 0;
    };

    // back maps device pixels to picture pixels; drift is how far, in picture
    // pixels, a row's fixed-point samples may stray from exact ones.
    Outline outlineFor(const QTransform& back, double drift) const;
    // About the inverse of the sizes of a walk's fixed-point steps, 0 for a
    // step of nothing.
    struct PerStep {
        double u = 0.0;
        double v = 0.0;
    };
    void drawRow(std::uint32_t* row, int count, SampleSpan::Walk walk, PerStep perStep, qsizetype ahead) const;

    QImage m_image;
    SampleSpan::Picture m_picture;
    int m_width = 0;
    int m_height = 0;
    std::array<Reach, directions> m_reach;
    QRect m_inkedBounds;
};

} // namespace pendra
