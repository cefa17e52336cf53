#include "BitmapStroker.h"

#include <QLinearGradient>

#include <gtest/gtest.h>

namespace pendra {
namespace {

QImage background()
{
    QImage image(80, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(200, 30, 30));
    return image;
}

QPainterPath diagonal()
{
    QPainterPath path(QPointF(10.3, 5.2));
    path.cubicTo(QPointF(30, 20), QPointF(20, 40), QPointF(35.6, 70.1));
    return path;
}

// What the painter draws its own way is declined and left untouched, right at
// the hairline's edge too; everything else is drawn.
TEST(BitmapStroker, DrawsOnlyWhatItCanMatch)
{
    const QPen solid(QColor(40, 60, 200), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPen dashed = solid;
    dashed.setDashPattern({3.0, 2.0});
    QPen dotted = solid;
    dotted.setStyle(Qt::DotLine);
    QPen cosmetic = solid;
    cosmetic.setCosmetic(true);
    QPen gradient = solid;
    gradient.setBrush(QLinearGradient(0, 0, 80, 80));
    QPen flat = solid;
    flat.setCapStyle(Qt::FlatCap);
    flat.setJoinStyle(Qt::MiterJoin);
    QPen hairline = solid;
    hairline.setWidthF(0.5);
    QPen justWider = solid;
    justWider.setWidthF(0.5001);

    struct Case {
        const char* name;
        QPen pen;
        QTransform toDevice;
        bool drawn;
    } cases[] = {
        {"solid, round", solid, QTransform(), true},
        {"solid, flat and mitred", flat, QTransform(), true},
        {"dashed", dashed, QTransform(), true},
        {"at density 2", solid, QTransform::fromScale(2, 2), true},
        {"moved", solid, QTransform::fromTranslate(3.5, -2), true},
        {"just over a device pixel", justWider, QTransform::fromScale(2, 2), true},
        {"exactly a device pixel", hairline, QTransform::fromScale(2, 2), false},
        {"dotted", dotted, QTransform(), false},
        {"cosmetic", cosmetic, QTransform(), false},
        {"gradient", gradient, QTransform(), false},
        {"turned", solid, QTransform().rotate(10), false},
        {"stretched", solid, QTransform::fromScale(2, 1), false},
        {"mirrored", solid, QTransform::fromScale(-1, -1), false},
    };
    BitmapStroker stroker;
    for (const Case& c : cases) {
        QImage image = background();
        const QImage before = image.copy();
        EXPECT_EQ(stroker.stroke(image, image.rect(), c.pen, c.toDevice, diagonal()), c.drawn) << c.name;
        EXPECT_EQ(image != before, c.drawn) << c.name;
    }
}

// Only pixels inside the clip change, and the working memory kept from an
// earlier, larger stroke does not leak into the next one.
TEST(BitmapStroker, StaysInsideTheClip)
{
    const QPen pen(QColor(40, 60, 200), 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QRect clip(20, 10, 30, 40);
    BitmapStroker stroker;
    QImage wide = background();
    ASSERT_TRUE(stroker.stroke(wide, wide.rect(), pen, QTransform(), diagonal()));

    QImage image = background();
    ASSERT_TRUE(stroker.stroke(image, clip, pen, QTransform(), diagonal()));
    const QRgb untouched = background().pixel(0, 0);
    int changedInside = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!clip.contains(x, y)) {
                ASSERT_EQ(image.pixel(x, y), untouched) << "outside the clip at " << x << "," << y;
                continue;
            }
            changedInside += image.pixel(x, y) != untouched;
            ASSERT_EQ(image.pixel(x, y), wide.pixel(x, y)) << "inside the clip at " << x << "," << y;
        }
    }
    EXPECT_GT(changedInside, 100);
}

} // namespace
} // namespace pendra
