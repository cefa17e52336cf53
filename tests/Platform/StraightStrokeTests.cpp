#include "CoverageRaster.h"
#include "ImageCompare.h"
#include "StraightStroke.h"
#include "Surface.h"

#include <QPainter>

#include <QPainterPathStroker>
#include <QPen>

#include <gtest/gtest.h>

#include <cmath>

namespace pendra {
namespace {

// Fills an outline in colour (opaque black unless told) at scale device pixels
// per unit, within clip (the whole picture unless told), flattened as the
// surface flattens the outlines it fills.
QImage filled(const QPainterPath& outline, double scale, QSize pixels, QRect clip = {}, QRgb colour = 0xff000000u)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    CoverageRaster raster;
    raster.begin(clip.isEmpty() ? image.rect() : clip);
    for (const QPolygonF& polygon : outline.toSubpathPolygons(QTransform::fromScale(2 * scale, 2 * scale))) {
        if (polygon.isEmpty())
            continue;
        raster.moveTo(polygon.front() / 2.0);
        for (qsizetype i = 1; i < polygon.size(); ++i)
            raster.lineTo(polygon[i] / 2.0);
    }
    raster.fill(image, colour);
    return image;
}

QPainterPath paintersOutline(const QPainterPath& path, double width, double scale)
{
    QPainterPathStroker stroker(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    stroker.setCurveThreshold(0.25 / scale);
    return stroker.createStroke(path);
}

// A cord as the cord drawer smooths it: beads along a line at the given angle,
// nudged sideways by wobble, joined by curves through their midpoints.
QPainterPath cord(QPointF pin, double angle, double wobble, int beads = 13, double spacing = 12.5)
{
    const QPointF along(std::cos(angle), std::sin(angle));
    const QPointF across(-along.y(), along.x());
    const auto bead = [&](int i) { return pin + along * (i * spacing) + across * (wobble * std::sin(i * 0.9)); };
    QPainterPath path(bead(0));
    for (int k = 1; k + 1 < beads; ++k)
        path.quadTo(bead(k), (bead(k) + bead(k + 1)) / 2.0);
    path.lineTo(bead(beads - 1));
    return path;
}

// Cords that hang all but straight, as they do in a breeze, are outlined as
// the painter's stroker outlines them: filled, the two differ by at most a
// 256th on any pixel, caps included, at every angle, width and density the
// cords use.
TEST(StraightStroke, OutlinesAStraightCordAsThePaintersStrokerDoes)
{
    const double angles[] = {1.5707963, 1.62, 1.45, 0.0, 0.6, 2.9, -0.35};
    const double widths[] = {1.3, 2.1, 3.2, 5.8};
    const double scales[] = {1.0, 1.5, 2.0};
    for (const double scale : scales) {
        for (const double width : widths) {
            for (const double angle : angles) {
                for (const double wobble : {0.0, 0.004, 0.07}) {
                    const QPainterPath path = cord(QPointF(90.3, 90.6), angle, wobble, 7);
                    const std::optional<QPainterPath> ours = StraightStroke::outline(path, width, scale);
                    ASSERT_TRUE(ours.has_value()) << "angle " << angle << ", wobble " << wobble;
                    const QSize pixels(int(180 * scale), int(180 * scale));
                    const QImage mine = filled(*ours, scale, pixels);
                    const QImage theirs = filled(paintersOutline(path, width, scale), scale, pixels);
                    EXPECT_LE(worstDifference(mine, theirs), 1)
                        << "scale " << scale << ", width " << width << ", angle " << angle << ", wobble " << wobble;
                }
            }
        }
    }
    // A single straight line, too.
    QPainterPath line(QPointF(10.4, 20.2));
    line.lineTo(QPointF(14.9, 150.6));
    const std::optional<QPainterPath> ours = StraightStroke::outline(line, 3.2, 2.0);
    ASSERT_TRUE(ours.has_value());
    EXPECT_LE(worstDifference(filled(*ours, 2.0, QSize(100, 340)),
                              filled(paintersOutline(line, 3.2, 2.0), 2.0, QSize(100, 340))), 1);
}

// The surface feeds the outline straight into its raster, clipped, in any
// colour; that must give exactly what filling the outline as a path gives.
TEST(StraightStroke, FedToTheRasterFillsExactlyAsTheOutlinePath)
{
    struct Case {
        double angle;
        double wobble;
        double width;
        double scale;
        QRect clip; // in device pixels; empty for none
    } cases[] = {{1.5707963, 0.0, 3.2, 1.0, {}},       {1.62, 0.004, 2.1, 1.0, {}},
                 {1.45, 0.004, 5.8, 1.5, {}},          {0.6, 0.0, 1.3, 2.0, {}},
                 {-0.35, 0.004, 3.6, 2.0, {}},         {1.5707963, 0.004, 3.2, 2.0, QRect(150, 40, 60, 200)},
                 {1.55, 0.0, 2.4, 1.25, QRect(0, 150, 200, 40)}};
    const QRgb colours[] = {0xff000000u, qPremultiply(qRgba(74, 48, 8, 128))};
    for (const Case& c : cases) {
        for (const QRgb colour : colours) {
            const QPainterPath path = cord(QPointF(90.3, 90.6), c.angle, c.wobble, 7);
            const QSize pixels(int(180 * c.scale), int(180 * c.scale));
            const QRect clip = c.clip.isEmpty() ? QRect(QPoint(), pixels) : c.clip;
            QImage fed(pixels, QImage::Format_ARGB32_Premultiplied);
            fed.fill(Qt::transparent);
            fed.setDevicePixelRatio(c.scale);
            {
                QPainter painter(&fed);
                painter.setClipRect(QRectF(QPointF(clip.topLeft()) / c.scale, QSizeF(clip.size()) / c.scale));
                Surface surface(painter, c.scale);
                surface.setStrokeColor(QColor::fromRgba(qUnpremultiply(colour)));
                surface.setLineWidth(c.width);
                surface.setLineCap(Qt::RoundCap);
                surface.setLineJoin(Qt::RoundJoin);
                surface.strokePath(path);
            }
            const std::optional<QPainterPath> outline = StraightStroke::outline(path, c.width, c.scale);
            ASSERT_TRUE(outline.has_value());
            const QImage asPath = filled(*outline, c.scale, pixels, clip, colour);
            QImage nothing(pixels, QImage::Format_ARGB32_Premultiplied);
            nothing.fill(Qt::transparent);
            ASSERT_GT(worstDifference(fed, nothing), 100) << "the cord must be drawn";
            EXPECT_EQ(worstDifference(fed, asPath), 0) << "angle " << c.angle << ", scale " << c.scale;
        }
    }
}

// Anything else is left to the painter's stroker: a cord that visibly
// curves, a path that turns, however slightly, or doubles back, more than
// one piece, a point that is not a number, nothing to stroke, or no width.
TEST(StraightStroke, LeavesEveryOtherPathAlone)
{
    QPainterPath corner(QPointF(10, 10));
    corner.lineTo(QPointF(10, 60));
    corner.lineTo(QPointF(60, 60));
    QPainterPath kink(QPointF(10, 10));
    kink.lineTo(QPointF(10, 60));
    kink.lineTo(QPointF(10 + 50 * std::sin(0.05), 60 + 50 * std::cos(0.05)));
    QPainterPath back(QPointF(10, 10));
    back.lineTo(QPointF(10, 60));
    back.lineTo(QPointF(10, 30));
    QPainterPath twoPieces(QPointF(10, 10));
    twoPieces.lineTo(QPointF(10, 60));
    twoPieces.moveTo(QPointF(30, 10));
    twoPieces.lineTo(QPointF(30, 60));
    QPainterPath point(QPointF(10, 10));
    point.lineTo(QPointF(10, 10));
    // A curve whose control points lie on its chord but behind its start.
    QPainterPath loop(QPointF(10, 10));
    loop.cubicTo(QPointF(10, 0), QPointF(10, 50), QPointF(10, 40));
    QPainterPath notANumber(QPointF(10, 10));
    notANumber.cubicTo(QPointF(10, 20), QPointF(std::nan(""), 30), QPointF(10, 40));
    struct Case {
        const char* name;
        QPainterPath path;
        double width;
        double scale;
    } cases[] = {{"a gently swinging cord", cord(QPointF(50, 3), 1.5, 1.5), 3.2, 1.0},
                 {"a cord curving a few hundredths of a pixel off, at density 2", cord(QPointF(50, 3), 1.5, 0.15), 3.2, 2.0},
                 {"a corner", corner, 2.0, 1.0},
                 {"a kink of a twentieth of a radian", kink, 2.0, 1.0},
                 {"a line doubling back", back, 2.0, 1.0},
                 {"two pieces", twoPieces, 2.0, 1.0},
                 {"a single point", point, 2.0, 1.0},
                 {"a curve doubling back along its chord", loop, 2.0, 1.0},
                 {"a control point that is not a number", notANumber, 2.0, 1.0},
                 {"no width", cord(QPointF(50, 3), 1.57, 0.0), 0.0, 1.0},
                 {"an empty path", QPainterPath(), 2.0, 1.0}};
    for (const Case& c : cases)
        EXPECT_FALSE(StraightStroke::outline(c.path, c.width, c.scale).has_value()) << c.name;
}

} // namespace
} // namespace pendra
