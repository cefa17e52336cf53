#include "ImageCompare.h"
#include "Surface.h"
#include "TurnedImage.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace pendra {
namespace {

QImage filled(QSize size, double density)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(200, 30, 30));
    image.setDevicePixelRatio(density);
    return image;
}

// Clearing in memory and drawing pictures straight into the bitmap touch
// exactly the pixels the painter would, whatever its clip and density (for
// pictures whose edges fall between device pixels).
TEST(Surface, ClearsAndDrawsStraightWithinThePaintersClip)
{
    struct Case {
        double density;
        QRect clip;
        QRectF clear;
    } cases[] = {{1.0, QRect(10, 10, 50, 30), QRectF(0, 0, 100, 60)},
                 {2.0, QRect(10, 10, 50, 30), QRectF(20, 5, 30, 80)},
                 {1.25, QRect(7, 3, 41, 29), QRectF(0, 0, 100, 60)},
                 {1.5, QRect(0, 0, 0, 0), QRectF(4, 4, 20, 20)}};
    QImage opaque(40, 40, QImage::Format_ARGB32_Premultiplied);
    opaque.fill(QColor(10, 200, 10));
    for (const Case& c : cases) {
        const QSize pixels(int(100 * c.density), int(60 * c.density));
        QImage direct = filled(pixels, c.density);
        QImage painted = filled(pixels, c.density);
        {
            QPainter painter(&direct);
            if (!c.clip.isNull())
                painter.setClipRect(c.clip);
            Surface surface(painter, c.density);
            surface.clear(c.clear);
            surface.drawImage(TurnedImage(opaque), QRectF(32, 20, 16, 16));
        }
        {
            QPainter painter(&painted);
            if (!c.clip.isNull())
                painter.setClipRect(c.clip);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(c.clear, Qt::transparent);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(32, 20, 16, 16), opaque);
        }
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x)
                ASSERT_EQ(direct.pixel(x, y), painted.pixel(x, y)) << "density " << c.density << " at " << x << "," << y;
    }
}

// Told where the bitmap is not transparent, clearing touches only those
// pixels inside its rectangle; what it notes as drawn is in device pixels
// with a pixel to spare.
TEST(Surface, ClearsOnlyWhereTheBitmapIsInked)
{
    QImage image = filled(QSize(200, 120), 2.0);
    const QRegion inked = QRegion(10, 10, 40, 40) + QRegion(150, 0, 50, 120);
    {
        QPainter painter(&image);
        Surface surface(painter, 2.0);
        surface.setInked(&inked);
        surface.clear(QRectF(0, 0, 90, 60));
        surface.noteDrawn(QRectF(10.25, 5, 20, 10));
        EXPECT_EQ(surface.drawn(), QRegion(19, 9, 43, 22));
    }
    for (const QPoint p : {QPoint(10, 10), QPoint(49, 49), QPoint(150, 0), QPoint(179, 119)})
        EXPECT_EQ(qAlpha(image.pixel(p)), 0) << "inked and inside the rectangle: " << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(9, 10), QPoint(50, 30), QPoint(100, 100), QPoint(180, 60), QPoint(120, 5)})
        EXPECT_EQ(image.pixel(p), QColor(200, 30, 30).rgba()) << "left alone: " << p.x() << "," << p.y();
}

