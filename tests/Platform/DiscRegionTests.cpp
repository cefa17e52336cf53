#include "DiscRegion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace pendra {
namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels covered(const std::vector<QRect>& rects)
{
    Pixels out;
    for (const QRect& r : rects) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x)
                out.insert({x, y});
        }
    }
    return out;
}

// Every pixel of the area whose centre lies strictly inside some disc.
Pixels expected(const std::vector<Disc>& discs, double density, QSize bounds)
{
    Pixels out;
    for (int y = 0; y < bounds.height(); ++y) {
        for (int x = 0; x < bounds.width(); ++x) {
            for (const Disc& d : discs) {
                const double dx = x + 0.5 - d.centre.x() * density;
                const double dy = y + 0.5 - d.centre.y() * density;
                if (std::hypot(dx, dy) < d.radius * density) {
                    out.insert({x, y});
                    break;
                }
            }
        }
    }
    return out;
}

TEST(DiscRegion, CoversExactlyThePixelsWhoseCentresLieInsideADisc)
{
    struct Case {
        const char* name;
        std::vector<Disc> discs;
        double density;
        QSize bounds;
    } cases[] = {
        {"one charm", {{{40, 30}, 20}}, 1.0, {100, 80}},
        {"pin on a pixel corner", {{{10, 3}, 13}}, 1.0, {40, 30}},
        {"exact radius on pixel centres", {{{10.5, 10.5}, 5}}, 1.0, {30, 30}},
        {"density two", {{{40, 30}, 20}, {{60, 3}, 13}}, 2.0, {200, 120}},
        {"fractional density", {{{33.3, 21.7}, 17.2}}, 1.25, {90, 70}},
        {"overlapping charms", {{{30, 30}, 20}, {{45, 35}, 20}}, 1.0, {100, 80}},
        {"cut by the edges", {{{2, 2}, 15}, {{95, 75}, 12}}, 1.0, {100, 80}},
        {"outside the panel", {{{-50, -50}, 10}, {{500, 20}, 10}}, 1.0, {100, 80}},
    };
    for (const Case& c : cases) {
        const std::vector<QRect> rects = DiscRegion::rectangles(c.discs, c.density, c.bounds);
        EXPECT_EQ(covered(rects), expected(c.discs, c.density, c.bounds)) << c.name;
        for (const QRect& r : rects)
            EXPECT_TRUE(QRect(QPoint(), c.bounds).contains(r)) << c.name;
    }
}

TEST(DiscRegion, JoinsRowsOfEqualSpans)
{
    // A disc's rows differ except where the circle is steep; a 13-point pin at
    // density 1 needs far fewer rectangles than rows.
    const std::vector<QRect> rects = DiscRegion::rectangles({{{50, 50}, 13}}, 1.0, {100, 100});
    EXPECT_LT(rects.size(), 26u);
    EXPECT_EQ(covered(rects).size(), expected({{{50, 50}, 13}}, 1.0, {100, 100}).size());
}

TEST(DiscRegion, NonsenseGivesNothing)
{
    const double nan = std::nan("");
    EXPECT_TRUE(DiscRegion::rectangles({{{nan, 10}, 10}}, 1.0, {50, 50}).empty());
    EXPECT_TRUE(DiscRegion::rectangles({{{10, 10}, -3}}, 1.0, {50, 50}).empty());
    EXPECT_TRUE(DiscRegion::rectangles({{{10, 10}, 0}}, 1.0, {50, 50}).empty());
    EXPECT_TRUE(DiscRegion::rectangles({{{10, 10}, 1e300}}, 1.0, {50, 50}).size() > 0) << "a huge disc fills the area";
    EXPECT_TRUE(DiscRegion::rectangles({{{10, 10}, 5}}, 0.0, {50, 50}).empty());
    EXPECT_TRUE(DiscRegion::rectangles({{{10, 10}, 5}}, 1.0, {0, 50}).empty());
}

} // namespace
} // namespace pendra
