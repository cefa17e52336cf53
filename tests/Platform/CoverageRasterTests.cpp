#include "CoverageRaster.h"
#include "ImageCompare.h"

#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

namespace pendra {
namespace {

// Shapes filled by the raster cover each pixel by the share of it they cover,
// as the painter's antialiased fill does, and touch nothing outside the clip.
TEST(CoverageRaster, FillsAsThePainterDoesInsideTheClip)
{
    const QPolygonF slanted({{30.3, 10}, {32.3, 10}, {42.3, 90}, {40.3, 90}});
    const QPolygonF triangle({{5.5, 5.25}, {70.75, 20.5}, {20.125, 60.8}});
    const QPolygonF beyond({{-20, -10}, {60.6, -4}, {50.2, 30.3}, {-15, 40}});
    const QPolygonF star({{40, 5}, {52, 70}, {10, 28}, {70, 28}, {28, 70}});
    const QRect whole(0, 0, 80, 100);
    struct Case {
        QList<QPolygonF> outlines;
        QRect clip;
        QRgb colour;
    } cases[] = {{{slanted}, whole, 0xff000000u},
                 {{triangle}, whole, 0x80402010u},
                 {{beyond}, whole, 0xffe0ae2eu},
                 // Overlapping outlines and a self-crossing one: non-zero winding.
                 {{triangle, slanted}, whole, 0xff8c3a2au},
                 {{star}, whole, 0xc0a08060u},
                 {{triangle, star}, QRect(12, 15, 30, 33), 0xff204060u}};
    for (const Case& c : cases) {
        QImage background(80, 100, QImage::Format_ARGB32_Premultiplied);
        background.fill(Qt::transparent);
        QPainter(&background).fillRect(QRect(40, 0, 40, 100), QColor(30, 90, 160, 200));
        QImage ours = background.copy();
        QImage theirs = background.copy();

        CoverageRaster raster;
        raster.begin(c.clip);
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (const QPolygonF& outline : c.outlines) {
            raster.moveTo(outline.front());
            for (qsizetype i = 1; i < outline.size(); ++i)
                raster.lineTo(outline[i]);
            path.addPolygon(outline);
            path.closeSubpath();
        }
        raster.fill(ours, c.colour);
        {
            QPainter painter(&theirs);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipRect(c.clip);
            painter.fillPath(path, QColor::fromRgba(qUnpremultiply(c.colour)));
        }
        EXPECT_LE(worstDifference(ours, theirs), 2) << "case " << (&c - cases);
        for (int y = 0; y < ours.height(); ++y)
            for (int x = 0; x < ours.width(); ++x) {
                if (!c.clip.contains(x, y)) {
                    ASSERT_EQ(ours.pixel(x, y), background.pixel(x, y)) << "outside the clip at " << x << "," << y;
                }
            }
    }
}

} // namespace
} // namespace pendra