// Solid strokes filled by our own raster look as the painter draws them: a
// cord's gentle curve, a braid's zigzag of sharp joins and a straight line, at
// the widths the cords use and at whole and fractional densities.
TEST(Surface, StraightStrokesLookAsThePaintersDo)
{
    QPainterPath cord(QPointF(60.3, 3.7));
    for (int i = 1; i < 17; ++i) {
        const QPointF bead(60.3 + 22 * std::sin(i * 0.27), 3.7 + i * 9.6);
        const QPointF next(60.3 + 22 * std::sin((i + 1) * 0.27), 3.7 + (i + 1) * 9.6);
        cord.quadTo(bead, (bead + next) / 2);
    }
    QPainterPath zigzag(QPointF(20, 10));
    for (int i = 1; i < 40; ++i)
        zigzag.lineTo(QPointF(20 + 2.5 * std::sin(0.72 * i) + (i % 2) * 0.8, 10 + i * 3.0));
    QPainterPath line(QPointF(100.4, 20.2));
    line.lineTo(QPointF(104.9, 150.6));

    struct Case {
        double density;
        double width;
        QColor colour;
        QList<double> dash = {};
    } cases[] = {{1.0, 3.2, QColor(74, 48, 8, 128)},
                 {1.0, 2.1, QColor(224, 174, 46)},
                 {1.0, 1.3, QColor(47, 28, 10, 166)},
                 {1.0, 5.8, QColor(51, 32, 15)},
                 {2.0, 3.2, QColor(74, 48, 8, 128)},
                 {2.0, 2.1, QColor(224, 174, 46)},
                 {2.0, 0.8, QColor(255, 243, 189, 217)},
                 {1.25, 3.6, QColor(92, 15, 28, 153)},
                 {1.5, 3.4, QColor(140, 58, 42)},
                 {1.5, 5.4, QColor(36, 18, 7, 89)},
                 {2.0, 0.8, QColor(255, 243, 189, 217), {6, 5}},
                 {2.0, 1.0, QColor(240, 128, 152, 128), {3, 4}},
                 {1.5, 1.0, QColor(240, 128, 152, 128), {3, 4}},
                 {1.0, 2.5, QColor(30, 30, 200), {4, 2.5}}};
    for (const Case& c : cases) {
        for (const QPainterPath* path : {&cord, &zigzag, &line}) {
            const QSize pixels(int(140 * c.density), int(180 * c.density));
            // Half the picture over opaque red, half over nothing.
            QImage ours = filled(pixels, c.density);
            {
                QPainter clearing(&ours);
                clearing.setCompositionMode(QPainter::CompositionMode_Source);
                clearing.fillRect(QRectF(0, 0, 70, 180), Qt::transparent);
            }
            QImage theirs = ours.copy();
            theirs.setDevicePixelRatio(c.density);
            QPen pen(c.colour, c.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            if (!c.dash.isEmpty()) {
                QList<qreal> pattern;
                for (const double length : c.dash)
                    pattern.append(length / c.width);
                pen.setDashPattern(pattern);
            }
            {
                QPainter painter(&ours);
                Surface surface(painter, c.density);
                surface.setStrokeColor(c.colour);
                surface.setLineWidth(c.width);
                surface.setLineCap(Qt::RoundCap);
                surface.setLineJoin(Qt::RoundJoin);
                if (!c.dash.isEmpty())
                    surface.setLineDash(0.0, c.dash);
                surface.strokePath(*path);
            }
            {
                QPainter painter(&theirs);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.strokePath(*path, pen);
            }
            // Curves and round joins are flattened at slightly different
            // points, so a few edge pixels differ, by at most a tenth; nothing
            // may shift as a whole.
            double total = 0;
            for (int y = 0; y < pixels.height(); ++y)
                for (int x = 0; x < pixels.width(); ++x)
                    total += std::abs(qAlpha(ours.pixel(x, y)) - qAlpha(theirs.pixel(x, y)))
                        + std::abs(qRed(ours.pixel(x, y)) - qRed(theirs.pixel(x, y)));
            EXPECT_LE(worstDifference(ours, theirs), 25)
                << "density " << c.density << ", width " << c.width << (c.dash.isEmpty() ? "" : ", dashed");
            EXPECT_LT(total / (pixels.width() * pixels.height()), 0.04)
                << "density " << c.density << ", width " << c.width << (c.dash.isEmpty() ? "" : ", dashed");
        }
    }
}

TEST(Surface, DrawsThroughThePainterWhereItCannotGoStraight)
{
    QImage opaque(20, 20, QImage::Format_ARGB32_Premultiplied);
    opaque.fill(QColor(10, 200, 10));
    QImage image = filled(QSize(60, 60), 1.0);
    image.fill(Qt::transparent);
    {
        Surface surface(image);
        surface.save();
        QPainterPath left;
        left.addRect(0, 0, 30, 60);
        surface.clip(left);
        surface.drawImage(TurnedImage(opaque), QRectF(20, 20, 20, 20));
        surface.restore();
        surface.setShadow(QColor(0, 0, 0, 128), QPointF(0, 6), 2);
        surface.drawImage(TurnedImage(opaque), QRectF(20, 0, 10, 10));
    }
    EXPECT_EQ(image.pixel(25, 30), opaque.pixel(0, 0)) << "inside the path clip";
    EXPECT_EQ(qAlpha(image.pixel(35, 30)), 0) << "the path clip holds";
    EXPECT_GT(qAlpha(image.pixel(25, 14)), 0) << "the shadow is drawn";
}

} // namespace
} // namespace pendra
