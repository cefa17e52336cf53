#include "Cord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numbers>

// Counts heap allocations so a test can show that a step makes none.
namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace pendra {
namespace {

constexpr double pi = std::numbers::pi;

double distance(const Bead& a, double x, double y)
{
    return std::sqrt((a.x - x) * (a.x - x) + (a.y - y) * (a.y - y));
}

void expectWithinTether(const Cord& cord)
{
    const Bead& pin = cord.beads().front();
    for (std::size_t i = 1; i < cord.beads().size(); ++i)
        EXPECT_LE(distance(cord.beads()[i], pin.x, pin.y), cord.spacing() * double(i) * 1.02 + 1e-9) << "bead " << i;
}

TEST(Cord, NewCordHangsStraightDownAtRest)
{
    const Cord cord(50, 3, 120, 1.0);
    ASSERT_EQ(cord.beads().size(), 13u);
    EXPECT_DOUBLE_EQ(cord.spacing(), 10.0);
    EXPECT_DOUBLE_EQ(cord.length(), 120.0);
    EXPECT_EQ(cord.stirring(), 0.0);
    EXPECT_EQ(cord.tilt(), 0.0);
    EXPECT_EQ(cord.spin(), 0.0);
    for (std::size_t i = 0; i < 13; ++i) {
        const Bead& b = cord.beads()[i];
        EXPECT_EQ(b.x, 50.0);
        EXPECT_DOUBLE_EQ(b.y, 3.0 + 10.0 * double(i));
        EXPECT_EQ(b.ox, b.x);
        EXPECT_EQ(b.oy, b.y);
        EXPECT_FALSE(b.held);
        const double give = i == 0 ? 0.0 : i == 12 ? 0.34 : 1.0;
        EXPECT_DOUBLE_EQ(b.give, give) << "bead " << i;
    }
}

TEST(Cord, HeftIsAtLeastThreeTenths)
{
    struct Case {
        double heft;
        double stored;
    };
    const Case cases[] = {{0.1, 0.3}, {-4.0, 0.3}, {std::nan(""), 0.3}, {0.3, 0.3}, {1.7, 1.7}};
    for (const Case& c : cases) {
        const Cord cord(0, 0, 100, c.heft);
        EXPECT_DOUBLE_EQ(cord.heft(), c.stored) << c.heft;
        EXPECT_DOUBLE_EQ(cord.tip().give, 0.34 / c.stored) << c.heft;
    }
}

TEST(Cord, RetentionGrowsWithHeftUpToACap)
{
    struct Case {
        double slip;
        double heft;
        double keep;
    };
    const Case cases[] = {
        {0.9955, 1.0, 0.9955}, {0.9955, 2.0, 0.996625}, {0.9, 1.0, 0.9},
        {0.975, 0.5, 0.9625},  {0.9995, 1.8, 0.9995},   {0.9992, 5.0, 0.9995}, {0.999, 1000.0, 0.9994995},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(Cord::retention(c.slip, c.heft), c.keep, 1e-12) << c.slip << " " << c.heft;
}

TEST(Cord, StraightCordStaysStraightAndWithinItsTether)
{
    Cord cord(200, 3, 150, 1.3);
    for (int step = 0; step < 240; ++step) {
        cord.advance({200, 3}, Cord::tick, 0.9955, 0.0);
        for (const Bead& b : cord.beads())
            ASSERT_EQ(b.x, 200.0) << "step " << step;
        ASSERT_EQ(cord.tilt(), 0.0);
        expectWithinTether(cord);
    }
}

TEST(Cord, SwingingCordNeverStretchesPastTwoPercent)
{
    Cord cord(0, 0, 200, 0.6);
    cord.shove(400, -300);
    for (int step = 0; step < 400; ++step) {
        cord.advance({std::sin(step * 0.1) * 30, 0}, Cord::tick, 0.9955, 80.0);
        expectWithinTether(cord);
        if (HasFailure())
            return;
    }
}

TEST(Cord, SwingDiesDownWithHighFriction)
{
    Cord cord(0, 0, 150, 1.0);
    cord.shove(12, 0);
    EXPECT_GT(cord.stirring(), 0.05);
    for (int step = 0; step < 600; ++step)
        cord.advance({0, 0}, Cord::tick, 0.9, 0.0);
    EXPECT_LT(cord.stirring(), 0.05);
    EXPECT_NEAR(cord.tip().x, 0.0, 0.5);
}

TEST(Cord, MirroredShovesGiveMirroredSwings)
{
    Cord left(0, 0, 120, 1.2);
    Cord right(0, 0, 120, 1.2);
    left.shove(-7, 0);
    right.shove(7, 0);
    for (int step = 0; step < 50; ++step) {
        left.advance({0, 0}, Cord::tick, 0.9955, 0.0);
        right.advance({0, 0}, Cord::tick, 0.9955, 0.0);
    }
    for (std::size_t i = 0; i < left.beads().size(); ++i) {
        EXPECT_NEAR(left.beads()[i].x, -right.beads()[i].x, 1e-9);
        EXPECT_NEAR(left.beads()[i].y, right.beads()[i].y, 1e-9);
    }
    EXPECT_NEAR(left.tilt(), -right.tilt(), 1e-12);
    // The tip swung right, so the charm's downward axis turns towards +x,
    // which is a negative angle in the y-down frame.
    EXPECT_GT(right.tip().x, 0.0);
    EXPECT_LT(right.tilt(), 0.0);
}

TEST(Cord, FirstStepFallsByGravityOnlyWhereNothingHoldsIt)
{
    // With the constraints satisfied from the start, one step moves every free
    // bead by g·dt² and relaxation pulls it back; the held tip does not move.
    Cord cord(0, 0, 24, 1.0, 2);
    cord.hold({0, 24});
    cord.grab(true);
    cord.advance({0, 0}, Cord::tick, 0.9955, 0.0);
    EXPECT_EQ(cord.tip().x, 0.0);
    EXPECT_EQ(cord.tip().y, 24.0);
    EXPECT_NEAR(cord.beads()[1].y, 12.0, 0.02);
}

TEST(Cord, RelaxationMovesOnlyBeadsThatGive)
{
    // Pin at the origin, tip held 16 points away: the middle bead must find a
    // point 10 from each, while pin and tip stay exactly where they are.
    Cord cord(0, 0, 20, 1.0, 2);
    cord.hold({16, 0});
    cord.grab(true);
    cord.advance({0, 0}, 0.0, 0.9955, 0.0);
    EXPECT_EQ(cord.beads()[0].x, 0.0);
    EXPECT_EQ(cord.beads()[0].y, 0.0);
    EXPECT_EQ(cord.tip().x, 16.0);
    EXPECT_EQ(cord.tip().y, 0.0);
    EXPECT_NEAR(cord.beads()[1].x, 8.0, 0.05);
    EXPECT_NEAR(cord.beads()[1].y, 6.0, 0.05);
}

TEST(Cord, PairWithNoGiveIsSkipped)
{
    // A two-joint cord whose middle bead is the only free one; hold the tip so
    // the lower pair has a held bead and a free one, and check no NaN appears
    // when beads coincide.
    Cord cord(0, 0, 20, 1.0, 2);
    cord.hold({0, 0});
    cord.grab(true);
    cord.advance({0, 0}, 0.0, 0.9955, 0.0);
    for (const Bead& b : cord.beads()) {
        EXPECT_TRUE(std::isfinite(b.x));
        EXPECT_TRUE(std::isfinite(b.y));
    }
    EXPECT_EQ(cord.tip().x, 0.0);
    EXPECT_EQ(cord.tip().y, 0.0);
}

TEST(Cord, HeldTipIsPulledBackWhenThePinMovesAway)
{
    Cord cord(0, 0, 100, 1.0);
    cord.grab(true);
    const Bead before = cord.tip();
    cord.advance({0, 0}, Cord::tick, 0.9955, 0.0);
    EXPECT_EQ(cord.tip().x, before.x);
    EXPECT_EQ(cord.tip().y, before.y);

    cord.advance({300, 0}, Cord::tick, 0.9955, 0.0);
    EXPECT_NEAR(distance(cord.tip(), 300, 0), 102.0, 1e-9);
    EXPECT_TRUE(cord.tip().held);
}

TEST(Cord, ShoveAddsVelocityDividedByHeft)
{
    Cord cord(0, 0, 100, 1.5);
    cord.shove(9, -3);
    EXPECT_DOUBLE_EQ(cord.tip().drift().x, 6.0);
    EXPECT_DOUBLE_EQ(cord.tip().drift().y, -2.0);
    EXPECT_EQ(cord.tip().x, 0.0);
}

TEST(Cord, HoldCarriesTheHandsMotion)
{
    Cord cord(0, 0, 100, 1.0);
    cord.hold({100, 50});
    cord.hold({110, 50});
    EXPECT_EQ(cord.tip().drift(), (Point{10, 0}));
    EXPECT_EQ(cord.tip().x, 110.0);
}

TEST(Cord, RepinMovesOnlyThePin)
{
    Cord cord(10, 3, 100, 1.0);
    const Cord before = cord;
    cord.repin(60);
    EXPECT_EQ(cord.beads()[0].x, 60.0);
    EXPECT_EQ(cord.beads()[0].ox, 60.0);
    EXPECT_EQ(cord.beads()[0].y, 3.0);
    for (std::size_t i = 1; i < cord.beads().size(); ++i)
        EXPECT_EQ(cord.beads()[i], before.beads()[i]);
}

TEST(Cord, TiltWrapsAroundAtPi)
{
    // Hold the tip almost straight above the pin, a little to the left: the
    // spring overshoots past pi and must come back as an angle near -pi.
    Cord cord(0, 0, 120, 1.0);
    cord.grab(true);
    cord.hold({-0.5, -120});
    bool wrapped = false;
    for (int step = 0; step < 200; ++step) {
        const double before = cord.tilt();
        cord.settle();
        ASSERT_LE(cord.tilt(), pi);
        ASSERT_GE(cord.tilt(), -pi);
        if (before > 2.5 && cord.tilt() < -2.5)
            wrapped = true;
    }
    EXPECT_TRUE(wrapped);
}

TEST(Cord, TiltSettlesOnTheDirectionOfTheCordsEnd)
{
    Cord cord(0, 0, 120, 1.0);
    // Bend the end: the tip one spacing to the right of the bead two above it.
    cord.grab(true);
    const Bead above = cord.beads()[10];
    cord.hold({above.x + 20, above.y});
    for (int step = 0; step < 300; ++step)
        cord.settle();
    EXPECT_NEAR(cord.tilt(), -pi / 2, 1e-6);
    EXPECT_NEAR(cord.spin(), 0.0, 1e-6);
}

TEST(Cord, StirringCountsEveryBeadAndTheSpin)
{
    Cord cord(0, 0, 100, 1.0);
    cord.shove(3, 4);
    EXPECT_DOUBLE_EQ(cord.stirring(), 7.0);
}

// The step written out plainly, one pair after another, as a reference for the
// reordered loop the cord uses.
struct ReferenceCord {
    std::vector<Bead> beads;
    double spacing, heft, tilt = 0, spin = 0;

    void advance(Point pin, double dt, double slip, double breeze)
    {
        const std::size_t n = beads.size();
        beads[0].x = beads[0].ox = pin.x;
        beads[0].y = beads[0].oy = pin.y;
        const double keep = std::min(slip + (1 - slip) * (1 - 1 / heft) * 0.5, 0.9995);
        for (std::size_t i = 1; i < n; ++i) {
            Bead& b = beads[i];
            if (b.held)
                continue;
            const double nx = b.x + (b.x - b.ox) * keep + breeze * dt * dt;
            const double ny = b.y + (b.y - b.oy) * keep + 2400.0 * dt * dt;
            b.ox = b.x;
            b.oy = b.y;
            b.x = nx;
            b.y = ny;
        }
        for (int pass = 0; pass < 14; ++pass) {
            for (std::size_t j = 1; j < n; ++j) {
                Bead& a = beads[j - 1];
                Bead& b = beads[j];
                const double wa = a.held ? 0 : a.give, wb = b.held ? 0 : b.give;
                if (wa + wb == 0)
                    continue;
                const double dx = b.x - a.x, dy = b.y - a.y;
                const double dist = std::max(std::sqrt(dx * dx + dy * dy), 0.0001);
                const double k = (dist - spacing) / dist / (wa + wb);
                a.x += dx * k * wa;
                a.y += dy * k * wa;
                b.x -= dx * k * wb;
                b.y -= dy * k * wb;
            }
        }
        for (std::size_t i = 1; i < n; ++i) {
            const double dx = beads[i].x - beads[0].x, dy = beads[i].y - beads[0].y;
            const double d = std::sqrt(dx * dx + dy * dy), limit = spacing * double(i) * 1.02;
            if (d > 0 && d > limit) {
                beads[i].x = beads[0].x + dx * limit / d;
                beads[i].y = beads[0].y + dy * limit / d;
            }
        }
        const double a = std::atan2(-(beads[n - 1].x - beads[n - 3].x), beads[n - 1].y - beads[n - 3].y);
        const double e = a - tilt;
        spin = spin * 0.86 + std::atan2(std::sin(e), std::cos(e)) * (0.24 / heft);
        tilt += spin;
        if (tilt > pi)
            tilt -= 2 * pi;
        else if (tilt < -pi)
            tilt += 2 * pi;
    }
};

TEST(Cord, StepMatchesThePlainFormulaOverALongSwing)
{
    for (const int jointCount : {2, 3, 12, 20}) {
        Cord cord(300, 3, 190, 1.4, jointCount);
        ReferenceCord reference{cord.beads(), cord.spacing(), cord.heft()};
        for (int step = 0; step < 300; ++step) {
            const Point pin{300 + 40 * std::sin(step * 0.05), 3};
            if (step % 50 == 0) {
                cord.shove(14, -3);
                reference.beads.back().ox -= 14 / 1.4;
                reference.beads.back().oy += 3 / 1.4;
            }
            const bool held = step >= 120 && step < 160;
            cord.grab(held);
            reference.beads.back().held = held;
            cord.advance(pin, Cord::tick, 0.9955, 66 * std::sin(step * 0.02));
            reference.advance(pin, Cord::tick, 0.9955, 66 * std::sin(step * 0.02));
            for (std::size_t i = 0; i < cord.beads().size(); ++i) {
                ASSERT_NEAR(cord.beads()[i].x, reference.beads[i].x, 1e-9) << jointCount << " step " << step;
                ASSERT_NEAR(cord.beads()[i].y, reference.beads[i].y, 1e-9) << jointCount << " step " << step;
            }
            ASSERT_NEAR(cord.tilt(), reference.tilt, 1e-9) << jointCount << " step " << step;
        }
    }
}

// FNV-1a over the bits of a double.
std::uint64_t mix(std::uint64_t hash, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) {
        hash ^= (bits >> (8 * i)) & 0xff;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

TEST(Cord, SwingIsBitForBitTheSameOnEveryMachine)
{
    // Six hundred steps of pin moves, shoves, a hold and the breeze, from
    // inputs that are exact in binary. The fingerprint changes with a single
    // rounding anywhere: compiled with fused multiply-adds (aarch64, or x86-64
    // built for a processor with FMA) it does not match.
    Cord cord(300, 3, 190, 1.4);
    cord.shove(14, -3);
    for (int step = 0; step < 600; ++step) {
        const double pinX = step < 200 ? 300.0 : step < 400 ? 340.0 : 290.5;
        if (step % 150 == 75)
            cord.shove(-9.5, 2.0);
        const bool held = step >= 250 && step < 280;
        cord.grab(held);
        if (held)
            cord.hold(Point{330.0, 150.0});
        cord.advance(Point{pinX, 3.0}, Cord::tick, 0.9955, step < 300 ? 66.0 : -30.0);
    }
    std::uint64_t fingerprint = 0xcbf29ce484222325ull;
    for (const Bead& b : cord.beads())
        fingerprint = mix(mix(fingerprint, b.x), b.y);
    fingerprint = mix(mix(fingerprint, cord.tilt()), cord.spin());
    EXPECT_EQ(fingerprint, 0x3559b72956dc1c31ull) << std::hex << fingerprint;
}

TEST(Cord, StepsDoNotAllocate)
{
    Cord cord(0, 0, 150, 1.0);
    cord.shove(5, 0);
    const long before = allocations.load();
    for (int step = 0; step < 100; ++step) {
        cord.advance({0, 0}, Cord::tick, 0.9955, 30.0);
        cord.shove(0.1, 0);
        cord.hold({1, 140});
        cord.repin(2);
    }
    EXPECT_EQ(allocations.load(), before);
}

} // namespace
} // namespace pendra
