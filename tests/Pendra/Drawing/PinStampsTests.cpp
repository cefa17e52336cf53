#include "CordDrawer.h"
#include "ImageCompare.h"
#include "PinStamps.h"
#include "Surface.h"

#include <gtest/gtest.h>

namespace pendra {
namespace {

QImage canvas(double density)
{
    QImage image = *Surface::makeBitmap(int(80 * density), int(40 * density));
    image.fill(QColor(40, 60, 90, 120));
    image.setDevicePixelRatio(density);
    return image;
}

TEST(PinStamps, StampsLookLikePinsDrawnAfreshAndAreMadeOncePerPlace)
{
    PinStamps stamps;
    struct Case {
        double density;
        QPointF centre;
        double radius;
    } cases[] = {{1.0, {20, 10}, 4.8}, {2.0, {33.3, 11.7}, 4.8}, {2.0, {33.3, 11.7}, 6.8}, {1.25, {50.5, 20.1}, 6.8}};
    for (const Case& c : cases) {
        QImage stamped = canvas(c.density);
        QImage drawn = canvas(c.density);
        {
            Surface surface(stamped);
            stamps.draw(surface, c.centre, c.radius);
            stamps.draw(surface, c.centre + QPointF(20, 0), c.radius);
        }
        {
            Surface surface(drawn);
            CordDrawer::drawPin(surface, c.centre, c.radius);
            CordDrawer::drawPin(surface, c.centre + QPointF(20, 0), c.radius);
        }
        EXPECT_LE(worstDifference(stamped, drawn), 2) << "density " << c.density << ", radius " << c.radius;
    }
    // Two places within a pixel's grid per case, one case repeating a size at
    // the same place within the pixel: five stamps were made, not eight.
    const int made = stamps.stamps();
    {
        QImage again = canvas(2.0);
        Surface surface(again);
        stamps.draw(surface, {33.3, 11.7}, 4.8);
    }
    EXPECT_EQ(stamps.stamps(), made) << "a pin standing still is stamped from the cache";
    EXPECT_LE(made, 8);
}

TEST(PinStamps, TheCacheIsBounded)
{
    PinStamps stamps;
    QImage image = canvas(1.0);
    Surface surface(image);
    for (int i = 0; i < PinStamps::limit + 5; ++i)
        stamps.draw(surface, {20 + i * 0.01, 10}, 4.8);
    EXPECT_LE(stamps.stamps(), PinStamps::limit);
    EXPECT_GE(stamps.stamps(), 1);
}

} // namespace
} // namespace pendra
