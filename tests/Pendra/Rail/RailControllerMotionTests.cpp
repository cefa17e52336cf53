#include "RailGeometry.h"
#include "RailTestFixture.h"

#include <cmath>

namespace pendra {
namespace {

class PointerTest : public RailTest {
protected:
    void startShown(QList<Hung> placed, std::function<void(Preferences&)> tweak = {})
    {
        start(std::move(placed), std::move(tweak));
        rail->show(true);
        host.delayed.clear();
    }

    void moveRail(QPointF railPoint, double dt = 1.0 / 30.0) { host.moveTo(global(railPoint), dt); }

    QPointF pinOf(std::size_t i)
    {
        const Bead& b = item(i).cord.beads().front();
        return {b.x, b.y};
    }
};

TEST_F(PointerTest, HoverComesFromTheWindowSystemAndSetsTheCursor)
{
    startShown({hung("A", "bead", 0.25, 150)});
    const QPointF centre = rail->centre(item(0));

    moveRail({900, 10});
    EXPECT_TRUE(host.cursors.empty()) << "the pointer passes through away from the charms";
    EXPECT_FALSE(host.hasRepeat());

    moveRail(centre);
    EXPECT_TRUE(host.ignoresMouse()) << "hovering takes the mouse only over the charm";
    ASSERT_FALSE(host.cursors.empty());
    EXPECT_EQ(host.cursors.back(), CursorShape::openHand);
    ASSERT_TRUE(rail->over().has_value());
    EXPECT_EQ(rail->over()->part, RailController::Part::charm);
    EXPECT_TRUE(host.hasRepeat()) << "the poll runs while the pointer is over the charm";
    EXPECT_DOUBLE_EQ(host.repeatInterval, 1.0 / 30.0);

    host.redrawRects.clear();
    moveRail(pinOf(0) + QPointF(5, 0));
    EXPECT_EQ(host.cursors.back(), CursorShape::resizeLeftRight);
    ASSERT_EQ(host.redrawRects.size(), 1u);
    EXPECT_EQ(host.redrawRects[0], QRectF(pinOf(0).x() - 11, pinOf(0).y() - 11, 22, 22));

    host.redrawRects.clear();
    moveRail({900, 10});
    EXPECT_EQ(host.cursors.back(), CursorShape::arrow);
    EXPECT_EQ(host.redrawRects.size(), 1u) << "the pin left behind shrinks back";
    EXPECT_FALSE(rail->over().has_value());
    EXPECT_FALSE(host.hasRepeat()) << "no timer runs once the pointer is gone";
}

TEST_F(PointerTest, ThePollKeepsHoverCurrentUntilTheLeave)
{
    startShown({hung("A", "bead", 0.25, 150)});
    moveRail(rail->centre(item(0)));
    ASSERT_TRUE(host.hasRepeat());
    // The poll reads the pointer itself, so hover follows it even before the
    // window system's leave arrives; the leave then ends the poll.
    EXPECT_TRUE(host.pollAt(global({900, 10})));
    EXPECT_FALSE(rail->over().has_value());
    EXPECT_EQ(host.cursors.back(), CursorShape::arrow);
    EXPECT_TRUE(host.hasRepeat());
    rail->pointerLeft();
    EXPECT_FALSE(host.hasRepeat());
}

TEST_F(PointerTest, HiddenPanelIgnoresThePointerAndFarPointsAreHarmless)
{
    start({hung("A", "bead", 0.25, 150)});
    rail->pointerMoved(rail->centre(item(0)));
    EXPECT_FALSE(rail->over().has_value());
    EXPECT_EQ(rail->cursorSpeed(), QPointF());

    rail->show(true);
    rail->pointerMoved({1e12, -1e12});
    rail->pointerMoved({-1e300, 1e300});
    rail->pointerLeft();
    EXPECT_TRUE(host.ignoresMouse());
    EXPECT_FALSE(rail->over().has_value());
    EXPECT_FALSE(host.hasRepeat());
}

TEST_F(PointerTest, BrushingFlicksOnceWithTheSettingsShare)
{
    struct Case {
        const char* name;
        bool calm, still, reduce;
        double share; // of the pointer's sideways speed given to the charm; 0 = no flick
    } cases[] = {
        {"plain", false, false, false, 0.9},
        {"calm", true, false, false, 0.4},
        {"reduceMotion", false, false, true, 0.4},
        {"still", false, true, false, 0.0},
    };
    for (const Case& c : cases) {
        host.reducedMotion = c.reduce;
        startShown({hung("A", "bead", 0.25, 150)}, [&](Preferences& p) {
            p.calm = c.calm;
            p.still = c.still;
        });
        passRailTime(0.5);
        const QPointF centre = rail->centre(item(0));
        moveRail(centre - QPointF(80, 0), 1.0); // entering slowly is no flick
        EXPECT_EQ(tipDrift(0), 0.0) << c.name;
        double before = tipDrift(0);
        moveRail(centre); // 80 points in 1/30 s: 38.4 points per 0.016 s
        EXPECT_NEAR(rail->cursorSpeed().x(), 38.4, 1e-9) << c.name;
        EXPECT_NEAR(tipDrift(0) - before, 38.4 * c.share, 1e-9) << c.name;
        EXPECT_EQ(host.soundLog->plays, c.share > 0 ? 1 : 0) << c.name;

        moveRail(centre - QPointF(80, 0));
        before = tipDrift(0);
        moveRail(centre);
        EXPECT_EQ(tipDrift(0), before) << c.name << ": a second brush within 0.35 s does nothing";
        rail.reset();
        host.soundLog->plays = 0;
    }
}

TEST_F(PointerTest, FlickSpacingAndSpeedThreshold)
{
    startShown({hung("A", "bead", 0.25, 150)});
    const QPointF centre = rail->centre(item(0));
    moveRail(centre + QPointF(0, -8), 1.0);
    moveRail(centre); // 8 points in 1/30 s is 3.84 per 0.016 s: too slow
    EXPECT_EQ(tipDrift(0), 0.0);

    // Each brush is a gentle one, so the charm stays within reach, and starts
    // from a point reached slowly, so that getting there is no flick of its own.
    const auto brush = [&] {
        moveRail(rail->centre(item(0)) - QPointF(10, 0), 1.0);
        const double before = tipDrift(0);
        moveRail(rail->centre(item(0))); // 10 points in 1/30 s: 4.8 per 0.016 s
        return tipDrift(0) - before;
    };
    EXPECT_NEAR(brush(), 4.8 * 0.9, 1e-9);
    passRailTime(0.3);
    EXPECT_EQ(brush(), 0.0) << "0.3 s later it does not flick yet";
    passRailTime(0.1);
    EXPECT_NEAR(brush(), 4.8 * 0.9, 1e-9) << "more than 0.35 s later it flicks again";
}

// An event and the poll may read the pointer a millisecond apart: a pixel's
// move then is no flick, and the speed is taken over the whole time since the
// last reading that counted.
TEST_F(PointerTest, ReadingsAMomentApartGiveNoSpeed)
{
    startShown({hung("A", "bead", 0.25, 150)});
    const QPointF centre = rail->centre(item(0));
    moveRail(centre - QPointF(1, 0), 1.0);
    const QPointF slow = rail->cursorSpeed();
    moveRail(centre, 0.001);
    EXPECT_EQ(tipDrift(0), 0.0) << "one pixel in a millisecond";
    EXPECT_EQ(rail->cursorSpeed(), slow);
    EXPECT_EQ(rail->over()->item, rail->items().front()) << "the hover follows at once";
    moveRail(centre + QPointF(9, 0), 1.0 / 30.0 - 0.001);
    EXPECT_NEAR(rail->cursorSpeed().x(), 10 / (1.0 / 30.0) * 0.016, 1e-6) << "ten points in 1/30 s";
    EXPECT_GT(tipDrift(0), 0.0);
}

TEST_F(PointerTest, FastPointerThatLeftBetweenTwoEventsFlicksThroughTheMidpoint)
{
    startShown({hung("A", "bead", 0.25, 150)});
    const QPointF centre = rail->centre(item(0));
    // One event at the rim, the next far past the charm: only the midpoint
    // of the two lies on it.
    moveRail(centre - QPointF(85, 0), 1.0);
    moveRail(centre + QPointF(150, 0));
    EXPECT_NEAR(tipDrift(0), 235 / (1.0 / 30) * 0.016 * 0.9, 1e-9);
    EXPECT_FALSE(rail->over().has_value()) << "hover looks at the current point only";
    EXPECT_FALSE(host.hasRepeat());
}

TEST_F(PointerTest, InputRegionHoldsTheCharmAndPinDiscsAndFollowsThem)
{
    startShown({hung("A", "bead", 0.25, 150), hung("B", "key", 0.7, 100)});
    ASSERT_EQ(host.region.size(), 4u);
    for (std::size_t i = 0; i < 2; ++i) {
        const RailGeometry::Target t = RailGeometry::target(item(i), 1.0);
        EXPECT_EQ(host.region[2 * i], (Disc{t.centre, t.reach})) << i;
        EXPECT_EQ(host.region[2 * i + 1], (Disc{t.pin, 13.0})) << i;
    }
    EXPECT_TRUE(host.inRegion(rail->centre(item(0))));
    EXPECT_FALSE(host.inRegion({720, 600}));

    // A swing moves the charms by pixels each frame: the region follows.
    rail->swingAll(9.0);
    int sets = host.regionSets;
    host.runFrame(0);
    host.runFrames(5);
    EXPECT_GE(host.regionSets, sets + 5);
    EXPECT_EQ(host.region[0].centre, rail->centre(item(0)));

    // At rest nothing moves, so nothing is sent.
    host.runFrames(4000);
    ASSERT_TRUE(host.framesPaused());
    sets = host.regionSets;
    rail->stir();
    host.runFrame(0);
    host.runFrames(3);
    EXPECT_EQ(host.regionSets, sets);

    // A larger size widens the discs at once.
    model.update([](Preferences& p) { p.scale = 2.0; });
    EXPECT_GT(host.regionSets, sets);
    EXPECT_NEAR(host.region[0].radius, RailGeometry::target(item(0), 2.0).reach, 1e-12);
}

TEST_F(PointerTest, TheRegionIsSentAgainOnceATargetDriftsHalfAPixel)
{
    for (const double density : {1.0, 2.0}) {
        host.scale = density;
        startShown({hung("A", "bead", 0.25, 150)});
        rail->stir();
        host.runFrame(0);
        const int sets = host.regionSets;
        const double pixel = 1.0 / density;
        // The pin follows its x at once; the charm below lags behind it.
        item(0).x += 0.4 * pixel / 1440;
        host.runFrame(1.0 / 120);
        EXPECT_EQ(host.regionSets, sets) << density << ": less than half a pixel";
        item(0).x += 0.2 * pixel / 1440;
        host.runFrame(1.0 / 120);
        EXPECT_EQ(host.regionSets, sets + 1) << density << ": half a pixel or more";
        rail.reset();
    }
}

TEST_F(PointerTest, GrabbedCharmFollowsThePointerByItsGrip)
{
    startShown({hung("A", "bead", 0.25, 150)});
    const QPointF press = rail->centre(item(0)) + QPointF(6, -4);
    const QPointF tip = tipOf(0);
    moveRail(press);
    rail->mouseDown(press);
    EXPECT_FALSE(host.ignoresMouse()) << "the whole panel takes the mouse while a charm is held";
    ASSERT_TRUE(rail->holding().has_value());
    EXPECT_EQ(rail->holding()->grip, press - tip);
    EXPECT_TRUE(item(0).cord.tip().held);
    EXPECT_EQ(host.cursors.back(), CursorShape::closedHand);

    rail->mouseDragged(press + QPointF(30, -20));
    EXPECT_NEAR(tipOf(0).x(), tip.x() + 30, 1e-9);
    EXPECT_NEAR(tipOf(0).y(), tip.y() - 20, 1e-9);
    EXPECT_TRUE(rail->holding()->moved);

    // Far below, the tip stops at 1.02 lengths from the pin, towards the pointer.
    rail->mouseDragged(press + QPointF(300, 900));
    const QPointF pin = pinOf(0);
    const QPointF aim = press + QPointF(300, 900) - rail->holding()->grip - pin;
    const QPointF got = tipOf(0) - pin;
    EXPECT_NEAR(std::hypot(got.x(), got.y()), 1.02 * 150, 1e-9);
    EXPECT_NEAR(std::atan2(got.y(), got.x()), std::atan2(aim.y(), aim.x()), 1e-12);

    // Pointer polls during the drag change neither hover nor pass-through.
    EXPECT_TRUE(host.pollAt(global({1400, 5})));
    EXPECT_FALSE(host.ignoresMouse());
    EXPECT_EQ(rail->over()->part, RailController::Part::charm);

    const int writes = store.writes();
    rail->mouseUp();
    EXPECT_TRUE(host.ignoresMouse());
    EXPECT_FALSE(rail->holding().has_value());
    EXPECT_FALSE(item(0).cord.tip().held);
    EXPECT_EQ(host.cursors.back(), CursorShape::openHand);
    EXPECT_EQ(store.writes(), writes) << "a swung charm changes no setting";
}

TEST_F(PointerTest, SlidingAPinStoresItsPlaceRoundedOnRelease)
{
    struct Case {
        const char* name;
        double toX;
        double live, stored;
    } cases[] = {
        {"leftEdge", -50, 0.01, 0.01},
        {"rightEdge", 5000, 0.99, 0.99},
        {"rounded", 0.123456 * 1440, 0.123456, 0.1235},
        {"roundedHalfUp", 0.43215 * 1440 + 1e-9, 0.43215, 0.4322},
    };
    for (const Case& c : cases) {
        startShown({hung("A", "key", 0.6, 150), hung("B", "bead", 0.3, 150)});
        const Hanging* kept = &item(0);
        const int writes = store.writes();
        rail->mouseDown(pinOf(0) + QPointF(2, 2));
        ASSERT_EQ(rail->holding()->part, RailController::Part::pin) << c.name;
        EXPECT_EQ(rail->holding()->grip, QPointF()) << c.name;
        rail->mouseDragged({c.toX, 40});
        EXPECT_NEAR(item(0).x, c.live, 1e-9) << c.name;
        EXPECT_DOUBLE_EQ(model.settings().hung[0].x, 0.6) << c.name << ": nothing stored during the drag";
        rail->mouseUp();
        EXPECT_DOUBLE_EQ(model.settings().hung[0].x, c.stored) << c.name;
        EXPECT_DOUBLE_EQ(item(0).x, c.stored) << c.name;
        EXPECT_EQ(&item(0), kept) << c.name;
        EXPECT_EQ(store.writes(), writes + 1) << c.name;

        rail->mouseDown(pinOf(0));
        rail->mouseUp();
        EXPECT_EQ(store.writes(), writes + 1) << c.name << ": an unchanged place is not stored again";
        rail.reset();
    }
}

TEST_F(PointerTest, ReleasingAPinWhoseRecordIsGoneSavesNothing)
{
    startShown({hung("A", "key", 0.6, 150)});
    rail->mouseDown(pinOf(0));
    rail->mouseDragged({100, 3});
    const auto held = rail->holding()->item;
    model.setSettings(Preferences{});
    rail->mouseUp();
    EXPECT_TRUE(model.settings().hung.isEmpty());
    EXPECT_NEAR(held->x, 100.0 / 1440, 1e-12);
}

TEST_F(PointerTest, AReleaseThatNeverComesEndsTheHoldAsAReleaseWould)
{
    struct Case {
        const char* name;
        std::function<void()> lose;
    } cases[] = {
        {"another program took the button",
         [this] {
             host.buttonDown = false;
             EXPECT_TRUE(host.pollAt(global({700, 300})));
         }},
        {"the panel was hidden", [this] { model.update([](Preferences& p) { p.hidden = true; }); }},
        {"the screen changed",
         [this] { host.changeScreen(Screen{QRectF(0, 0, 1440, 900), QRectF(0, 30, 1440, 870)}); }},
    };
    for (const Case& c : cases) {
        for (const RailController::Part part : {RailController::Part::charm, RailController::Part::pin}) {
            const bool pin = part == RailController::Part::pin;
            host.buttonDown = true;
            startShown({hung("A", "key", 0.6, 150)});
            const QPointF at = pin ? pinOf(0) : rail->centre(item(0));
            moveRail(at);
            rail->mouseDown(at);
            ASSERT_TRUE(rail->holding().has_value()) << c.name;
            rail->mouseDragged(at + QPointF(-144, 0));
            const int writes = store.writes();

            c.lose();
            EXPECT_FALSE(rail->holding().has_value()) << c.name;
            EXPECT_TRUE(host.ignoresMouse()) << c.name << ": the band lets the pointer through again";
            EXPECT_FALSE(item(0).cord.tip().held) << c.name;
            if (pin) {
                EXPECT_DOUBLE_EQ(model.settings().hung[0].x, 0.5) << c.name << ": the slid pin is stored";
            }
            const int after = store.writes();
            EXPECT_GT(after, pin ? writes : writes - 1) << c.name;
            rail->mouseUp();
            EXPECT_EQ(store.writes(), after) << c.name << ": a late release stores nothing more";
            rail.reset();
            model.setSettings(Preferences{});
        }
    }
}

TEST_F(PointerTest, WhereClicksPassOnlyAStillRailTheCharmsRestUnlessTouched)
{
    host.restOnly = true;
    startShown({hung("A", "bead", 0.25, 150)}, [](Preferences& p) {
        p.breeze = true;
        p.shimmer = true;
    });
    rail->show(true);
    EXPECT_TRUE(host.delayed.empty()) << "no swing at showing";
    rail->stir();
    EXPECT_LT(host.runFrames(4000), 4000) << "neither breeze nor shimmer keeps it going";
    EXPECT_TRUE(host.framesPaused());
    EXPECT_EQ(tipDrift(0), 0.0);
    for (const auto& item : rail->items())
        EXPECT_LT(item->shimmerAt, 0.0);

    rail->swingAll(9.0);
    EXPECT_NE(tipDrift(0), 0.0) << "a swing asked for still swings";
    EXPECT_FALSE(host.framesPaused());
}

TEST_F(PointerTest, PressOnNothingDoesNothing)
{
    startShown({hung("A", "bead", 0.25, 150)});
    rail->mouseDown({1300, 400});
    rail->mouseDragged({1200, 400});
    rail->mouseUp();
    EXPECT_FALSE(rail->holding().has_value());
    EXPECT_EQ(host.soundLog->plays, 0);
    EXPECT_TRUE(host.framesPaused());
}

TEST_F(PointerTest, ClicksAreSpacedByAQuarterSecondOfRailTime)
{
    startShown({hung("A", "bead", 0.25, 150)});
    const QPointF centre = rail->centre(item(0));
    rail->mouseDown(centre);
    rail->mouseUp();
    EXPECT_EQ(host.soundLog->plays, 0) << "the rail clock starts at 0, like the last click";

    host.runFrame(0);
    host.runFrames(18); // 0.3 s
    rail->mouseDown(rail->centre(item(0)));
    rail->mouseUp();
    EXPECT_EQ(host.soundLog->plays, 1);
    EXPECT_EQ(host.soundLog->stops, 1) << "a playing click is stopped and started over";
    host.runFrames(12); // 0.2 s
    rail->mouseDown(rail->centre(item(0)));
    rail->mouseUp();
    EXPECT_EQ(host.soundLog->plays, 1);
    host.runFrames(4);
    rail->mouseDown(rail->centre(item(0)));
    rail->mouseUp();
    EXPECT_EQ(host.soundLog->plays, 2);
    EXPECT_EQ(host.soundsAsked, QStringList{RailController::clickSoundName}) << "looked up once";
}

TEST_F(PointerTest, SoundSwitchAndMissingSound)
{
    for (const bool missing : {false, true}) {
        host.hasSound = !missing;
        startShown({hung("A", "bead", 0.25, 150)}, [&](Preferences& p) { p.sound = missing; });
        host.runFrame(0);
        host.runFrames(30);
        rail->mouseDown(rail->centre(item(0)));
        rail->mouseUp();
        host.runFrames(30);
        rail->mouseDown(rail->centre(item(0)));
        rail->mouseUp();
        EXPECT_EQ(host.soundLog->plays, 0);
        EXPECT_EQ(host.soundsAsked.size(), missing ? 1 : 0) << "a missing sound is looked up once";
        rail.reset();
    }
}

} // namespace
} // namespace pendra
