#include "AlphaShape.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace pendra {
namespace {

using Span = AlphaShape::Span;

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

TEST(AlphaShape, KeepsPixelsAtLeastHalfOpaqueAndMakesThemOpaque)
{
    QImage image = blank(10, 3);
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(1));
    row[2] = qRgba(100, 50, 0, 200); // premultiplied: orange at about 78 %
    row[3] = qRgba(128, 0, 0, 128);  // exactly at the threshold
    row[4] = qRgba(127, 0, 0, 127);  // just below
    row[6] = qRgba(0, 0, 0, 255);
    row[7] = qRgba(20, 20, 20, 66);  // a faint shadow
    AlphaShape shape;
    shape.reset(3);
    shape.update(image, image.rect());
    EXPECT_TRUE(shape.row(0).empty());
    EXPECT_EQ(shape.row(1), (std::vector<Span>{{2, 4}, {6, 7}}));
    EXPECT_EQ(row[2], qRgba(127, 63, 0, 255)) << "its own colour, opaque";
    EXPECT_EQ(row[3], qRgba(255, 0, 0, 255));
    EXPECT_EQ(row[4], qRgba(127, 0, 0, 127)) << "left alone outside the shape";
    EXPECT_EQ(row[7], qRgba(20, 20, 20, 66));
}

TEST(AlphaShape, ARepaintedAreaReplacesOnlyItsOwnColumns)
{
    QImage image = blank(20, 2);
    {
        QPainter p(&image);
        p.fillRect(QRect(2, 0, 14, 2), Qt::red);
    }
    AlphaShape shape;
    shape.reset(2);
    shape.update(image, image.rect());
    ASSERT_EQ(shape.row(0), (std::vector<Span>{{2, 16}}));

    // A hole punched in the middle of the columns 5 to 9, then re-read there.
    {
        QPainter p(&image);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(QRect(6, 0, 2, 1), Qt::transparent);
    }
    shape.update(image, QRect(5, 0, 5, 2));
    EXPECT_EQ(shape.row(0), (std::vector<Span>{{2, 6}, {8, 16}}));
    EXPECT_EQ(shape.row(1), (std::vector<Span>{{2, 16}})) << "spans across the seams join up again";

    const std::vector<QRect> rects = shape.rectangles();
    EXPECT_EQ(rects, (std::vector<QRect>{QRect(2, 0, 4, 1), QRect(8, 0, 8, 1), QRect(2, 1, 14, 1)}));
}

TEST(AlphaShape, EqualRowsBecomeOneRectangleAndAreasOutsideAreIgnored)
{
    QImage image = blank(8, 6);
    {
        QPainter p(&image);
        p.fillRect(QRect(1, 1, 3, 4), Qt::blue);
    }
    AlphaShape shape;
    shape.reset(6);
    shape.update(image, QRect(-10, -10, 100, 100));
    EXPECT_EQ(shape.rectangles(), (std::vector<QRect>{QRect(1, 1, 3, 4)}));
    shape.update(image, QRect(50, 50, 4, 4));
    EXPECT_EQ(shape.rectangles(), (std::vector<QRect>{QRect(1, 1, 3, 4)}));
    shape.reset(6);
    EXPECT_TRUE(shape.rectangles().empty());
}

} // namespace
} // namespace pendra
