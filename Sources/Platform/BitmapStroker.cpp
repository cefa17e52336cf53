#include "BitmapStroker.h"

#include "CubicFlattener.h"
#include "StraightStroke.h"

#include <QPainterPathStroker>

namespace pendra {

namespace {

// Feeds an outline to the raster in device pixels, its curves flattened at
// twice the size as the painter's fill flattens them.
class RasterFeed : public StraightStroke::Builder {
public:
    RasterFeed(CoverageRaster& raster, const QTransform& doubled) : m_raster(raster), m_doubled(doubled) {}

    void moveTo(QPointF to) override
    {
        m_last = m_doubled.map(to);
        m_raster.moveTo(m_last / 2.0);
    }
    void lineTo(QPointF to) override
    {
        m_last = m_doubled.map(to);
        m_raster.lineTo(m_last / 2.0);
    }
    void cubicTo(QPointF c1, QPointF c2, QPointF to) override
    {
        const QPointF end = m_doubled.map(to);
        CubicFlattener::flatten(m_last, m_doubled.map(c1), m_doubled.map(c2), end,
                                [this](QPointF point) { m_raster.lineTo(point / 2.0); });
        m_last = end;
    }

private:
    CoverageRaster& m_raster;
    const QTransform& m_doubled;
    // The last point, at twice the size.
    QPointF m_last;
};

} // namespace

bool BitmapStroker::stroke(QImage& bitmap, const QRect& clip, const QPen& pen, const QTransform& toDevice,
                           const QPainterPath& path)
{
    const bool dashed = pen.style() == Qt::CustomDashLine;
    if ((pen.style() != Qt::SolidLine && !dashed) || pen.brush().style() != Qt::SolidPattern || pen.isCosmetic())
        return false;
    if (toDevice.type() > QTransform::TxScale || toDevice.m11() != toDevice.m22() || toDevice.m11() <= 0.0)
        return false;
    const double scale = toDevice.m11();
    // The painter draws pens at most a device pixel wide as hairlines.
    if (pen.widthF() * scale <= 1.0)
        return false;

    // Flattening at twice the size halves the flatness allowed, which is
    // what the painter's fill allows itself.
    const QTransform doubled = toDevice * QTransform::fromScale(2.0, 2.0);
    m_raster.begin(clip);
    // A cord hanging all but straight, as in a breeze, is outlined directly
    // into the raster: the stroker would give the same outline at several
    // times the cost.
    bool traced = false;
    if (!dashed && pen.capStyle() == Qt::RoundCap && pen.joinStyle() == Qt::RoundJoin) {
        RasterFeed feed(m_raster, doubled);
        traced = StraightStroke::trace(path, pen.widthF(), scale, feed);
    }
    if (!traced) {
        // The painter's own outline, with the curve threshold the painter
        // uses at this scale, and for dashes the path flattened as the
        // painter flattens it.
        QPainterPathStroker stroker(pen);
        stroker.setCurveThreshold(0.25 / scale);
        const QPainterPath outline = stroker.createStroke(dashed ? flattenedForDashes(path, scale) : path);
        for (const QPolygonF& polygon : outline.toSubpathPolygons(doubled)) {
            if (polygon.isEmpty())
                continue;
            m_raster.moveTo(polygon.front() / 2.0);
            for (qsizetype i = 1; i < polygon.size(); ++i)
                m_raster.lineTo(polygon[i] / 2.0);
        }
    }
    m_raster.fill(bitmap, pen.color().rgba64().premultiplied().toArgb32());
    return true;
}

// The painter measures dashes along the path flattened to half a device
// pixel, the stroker on its own along the path flattened to half a point, and
// the dashes fall differently. Given the path already flattened as the painter
// flattens it, the stroker lays the dashes where the painter does. Flattening
// the path at device size, where half a pixel is the flattening's own
// allowance, gives the painter's flattening.
QPainterPath BitmapStroker::flattenedForDashes(const QPainterPath& path, double scale)
{
    QPainterPath flat;
    const QTransform back = QTransform::fromScale(1.0 / scale, 1.0 / scale);
    for (const QPolygonF& polygon : path.toSubpathPolygons(QTransform::fromScale(scale, scale))) {
        if (polygon.isEmpty())
            continue;
        flat.moveTo(back.map(polygon.front()));
        for (qsizetype i = 1; i < polygon.size(); ++i)
            flat.lineTo(back.map(polygon[i]));
    }
    return flat;
}

} // namespace pendra
