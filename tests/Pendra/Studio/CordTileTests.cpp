#include "CordTile.h"

#include "CordDrawer.h"
#include "StudioTestFixture.h"
#include "Surface.h"

#include <QImage>

namespace pendra::test {
namespace {

TEST(CordTile, SamplePointsRunDownTheCentreLine)
{
    struct Case {
        QSizeF canvas;
        double first;
        double last;
        std::size_t count;
    } cases[] = {
        {{16, 40}, 4, 34, 11},
        {{16, 38}, 4, 34, 11}, // the end value h − 4 is hit exactly
        {{16, 37}, 4, 31, 10},
        {{20, 41}, 4, 37, 12},
        {{16, 8}, 4, 4, 1},
        {{16, 7}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const std::vector<QPointF> points = CordTile::samplePoints(c.canvas);
        ASSERT_EQ(points.size(), c.count) << c.canvas.height();
        if (points.empty())
            continue;
        EXPECT_EQ(points.front().y(), c.first);
        EXPECT_EQ(points.back().y(), c.last);
        for (const QPointF& p : points)
            EXPECT_EQ(p.x(), c.canvas.width() / 2);
    }
}

TEST(CordTile, PinCircleSitsAtTheTop)
{
    const QRectF pin = CordTile::pinCircle(CordTile::canvasSize);
    EXPECT_NEAR(pin.left(), 3.2, 1e-12);
    EXPECT_NEAR(pin.right(), 12.8, 1e-12);
    EXPECT_NEAR(pin.top(), 0.2, 1e-12);
    EXPECT_NEAR(pin.bottom(), 9.8, 1e-12);
}

TEST(CordTile, SampleShowsEveryLookWithAGoldPin)
{
    for (const CordStyle style : CordStyles::allCases) {
        QImage image = *Surface::makeBitmap(32, 80);
        image.setDevicePixelRatio(2.0);
        {
            Surface surface(image);
            CordTile::drawSample(surface, style, CordTile::canvasSize);
        }
        const QColor pin = QColor::fromRgba(qUnpremultiply(image.pixel(16, 10)));
        EXPECT_EQ(pin.alpha(), 255) << CordStyles::name(style).toStdString();
        EXPECT_GT(pin.red(), pin.blue() + 40) << "gold, not grey or blue";
        // The cord runs on below the pin, down to y 34.
        int inked = 0;
        for (int y = 50; y < 66; ++y)
            for (int x = 8; x < 24; ++x)
                inked += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        EXPECT_GT(inked, 8) << CordStyles::name(style).toStdString();
        EXPECT_EQ(qAlpha(image.pixel(16, 78)), 0) << "nothing below the last point";
        EXPECT_EQ(qAlpha(image.pixel(1, 60)), 0) << "nothing far off the centre line";
    }
}

TEST(CordTile, PressRunsTheChooseAction)
{
    int chosen = 0;
    CordTile tile(CordStyle::braid, false, [&] { ++chosen; });
    tile.resize(tile.sizeHint());
    EXPECT_EQ(tile.text(), CordStyles::name(CordStyle::braid));
    QTest::mouseClick(&tile, Qt::LeftButton, Qt::NoModifier, tile.rect().center());
    EXPECT_EQ(chosen, 1);
    QTest::keyClick(&tile, Qt::Key_Space);
    EXPECT_EQ(chosen, 2) << "the keyboard presses it too";
}

TEST(CordTile, PickedTileIsFilledWithTheSelectionColour)
{
    CordTile tile(CordStyle::twine, false, [] {});
    tile.resize(140, 48);
    const auto fillAt = [&] { return tile.grab().toImage().pixelColor(int(4 * tile.devicePixelRatioF()), int(24 * tile.devicePixelRatioF())); };
    const QColor plain = fillAt();
    tile.setPicked(true);
    EXPECT_TRUE(tile.picked());
    EXPECT_EQ(fillAt(), tile.palette().color(QPalette::Highlight));
    EXPECT_NE(plain, fillAt());
}

} // namespace
} // namespace pendra::test
