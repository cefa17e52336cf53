#include "CubicFlattener.h"

#include <QPainterPath>
#include <QPolygonF>

#include <gtest/gtest.h>

#include <random>

namespace pendra {
namespace {

QPolygonF ours(QPointF from, QPointF c1, QPointF c2, QPointF to)
{
    QPolygonF points{from};
    CubicFlattener::flatten(from, c1, c2, to, [&](QPointF p) { points.append(p); });
    return points;
}

QPolygonF painters(QPointF from, QPointF c1, QPointF c2, QPointF to)
{
    QPainterPath path(from);
    path.cubicTo(c1, c2, to);
    return path.toSubpathPolygons().value(0);
}

// The raster must see exactly the points the painter's own flattening gives,
// so that a curve fed to it piece by piece fills as the whole path would.
TEST(CubicFlattener, GivesThePaintersPointsExactly)
{
    struct Case {
        const char* name;
        QPointF from, c1, c2, to;
    } cases[] = {
        {"a quarter circle of a cord's cap", {10, 20}, {10, 21.7674}, {11.4326, 23.2}, {13.2, 23.2}},
        {"a straight curve", {0, 0}, {1, 1}, {2, 2}, {3, 3}},
        {"a chord shorter than a unit", {5, 5}, {5.3, 6}, {5.6, 6}, {5.4, 5.2}},
        {"a loop closing on its start", {0, 0}, {40, -30}, {40, 30}, {0, 0}},
        {"a curve so large that halving stops at the deepest level", {0, 0}, {1e6, 1e6}, {-1e6, 1e6}, {1e6, 0}},
        {"control points behind the start", {10, 10}, {10, 0}, {10, 50}, {10, 40}},
    };
    for (const Case& c : cases) {
        const QPolygonF want = painters(c.from, c.c1, c.c2, c.to);
        ASSERT_GE(want.size(), 2) << c.name;
        EXPECT_EQ(ours(c.from, c.c1, c.c2, c.to), want) << c.name;
    }
    // And curves of every size and shape.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
    for (int i = 0; i < 3000; ++i) {
        const double size = std::ldexp(1.0, int(random() % 14) - 3);
        const auto point = [&] { return QPointF(coordinate(random), coordinate(random)) * size; };
        const QPointF from = point(), c1 = point(), c2 = point(), to = point();
        ASSERT_EQ(ours(from, c1, c2, to), painters(from, c1, c2, to)) << "curve " << i << " of size " << size;
    }
}

} // namespace
} // namespace pendra
