#include "Symbols.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace pendra {
namespace {

const QColor circle(0, 120, 255);
const QColor mark(255, 255, 255);

QImage drawn(const std::function<void(QPainter&)>& draw)
{
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    draw(painter);
    // The symbol must hand the painter back as it found it.
    EXPECT_EQ(painter.pen(), QPen());
    EXPECT_EQ(painter.brush(), QBrush());
    return image;
}

QColor at(const QImage& image, int x, int y)
{
    return QColor::fromRgba(qUnpremultiply(image.pixel(x, y)));
}

TEST(Symbols, FilledCirclesCarryTheirMark)
{
    struct Case {
        const char* name;
        std::function<void(QPainter&, const QRectF&, const QColor&, const QColor&)> draw;
        QPoint onMark;
    } cases[] = {
        // The check's corner sits a little below and left of the centre.
        {"checkmark", Symbols::checkmarkCircle, QPoint(17, 26)},
        {"cross", Symbols::crossCircle, QPoint(20, 20)},
    };
    for (const Case& c : cases) {
        const QImage image = drawn([&](QPainter& p) { c.draw(p, QRectF(0, 0, 40, 40), circle, mark); });
        EXPECT_EQ(at(image, 20, 4), circle) << c.name;
        EXPECT_EQ(at(image, c.onMark.x(), c.onMark.y()), mark) << c.name;
        EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0) << c.name << ": the corners stay clear";
    }
}

TEST(Symbols, DashedCircleIsAnOutlineWithGaps)
{
    const QImage image = drawn([](QPainter& p) { Symbols::dashedCircle(p, QRectF(0, 0, 40, 40), Qt::black); });
    EXPECT_EQ(qAlpha(image.pixel(20, 20)), 0) << "the middle stays empty";
    int inked = 0;
    int clear = 0;
    // Walk round the ring's centre line.
    for (int i = 0; i < 360; ++i) {
        const double a = i * 3.14159265 / 180;
        const int x = int(20 + 18.5 * std::cos(a));
        const int y = int(20 + 18.5 * std::sin(a));
        (qAlpha(image.pixel(x, y)) > 128 ? inked : clear)++;
    }
    EXPECT_GT(inked, 90);
    EXPECT_GT(clear, 90);
}

TEST(Symbols, SymbolsFitTheShorterSideCentred)
{
    const QImage image = drawn([](QPainter& p) { Symbols::crossCircle(p, QRectF(0, 10, 40, 20), circle, mark); });
    EXPECT_EQ(qAlpha(image.pixel(5, 20)), 0);
    EXPECT_EQ(at(image, 12, 20), circle);
    EXPECT_EQ(qAlpha(image.pixel(20, 5)), 0);
}

TEST(Symbols, CrossIconHasBothDensities)
{
    const QIcon icon = Symbols::crossCircleIcon(18, circle, circle.darker(), mark);
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes().size(), 2);
}

} // namespace
} // namespace pendra
