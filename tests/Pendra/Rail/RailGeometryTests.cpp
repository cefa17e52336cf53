#include "Hanging.h"
#include "RailGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pendra {
namespace {

Charm charm(double w, double h, double hookX, double hookY)
{
    Charm c;
    c.id = "c";
    c.w = w;
    c.h = h;
    c.hookX = hookX;
    c.hookY = hookY;
    return c;
}

struct CentreCase {
    const char* name;
    double w, h, hookX, hookY, tilt, scale;
    double width, height; // expected picture size
    double dx, dy;        // expected centre relative to the tip
};

class CentreTest : public testing::TestWithParam<CentreCase> {};

TEST_P(CentreTest, PictureHangsByItsHookAndTurnsAboutIt)
{
    const CentreCase& c = GetParam();
    const Charm ch = charm(c.w, c.h, c.hookX, c.hookY);
    Cord cord(100, 3, 150, 1.0);
    cord.setTilt(c.tilt);
    const QSizeF size = RailGeometry::pictureSize(ch, c.scale);
    EXPECT_NEAR(size.width(), c.width, 1e-9);
    EXPECT_NEAR(size.height(), c.height, 1e-9);
    const QPointF centre = RailGeometry::centre(ch, cord, c.scale);
    EXPECT_NEAR(centre.x() - cord.tip().x, c.dx, 1e-9);
    EXPECT_NEAR(centre.y() - cord.tip().y, c.dy, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Cases, CentreTest,
                         testing::Values(CentreCase{"square", 600, 600, 0.5, 0.05, 0, 1.0, 190, 190, 0, 85.5},
                                         CentreCase{"quarterTurn", 600, 600, 0.5, 0.05, std::numbers::pi / 2, 1.0,
                                                    190, 190, -85.5, 0},
                                         CentreCase{"zeroHeight", 2, 0, 0.5, 0.5, 0, 1.0, 380, 190, 0, 0},
                                         CentreCase{"tallOffCentre", 300, 600, 0.25, 0.0, 0, 2.0, 190, 380, 47.5, 190},
                                         CentreCase{"halfTurn", 600, 600, 0.5, 0.05, std::numbers::pi, 0.5, 95, 95, 0,
                                                    -42.75}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RailGeometry, TargetReachIsJustInsideTheSmallerSide)
{
    Hanging wide("u", charm(1200, 600, 0.5, 0.05), std::nullopt, 0.5, Cord(100, 3, 150, 1.0));
    const RailGeometry::Target t = RailGeometry::target(wide, 1.0);
    EXPECT_NEAR(t.reach, 91.2, 1e-9);
    EXPECT_EQ(t.pin, QPointF(100, 3));
}

TEST(RailGeometry, HitBoundariesAndOrder)
{
    using RailGeometry::Hit;
    using RailGeometry::Target;
    const std::vector<Target> one = {{QPointF(100, 100), 50, QPointF(100, 3)}};
    const std::vector<Target> overlapping = {{QPointF(100, 100), 50, QPointF(100, 3)},
                                             {QPointF(130, 100), 50, QPointF(300, 3)},
                                             {QPointF(600, 100), 10, QPointF(140, 60)}};
    struct Case {
        const char* name;
        const std::vector<Target>* targets;
        QPointF point;
        std::optional<Hit> expected;
    } cases[] = {
        {"centre", &one, {100, 100}, Hit{0, false}},
        {"exactlyReachAway", &one, {150, 100}, std::nullopt},
        {"justInside", &one, {149.99, 100}, Hit{0, false}},
        {"nearPin", &one, {112.9, 3}, Hit{0, true}},
        {"pinEdge", &one, {113, 3}, std::nullopt},
        {"laterCharmWins", &overlapping, {115, 100}, Hit{1, false}},
        {"earlierWhereOnlyItCovers", &overlapping, {60, 100}, Hit{0, false}},
        {"laterPinOverEarlierCharm", &overlapping, {140, 68}, Hit{2, true}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RailGeometry::hit(c.point, *c.targets), c.expected) << c.name;
    EXPECT_EQ(RailGeometry::hit({0, 0}, std::vector<Target>{}), std::nullopt);
}

TEST(RailGeometry, CoveredAreaHoldsEveryBeadAndTheTurnedPicture)
{
    Hanging h("u", charm(600, 300, 0.5, 0.05), std::nullopt, 0.5, Cord(200, 3, 150, 1.0));
    h.cord.shove(40, 0);
    for (int i = 0; i < 30; ++i)
        h.cord.advance({200, 3}, 1.0 / 120, 0.9955, 0);
    const QRectF area = RailGeometry::coveredArea(h, 1.0);
    for (const Bead& b : h.cord.beads())
        EXPECT_TRUE(area.contains(QRectF(b.x - 7, b.y - 7, 14, 14)));
    const QPointF c = RailGeometry::centre(h.charm, h.cord, 1.0);
    const double r = std::hypot(380.0, 190.0) * 0.5 + 10;
    EXPECT_TRUE(area.contains(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r)));
    EXPECT_NEAR(area.left(), std::min(c.x() - r, h.cord.beads().front().x - 7), 1e-9);
}

} // namespace
} // namespace pendra
