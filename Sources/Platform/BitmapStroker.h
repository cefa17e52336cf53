#pragma once

#include "CoverageRaster.h"

#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QTransform>

namespace pendra {

// Strokes a path straight into a premultiplied bitmap with our own coverage
// raster instead of the painter's, which spends most of a thin cord's cost on
// its spans. The outline is the painter's own, or for an all but straight run
// the same outline made directly, and its curves are flattened as finely as
// the painter's fill flattens them, so only a few edge pixels differ, by a few
// percent. It keeps its working memory from one stroke to the next.
class BitmapStroker {
public:
    // Lays the stroke over the bitmap, touching only pixels inside clip (device
    // pixels), and says whether it did. It declines, drawing nothing, what the
    // painter draws its own way or what it cannot match: pens other than solid
    // or dashed with one colour, cosmetic pens, pens at most a device pixel
    // wide (hairlines), and transforms that turn, shear or stretch unevenly.
    bool stroke(QImage& bitmap, const QRect& clip, const QPen& pen, const QTransform& toDevice,
                const QPainterPath& path);

private:
    static QPainterPath flattenedForDashes(const QPainterPath& path, double scale);

    CoverageRaster m_raster;
};

} // namespace pendra
