#include "RailTestFixture.h"
#include "RailController.h"
#include "RailGeometry.h"
#include "RailView.h"

#include <gtest/gtest.h>

#include <cmath>

namespace pendra {
namespace {

TEST_F(RailTest, StartsPlacedHiddenPausedAndNotPolling)
{
    start({hung("A", "bead", 0.25, 150)});
    EXPECT_FALSE(host.isVisible());
    EXPECT_TRUE(host.framesPaused());
    EXPECT_TRUE(host.ignoresMouse());
    EXPECT_FALSE(host.hasRepeat()) << "nothing polls until the pointer comes over a charm";
    EXPECT_EQ(host.region.size(), 2u) << "the charm and its pin take the mouse";
    EXPECT_EQ(host.content(), static_cast<PanelContent*>(&rail->view()));
    ASSERT_EQ(rail->items().size(), 1u);
    EXPECT_DOUBLE_EQ(item(0).cord.beads().front().x, 360.0);
    EXPECT_DOUBLE_EQ(item(0).cord.beads().front().y, 3.0);
    EXPECT_DOUBLE_EQ(item(0).cord.length(), 150.0);
    EXPECT_GE(item(0).drift, 0.0);
    EXPECT_LE(item(0).drift, 10.0);
    EXPECT_DOUBLE_EQ(item(0).shimmerAt, -100.0);
}

TEST_F(RailTest, PanelHeightFollowsTheLongestCordAndTheScreen)
{
    struct Case {
        const char* name;
        QList<Hung> placed;
        double scale;
        Screen screen;
        double height;
    } cases[] = {
        {"empty", {}, 1.0, {QRectF(0, 0, 1440, 900), QRectF(0, 25, 1440, 875)}, 464.6},
        {"longest200", {hung("A", "bead", 0.5, 120), hung("B", "key", 0.3, 200)}, 1.0,
         {QRectF(0, 0, 1440, 900), QRectF(0, 25, 1440, 875)}, 507},
        {"bigCharms", {hung("A", "bead", 0.5, 100)}, 2.0, {QRectF(0, 0, 1440, 900), QRectF(0, 25, 1440, 875)},
         106 + 494 + 48},
        {"shortScreen", {hung("A", "bead", 0.5, 400)}, 1.0, {QRectF(0, 0, 800, 480), QRectF(0, 30, 800, 450)}, 450},
        {"secondScreenOrigin", {}, 1.0, {QRectF(1920, 0, 1280, 1024), QRectF(1920, 40, 1280, 984)}, 464.6},
    };
    for (const Case& c : cases) {
        host.screen = c.screen;
        start(c.placed, [&](Preferences& p) { p.scale = c.scale; });
        const QRectF frame = host.panelFrame();
        EXPECT_NEAR(frame.height(), c.height, 1e-9) << c.name;
        EXPECT_EQ(frame.left(), c.screen.frame.left()) << c.name;
        EXPECT_EQ(frame.top(), c.screen.available.top()) << c.name;
        EXPECT_EQ(frame.width(), c.screen.frame.width()) << c.name;
        rail.reset();
    }
}

TEST_F(RailTest, RebuildKeepsAHangingUnlessItsCharmOrDropChanges)
{
    start({hung("A", "bead", 0.2, 180), hung("B", "key", 0.6, 120)});
    const Hanging* a = &item(0);
    const Hanging* b = &item(1);
    const int frames = host.panelFrameSets;

    model.update([](Preferences& p) { p.breeze = true; });
    EXPECT_EQ(&item(0), a);
    EXPECT_EQ(&item(1), b);
    EXPECT_EQ(host.panelFrameSets, frames) << "a switch must not move the panel";
    EXPECT_FALSE(host.framesPaused()) << "a settings change wakes the loop";

    model.update([](Preferences& p) {
        p.hung[0].drop = 180.3;
        p.hung[1].x = 0.7;
    });
    EXPECT_EQ(&item(0), a);
    EXPECT_DOUBLE_EQ(item(0).cord.length(), 180.0);
    EXPECT_EQ(&item(1), b);
    EXPECT_DOUBLE_EQ(item(1).x, 0.7);
    EXPECT_EQ(host.panelFrameSets, frames + 1) << "a changed drop lays the panel out again";

    model.update([](Preferences& p) { p.hung[0].drop = 181; });
    EXPECT_NE(&item(0), a);
    EXPECT_DOUBLE_EQ(item(0).cord.length(), 181.0);

    model.update([](Preferences& p) { p.hung[1].charmID = "bead"; });
    EXPECT_NE(&item(1), b);
    EXPECT_EQ(item(1).charm.id, "bead");

    model.update([](Preferences& p) { p.hung.removeFirst(); });
    ASSERT_EQ(rail->items().size(), 1u);
    EXPECT_EQ(item(0).uid, "B");
}

TEST_F(RailTest, UnknownCharmsHangNothingAndBrokenPicturesAreRetried)
{
    start({hung("A", "ghost", 0.2, 150), hung("B", "broken", 0.4, 150), hung("C", "bead", 0.6, 150),
           hung("D", "bead", 0.8, 150)});
    ASSERT_EQ(rail->items().size(), 3u);
    EXPECT_EQ(item(0).uid, "B");
    EXPECT_FALSE(item(0).picture.has_value());
    ASSERT_TRUE(item(1).picture.has_value());
    EXPECT_EQ(item(1).picture->size(), QSize(190, 190)) << "the 24-pixel file is kept at the size it is drawn";
    // The good picture is read once and shared; the broken one is tried again
    // by the next rebuild that makes a new hanging for it.
    EXPECT_EQ(host.imagesLoaded.count(QStringLiteral(PENDRA_TEST_DATA "/rail/bead.png")), 1);
    model.update([](Preferences& p) { p.hung[1].drop = 200; });
    EXPECT_EQ(host.imagesLoaded.count(QStringLiteral(PENDRA_TEST_DATA "/rail/not-a-picture.png")), 2);
    EXPECT_EQ(model.settings().hung.size(), 4) << "the unknown charm stays in the settings";
}

TEST_F(RailTest, PicturesAreKeptAtTheSizeTheyAreDrawn)
{
    const QString bead = QStringLiteral(PENDRA_TEST_DATA "/rail/bead.png");
    const QString hook = testCatalog().folder() + "/hook.png";
    QImage wide(400, 200, QImage::Format_ARGB32_Premultiplied);
    wide.fill(QColor(10, 200, 30));
    host.images.insert(hook, wide);
    start({hung("A", "bead", 0.3, 150), hung("B", "hook", 0.5, 150), hung("C", "bead", 0.7, 150)});

    struct Step {
        const char* what;
        double scale;
        double density;
        QSize bead;
        QSize hook;
        int beadLoads;
    } steps[] = {{"at first", 1.0, 1.0, {190, 190}, {380, 190}, 1},
                 {"half the size", 0.5, 1.0, {95, 95}, {190, 95}, 2},
                 {"a denser screen", 0.5, 2.0, {190, 190}, {380, 190}, 3},
                 {"the same again", 0.5, 2.0, {190, 190}, {380, 190}, 3}};
    for (const Step& step : steps) {
        host.scale = step.density;
        if (model.settings().scale != step.scale)
            model.update([&](Preferences& p) { p.scale = step.scale; });
        host.changeScreen(host.screen);
        ASSERT_TRUE(item(0).picture && item(1).picture && item(2).picture) << step.what;
        EXPECT_EQ(item(0).picture->size(), step.bead) << step.what;
        EXPECT_EQ(item(2).picture->size(), step.bead) << step.what;
        EXPECT_EQ(item(1).picture->size(), step.hook) << step.what;
        EXPECT_EQ(host.imagesLoaded.count(bead), step.beadLoads) << step.what << ": one read for both beads";
    }
    // What the sprite is made from is the picture as the rail keeps it.
    EXPECT_EQ(QColor(item(1).picture->pixel(100, 50)), QColor(10, 200, 30));
}

TEST_F(RailTest, NoScreenKeepsThePanelAndLaysCordsOutForAWideRail)
{
    host.screen.reset();
    start({hung("A", "bead", 0.5, 150)});
    EXPECT_EQ(host.panelFrameSets, 0);
    EXPECT_DOUBLE_EQ(item(0).cord.beads().front().x, 720.0);
    host.changeScreen(std::nullopt);
    EXPECT_EQ(host.panelFrameSets, 0);
}

TEST_F(RailTest, ScreenChangeRepinsEveryCord)
{
    start({hung("A", "bead", 0.25, 150), hung("B", "key", 0.75, 100)});
    host.changeScreen(Screen{QRectF(0, 0, 2560, 1440), QRectF(0, 30, 2560, 1410)});
    EXPECT_EQ(host.panelFrame(), QRectF(0, 30, 2560, 150 * 1.06 + 247 + 48));
    EXPECT_DOUBLE_EQ(item(0).cord.beads().front().x, 640.0);
    EXPECT_DOUBLE_EQ(item(1).cord.beads().front().x, 1920.0);
    EXPECT_FALSE(host.framesPaused());
}

TEST_F(RailTest, PartialRedrawCoversWhereHangingsAreAndWereLastFrame)
{
    start({hung("A", "bead", 0.25, 150)});
    rail->swingAll(15);
    host.runFrame(0.0);
    host.runFrames(5);
    const QRectF before = rail->lastDirty();
    host.redrawRects.clear();
    host.runFrame(1.0 / 60);
    const QRectF now = RailGeometry::coveredArea(item(0), 1.0);
    ASSERT_EQ(host.redrawRects.size(), 1u);
    EXPECT_EQ(host.redrawRects[0], now.united(before));
    EXPECT_NE(now, before);
    EXPECT_EQ(rail->lastDirty(), now);
}

TEST_F(RailTest, FixedStepsCarryTheRestAndCapLongFrames)
{
    start({hung("A", "bead", 0.25, 150)});
    rail->stir();
    host.runFrame(5.0);
    EXPECT_DOUBLE_EQ(rail->now(), 0.0) << "the first frame after a pause has no interval";
    host.runFrame(0.021);
    EXPECT_NEAR(rail->now(), 0.021, 1e-12);
    EXPECT_NEAR(rail->carry(), 0.021 - 2.0 / 120, 1e-12);
    host.runFrame(0.2);
    EXPECT_NEAR(rail->now(), 0.071, 1e-12);
    EXPECT_NEAR(rail->carry(), 0.071 - 8.0 / 120, 1e-12);
    EXPECT_LT(rail->carry(), RailController::step);
}

TEST_F(RailTest, QuietRailPausesAfter91Frames)
{
    start({});
    rail->stir();
    EXPECT_EQ(host.runFrames(1000), 91);
    EXPECT_TRUE(host.framesPaused());
    const int delivered = host.framesDelivered;
    host.runFrames(10);
    EXPECT_EQ(host.framesDelivered, delivered) << "no frame callbacks at rest";
    rail->stir();
    EXPECT_FALSE(host.framesPaused());
}

TEST_F(RailTest, BreezeNeverPausesAndSlowsAfterOneAndAHalfSeconds)
{
    start({hung("A", "bead", 0.25, 150)}, [](Preferences& p) { p.breeze = true; });
    rail->stir();
    host.runFrames(89); // 88 intervals of 1/60: 1.47 s since the stir
    EXPECT_TRUE(host.rates.empty());
    EXPECT_FALSE(rail->slowRate());
    host.runFrames(4);
    EXPECT_TRUE(rail->slowRate());
    ASSERT_EQ(host.rates.size(), 1u);
    EXPECT_EQ(host.rates.back(), FrameRate::slow());
    EXPECT_EQ(host.rates.back().minimum, 24);

    // A press brings the normal rate back, and the loop does not pause while held.
    const QPointF c = rail->centre(item(0));
    rail->mouseDown(c);
    host.runFrame(1.0 / 60);
    EXPECT_FALSE(rail->slowRate());
    EXPECT_EQ(host.rates.back(), FrameRate::normal());
    EXPECT_EQ(host.runFrames(400), 400);
    EXPECT_FALSE(rail->slowRate());
}

TEST_F(RailTest, HeldStillCharmKeepsTheLoopRunning)
{
    start({hung("A", "bead", 0.25, 150)});
    rail->mouseDown(rail->centre(item(0)));
    EXPECT_EQ(host.runFrames(300), 300);
    rail->mouseUp();
    EXPECT_LT(host.runFrames(1000), 1000);
}

TEST_F(RailTest, ShimmerWaitsFourSecondsThenPicksAGlassCharm)
{
    // The breeze keeps the loop running; shimmers are only tried while it runs.
    start({hung("A", "key", 0.25, 150), hung("B", "bead", 0.5, 150)},
          [](Preferences& p) { p.shimmer = p.breeze = true; });
    rail->stir();
    host.runFrames(240); // 3.98 s of rail time
    EXPECT_DOUBLE_EQ(rail->nextShimmer(), 4.0);
    EXPECT_DOUBLE_EQ(item(1).shimmerAt, -100.0);
    host.runFrames(3);
    EXPECT_GT(item(1).shimmerAt, 4.0);
    EXPECT_DOUBLE_EQ(item(0).shimmerAt, -100.0) << "only glass shimmers";
    const double gap = rail->nextShimmer() - item(1).shimmerAt;
    EXPECT_GE(gap, 7.0);
    EXPECT_LE(gap, 16.0);
}

TEST_F(RailTest, ShimmerWithoutGlassOnlyMovesTheNextTry)
{
    for (const auto& [name, tweak] : std::vector<std::pair<const char*, std::function<void(Preferences&)>>>{
             {"noGlass", [](Preferences& p) { p.shimmer = true; }},
             {"calm", [](Preferences& p) { p.shimmer = p.calm = true; }},
             {"still", [](Preferences& p) { p.shimmer = p.still = true; }},
         }) {
        const bool glassHung = std::string(name) != "noGlass";
        start({hung("A", glassHung ? "bead" : "key", 0.25, 150)}, tweak);
        rail->stir();
        host.runFrames(1); // first frame has no interval
        double tries = 0;
        double last = rail->nextShimmer();
        for (int i = 0; i < 60 * 40; ++i) {
            rail->stir();
            host.runFrame(1.0 / 60);
            if (rail->nextShimmer() != last) {
                EXPECT_GE(rail->nextShimmer() - rail->now(), 7.0) << name;
                EXPECT_LE(rail->nextShimmer() - rail->now(), 16.0) << name;
                last = rail->nextShimmer();
                ++tries;
            }
        }
        EXPECT_DOUBLE_EQ(item(0).shimmerAt, -100.0) << name;
        if (glassHung)
            EXPECT_EQ(tries, 0) << name << ": switched off, no tries at all";
        else
            EXPECT_GE(tries, 2) << name;
        rail.reset();
    }
}

TEST_F(RailTest, SwingKicksAlternateAndShrinkWhenCalm)
{
    struct Case {
        const char* name;
        bool calm, still, reduce;
        double low, high;
    } cases[] = {
        {"plain", false, false, false, 9, 14.4},
        {"calm", true, false, false, 3.6, 5.76},
        {"reduceMotion", false, false, true, 3.6, 5.76},
        {"still", false, true, false, 0, 0},
    };
    for (const Case& c : cases) {
        host.reducedMotion = c.reduce;
        start({hung("A", "bead", 0.2, 150), hung("B", "bead", 0.4, 150), hung("C", "bead", 0.6, 150)},
              [&](Preferences& p) {
                  p.calm = c.calm;
                  p.still = c.still;
              });
        const bool wasPaused = host.framesPaused();
        for (int round = 0; round < 20; ++round) {
            const double before[3] = {tipDrift(0), tipDrift(1), tipDrift(2)};
            rail->swingAll(9);
            for (std::size_t i = 0; i < 3; ++i) {
                const double kick = tipDrift(i) - before[i];
                const double sign = i % 2 == 0 ? 1.0 : -1.0;
                if (c.still) {
                    EXPECT_EQ(kick, 0.0) << c.name;
                } else {
                    EXPECT_GE(kick * sign, c.low - 1e-12) << c.name;
                    EXPECT_LE(kick * sign, c.high + 1e-12) << c.name;
                }
            }
        }
        EXPECT_EQ(host.framesPaused(), c.still && wasPaused) << c.name << ": only a real swing stirs";
        rail.reset();
    }
}

TEST_F(RailTest, ShowingOrdersInAndSwingsShortlyAfter)
{
    start({hung("A", "bead", 0.2, 150), hung("B", "bead", 0.4, 150)});
    rail->show(true);
    EXPECT_TRUE(host.isVisible());
    ASSERT_EQ(host.delayed.size(), 1u);
    EXPECT_DOUBLE_EQ(host.delayed[0].first, 0.35);
    host.runDelayed();
    const Bead a = item(0).cord.tip();
    const Bead b = item(1).cord.tip();
    EXPECT_GE(a.x - a.ox, 9.0);
    EXPECT_LE(b.x - b.ox, -9.0);
    EXPECT_FALSE(host.framesPaused());

    rail->show(true);
    rail.reset();
    EXPECT_EQ(model.rail(), nullptr);
    EXPECT_FALSE(host.hasFrameCallback());
    host.runDelayed(); // the controller is gone: the late swing does nothing
}

TEST_F(RailTest, HidingFromTheSettingsOrdersThePanelOut)
{
    start({hung("A", "bead", 0.2, 150)});
    rail->show(true);
    model.update([](Preferences& p) { p.hidden = true; });
    EXPECT_FALSE(host.isVisible());
    model.update([](Preferences& p) { p.hidden = false; });
    EXPECT_TRUE(host.isVisible());
    EXPECT_EQ(host.delayed.size(), 2u);
}

} // namespace
} // namespace pendra
