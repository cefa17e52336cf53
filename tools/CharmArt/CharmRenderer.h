#pragma once

#include "CharmDesign.h"

#include <QImage>
#include <QPointF>

namespace pendra::art {

// Draws a design onto a transparent canvas, sized so the charm is kHeight
// pixels tall, and trims it to the charm.
class CharmRenderer {
public:
    struct Result {
        QImage image;
        // Where the cord attaches, as fractions of the image's width and height.
        QPointF hook;
        // True when paint reached the edge of the canvas, which means the design
        // was cut off and its canvas needs to grow.
        bool clipped = false;
    };

    static Result render(const CharmDesign& design);

    // Every picture is this many pixels tall: a charm at its largest size on
    // a screen of double density is drawn 836 pixels tall, and a picture that
    // only ever shrinks stays sharp.
    static constexpr int kHeight = 848;

private:
    struct Pass {
        QImage canvas;
        QPointF hook;
    };

    // Transparent pixels kept around the charm so that antialiased edges and
    // the app's smoothing when it scales the picture are not cut off.
    static constexpr int kMargin = 4;
    // Extra room around the design's canvas, so that a stroke along its border
    // is not cut off; paint reaching even beyond that is reported as clipped.
    static constexpr int kBleed = 12;

    static Pass paint(const CharmDesign& design, double scale);
    static QRect paintedArea(const QImage& image);
};

} // namespace pendra::art
