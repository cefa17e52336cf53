#include "InkedArea.h"

#include <gtest/gtest.h>

#include <random>

namespace pendra {
namespace {

TEST(InkedArea, StartsAsTheWholePictureAndFollowsEachRedraw)
{
    InkedArea inked;
    EXPECT_EQ(inked.of(QSize(100, 50)), QRegion(0, 0, 100, 50)) << "nothing is known of a new picture";

    struct Step {
        QRect pixels;
        QRegion drawn;
        QRegion after;
    } steps[] = {
        // A redraw of everything that drew in one corner.
        {QRect(0, 0, 100, 50), QRegion(5, 5, 10, 10), QRegion(5, 5, 10, 10)},
        // Drawing reported outside the redrawn pixels cannot have happened.
        {QRect(40, 0, 60, 50), QRegion(30, 20, 20, 10), QRegion(5, 5, 10, 10) + QRegion(40, 20, 10, 10)},
        // Redrawing the corner with nothing in it leaves only the other part.
        {QRect(0, 0, 20, 20), QRegion(), QRegion(40, 20, 10, 10)},
        // A redraw elsewhere keeps what it does not cover.
        {QRect(60, 0, 40, 50), QRegion(70, 10, 5, 5), QRegion(40, 20, 10, 10) + QRegion(70, 10, 5, 5)},
    };
    for (const Step& step : steps) {
        inked.painted(step.pixels, step.drawn);
        EXPECT_EQ(inked.of(QSize(100, 50)), step.after) << step.pixels.x() << "," << step.pixels.y();
    }
    EXPECT_EQ(inked.of(QSize(200, 50)), QRegion(0, 0, 200, 50)) << "a new size is a new picture";
}

} // namespace
} // namespace pendra

namespace pendra {
namespace {

// Merging in pairs must give the region that adding one by one gives, for any
// count, overlaps, empty rectangles and order.
TEST(InkedArea, UnionInPairsIsTheUnionOfEveryRectangle)
{
    std::mt19937 random(5);
    for (const int count : {0, 1, 2, 3, 7, 8, 37}) {
        for (int trial = 0; trial < 5; ++trial) {
            std::vector<QRect> rects;
            QRegion oneByOne;
            for (int i = 0; i < count; ++i) {
                const QRect rect(int(random() % 300) - 20, int(random() % 200) - 20, int(random() % 90),
                                 int(random() % 120));
                rects.push_back(rect);
                oneByOne += rect;
            }
            EXPECT_EQ(InkedArea::unionOf(rects), oneByOne) << count << " rectangles, trial " << trial;
        }
    }
}

} // namespace
} // namespace pendra
