#include "TrayIconArt.h"

#include <QColor>

#include <gtest/gtest.h>

namespace pendra {
namespace {

bool isLight(QRgb pixel)
{
    const QColor c = QColor::fromRgba(pixel);
    return c.alpha() > 240 && c.lightness() > 230;
}

TEST(TrayIconArt, ADotInsideARingAtEverySize)
{
    for (const int size : {16, 22, 24, 32, 64}) {
        const QImage image = TrayIconArt::image(size);
        ASSERT_EQ(image.size(), QSize(size, size));
        const double unit = size / 16.0;
        const int mid = size / 2;
        // The dot in the middle and the ring a little inside the edge are
        // light; the gap between them is not, and the corners are clear.
        EXPECT_TRUE(isLight(image.pixel(mid, mid))) << size;
        EXPECT_TRUE(isLight(image.pixel(mid, int(mid - 6.0 * unit)))) << size;
        EXPECT_FALSE(isLight(image.pixel(mid, int(mid - 3.6 * unit)))) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0) << size;
    }
    EXPECT_FALSE(TrayIconArt::icon().availableSizes().isEmpty());
}

} // namespace
} // namespace pendra
