#include "CordDrawer.h"
#include "CordStyle.h"
#include "Surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pendra {
namespace {

// A 40 × 120 point canvas at density 2, transparent.
QImage canvas()
{
    QImage image = *Surface::makeBitmap(80, 240);
    image.setDevicePixelRatio(2.0);
    return image;
}

// A vertical cord down the middle of the canvas, from y = 10 to y = 110.
std::vector<QPointF> verticalCord()
{
    std::vector<QPointF> points;
    for (int i = 0; i <= 10; ++i)
        points.emplace_back(20.0, 10.0 + 10.0 * i);
    return points;
}

QImage drawn(CordStyle style, const std::vector<QPointF>& points)
{
    QImage image = canvas();
    Surface surface(image);
    CordDrawer::draw(style, surface, points);
    return image;
}

// The colour at a point, unpremultiplied.
QColor at(const QImage& image, double x, double y)
{
    return QColor::fromRgba(qUnpremultiply(image.pixel(int(x * 2), int(y * 2))));
}

bool blank(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

void expectColour(const QColor& got, int r, int g, int b, int alpha, const char* name)
{
    EXPECT_NEAR(got.red(), r, 4) << name;
    EXPECT_NEAR(got.green(), g, 4) << name;
    EXPECT_NEAR(got.blue(), b, 4) << name;
    EXPECT_NEAR(got.alpha(), alpha, 4) << name;
}

TEST(CordDrawer, AlongSamplesByArcLength)
{
    struct Case {
        const char* name;
        std::vector<QPointF> points;
        double every;
        std::vector<QPointF> expected;
        std::vector<double> angles;
    } cases[] = {
        {"empty", {}, 6.4, {}, {}},
        {"single", {{3, 3}}, 6.4, {}, {}},
        {"tenApart", {{0, 0}, {10, 0}}, 6.4, {{0, 0}, {6.4, 0}}, {0, 0}},
        {"coincident", {{5, 5}, {5, 5}}, 6.4, {{5, 5}}, {0}},
        {"carriesAcrossSegments", {{0, 0}, {0, 4}, {0, 10}}, 3.0, {{0, 0}, {0, 3}, {0, 6}, {0, 9}},
         {std::numbers::pi / 2, std::numbers::pi / 2, std::numbers::pi / 2, std::numbers::pi / 2}},
        {"endOfSegmentBelongsToTheNext", {{0, 0}, {6, 0}, {6, -6}}, 3.0, {{0, 0}, {3, 0}, {6, 0}, {6, -3}},
         {0, 0, -std::numbers::pi / 2, -std::numbers::pi / 2}},
    };
    for (const Case& c : cases) {
        const auto samples = CordDrawer::along(c.points, c.every);
        ASSERT_EQ(samples.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            EXPECT_NEAR(samples[i].p.x(), c.expected[i].x(), 1e-9) << c.name << " " << i;
            EXPECT_NEAR(samples[i].p.y(), c.expected[i].y(), 1e-9) << c.name << " " << i;
            EXPECT_NEAR(samples[i].angle, c.angles[i], 1e-12) << c.name << " " << i;
        }
    }
}

TEST(CordDrawer, CurvePassesThroughEndsAndInnerMidpoints)
{
    EXPECT_TRUE(CordDrawer::curve({}).isEmpty());
    const std::vector<QPointF> two = {{0, 0}, {10, 0}};
    const QPainterPath straight = CordDrawer::curve(two);
    ASSERT_EQ(straight.elementCount(), 2);
    EXPECT_EQ(QPointF(straight.elementAt(1)), QPointF(10, 0));

    const std::vector<QPointF> bent = {{0, 0}, {10, 0}, {10, 10}, {20, 10}};
    const QPainterPath path = CordDrawer::curve(bent);
    // move, then two quadratic curves (each a cubic of three elements in Qt), then the closing line
    ASSERT_EQ(path.elementCount(), 1 + 3 + 3 + 1);
    EXPECT_EQ(QPointF(path.elementAt(0)), QPointF(0, 0));
    EXPECT_EQ(QPointF(path.elementAt(3)), QPointF(10, 5));
    EXPECT_EQ(QPointF(path.elementAt(6)), QPointF(15, 10));
    EXPECT_EQ(QPointF(path.elementAt(7)), QPointF(20, 10));
}

TEST(CordDrawer, StrokeLooksShowTheirMainColourAtTheCentre)
{
    // Each probe sits where the look's top dash is off (dashes start at the pin),
    // so the middle layer shows; the thin top layer shows where the dash is on.
    struct Case {
        CordStyle style;
        double gapAt;
        int r, g, b;
        double dashAt;
    } cases[] = {
        {CordStyle::goldThread, 8.5, 224, 174, 46, 3},
        {CordStyle::redThread, 5, 194, 40, 60, 1.5},
        {CordStyle::leather, 5, 138, 85, 48, 1},
        {CordStyle::twine, 4.5, 217, 192, 143, 1.5},
    };
    for (const Case& c : cases) {
        const std::string name = CordStyles::rawValue(c.style).toStdString();
        const QImage image = drawn(c.style, verticalCord());
        expectColour(at(image, 20.25, 10 + c.gapAt), c.r, c.g, c.b, 255, name.c_str());
        const QColor dash = at(image, 20.25, 10 + c.dashAt);
        EXPECT_GT(std::abs(dash.red() - c.r) + std::abs(dash.green() - c.g) + std::abs(dash.blue() - c.b), 20)
            << name << ": the top layer shows where its dash is on";
        EXPECT_EQ(qAlpha(image.pixel(2, 100)), 0) << name << ": nothing far from the cord";
    }
}

TEST(CordDrawer, SilverChainAlternatesOvalsAndBars)
{
    const QImage image = drawn(CordStyle::silverChain, verticalCord());
    // Links interlock along the cord, so they are told apart across it: an
    // oval's rim lies 2.9 to the side, where a bar (1.7 wide each way) is not.
    for (int i = 0; i < 8; ++i) {
        const double y = 10 + 6.4 * i;
        const QColor side = at(image, 22.9, y);
        if (i % 2 == 0) {
            EXPECT_GT(side.alpha(), 240) << "link " << i << " is an oval";
            EXPECT_GT(side.red(), 150) << "link " << i << " shows its light rim";
        } else {
            EXPECT_LT(side.alpha(), 20) << "link " << i << " is a bar";
            EXPECT_GT(at(image, 20.25, y).alpha(), 240) << "link " << i;
        }
    }
    EXPECT_EQ(at(image, 25.5, 10).alpha(), 0) << "nothing beyond the widest link";
}

TEST(CordDrawer, BeadsSitOnlyWhereSamplesFall)
{
    struct Case {
        CordStyle style;
        double every, side;
        int r, g, b; // the bead's middle colour, somewhere between its stops
    } cases[] = {
        {CordStyle::blueBeads, 7.4, 7.0, 46, 155, 214},
        {CordStyle::prayerBeads, 7.8, 7.4, 107, 61, 24},
    };
    for (const Case& c : cases) {
        const std::string name = CordStyles::rawValue(c.style).toStdString();
        const QImage image = drawn(c.style, verticalCord());
        for (int i = 0; i < 6; ++i) {
            const double y = 10 + c.every * i;
            // beside the thread but inside the bead
            EXPECT_EQ(at(image, 20 + c.side * 0.3, y + 1).alpha(), 255) << name << " bead " << i;
            // halfway to the next bead, beside the thread: nothing
            EXPECT_EQ(at(image, 20 + c.side * 0.3, y + c.every / 2).alpha(), 0) << name << " gap " << i;
        }
        const QColor thread = at(image, 20.25, 10 + c.every * 2.5);
        EXPECT_GT(thread.alpha(), 60) << name << ": the thread runs between the beads";
    }
}

TEST(CordDrawer, BeadSpritesHaveAClearHighlightTowardsTheUpperLeft)
{
    for (const auto* bead : {&CordDrawer::woodBead(), &CordDrawer::glassBead()}) {
        ASSERT_TRUE(bead->has_value());
        const QImage& image = **bead;
        EXPECT_EQ(image.size(), QSize(28, 28));
        EXPECT_EQ(qAlpha(image.pixel(8, 8)), 0) << "nothing inside the start circle";
        EXPECT_EQ(qAlpha(image.pixel(14, 14)), 255);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "round";
        // brighter near the highlight than at the far edge
        EXPECT_GT(qGray(image.pixel(11, 11)), qGray(image.pixel(22, 22)));
    }
}

TEST(CordDrawer, ShortPointListsDrawWhatTheyCan)
{
    for (const CordStyle style : CordStyles::allCases) {
        const std::string name = CordStyles::rawValue(style).toStdString();
        EXPECT_TRUE(blank(drawn(style, {}))) << name;
    }
    for (const CordStyle style : {CordStyle::silverChain}) {
        EXPECT_TRUE(blank(drawn(style, {{20, 20}}))) << "a single point has no samples";
    }
    // Two samples only: the braid shows its shadow stroke and no strands.
    const QImage braid = drawn(CordStyle::braid, {{20, 10}, {20, 15}});
    const QColor shadow = at(braid, 20.25, 12);
    EXPECT_NEAR(shadow.alpha(), 89, 4);
    expectColour(shadow, 36, 18, 7, 89, "braid shadow");
}

TEST(CordDrawer, BraidStrandsCrossTheCord)
{
    const QImage image = drawn(CordStyle::braid, verticalCord());
    // The strands swing 2.5 either side, so off-centre pixels alternate
    // between the light and the dark strand along the cord.
    int light = 0;
    int dark = 0;
    for (double y = 12; y < 100; y += 0.5) {
        const QColor c = at(image, 22.0, y);
        if (c.alpha() < 250)
            continue;
        if (c.red() > 200 && c.green() > 140)
            ++light;
        else if (c.red() < 160 && c.green() < 80)
            ++dark;
    }
    EXPECT_GT(light, 10);
    EXPECT_GT(dark, 10);
}

TEST(CordDrawer, LeavesTheSurfaceAsItFoundIt)
{
    QImage image = canvas();
    Surface surface(image);
    const QTransform before = surface.painter().transform();
    for (const CordStyle style : CordStyles::allCases)
        CordDrawer::draw(style, surface, verticalCord());
    EXPECT_EQ(surface.painter().transform(), before);
    EXPECT_EQ(surface.painter().compositionMode(), QPainter::CompositionMode_SourceOver);
    EXPECT_FALSE(surface.painter().hasClipping());
}

} // namespace
} // namespace pendra
