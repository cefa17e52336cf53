#include "Cord.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

namespace pendra {

namespace {
constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2.0 * std::numbers::pi;
constexpr double minDistance = 0.0001;
constexpr double stretchLimit = 1.02;
} // namespace

Cord::Cord(double x, double y, double length, double heft, int jointCount)
{
    assert(length > 0.0 && jointCount >= 2);
    // NaN compares false everywhere, so it has to be caught before max().
    m_heft = std::isnan(heft) ? 0.3 : std::max(heft, 0.3);
    m_spacing = length / double(jointCount);
    m_beads.reserve(std::size_t(jointCount) + 1);
    m_beads.emplace_back(x, y, 0.0);
    for (int i = 1; i <= jointCount; ++i) {
        const double give = i == jointCount ? 0.34 / m_heft : 1.0;
        m_beads.emplace_back(x, y + length * double(i) / double(jointCount), give);
    }
}

double Cord::stirring() const
{
    double sum = std::fabs(m_spin);
    for (const Bead& b : m_beads)
        sum += std::fabs(b.x - b.ox) + std::fabs(b.y - b.oy);
    return sum;
}

double Cord::retention(double slip, double heft)
{
    return std::min(slip + (1.0 - slip) * (1.0 - 1.0 / heft) * 0.5, 0.9995);
}

void Cord::advance(Point pin, double dt, double slip, double breeze)
{
    Bead* const b = m_beads.data();
    const std::size_t n = m_beads.size();
    assert(n >= 2);

    b[0].x = b[0].ox = pin.x;
    b[0].y = b[0].oy = pin.y;

    const double keep = retention(slip, m_heft);
    const double ax = breeze * dt * dt;
    const double ay = gravity * dt * dt;

    for (std::size_t i = 1; i < n; ++i) {
        Bead& bead = b[i];
        if (bead.held)
            continue;
        const double nx = bead.x + (bead.x - bead.ox) * keep + ax;
        const double ny = bead.y + (bead.y - bead.oy) * keep + ay;
        bead.ox = bead.x;
        bead.oy = bead.y;
        bead.x = nx;
        bead.y = ny;
    }

    // Each pass runs from the pin to the tip and every pair sees the corrections
    // made before it. Pair j of pass p touches beads j-1 and j, so it is
    // independent of pair j+2 of the pass before; walking the passes as a
    // wavefront, two pairs apart, keeps that exact order of updates while
    // letting the processor overlap the square roots of several passes.
    const std::size_t pairs = n - 1;
    const std::size_t slots = pairs + 2 * (relaxations - 1);
    for (std::size_t t = 0; t < slots; ++t) {
        const std::size_t firstPass = t + 1 > pairs ? (t + 2 - pairs) / 2 : 0;
        const std::size_t lastPass = std::min<std::size_t>(t / 2, relaxations - 1);
        for (std::size_t pass = firstPass; pass <= lastPass; ++pass)
            relax(b, t - 2 * pass + 1);
    }

    rein();
    settle();
}

inline void Cord::relax(Bead* b, std::size_t j) const
{
    Bead& upper = b[j - 1];
    Bead& lower = b[j];
    const double wa = upper.held ? 0.0 : upper.give;
    const double wb = lower.held ? 0.0 : lower.give;
    const double w = wa + wb;
    if (w == 0.0)
        return;
    const double inverseWeight = 1.0 / w;
    const double dx = lower.x - upper.x;
    const double dy = lower.y - upper.y;
    const double dist = std::max(std::sqrt(dx * dx + dy * dy), minDistance);
    const double k = (dist - m_spacing) / dist * inverseWeight;
    upper.x += dx * k * wa;
    upper.y += dy * k * wa;
    lower.x -= dx * k * wb;
    lower.y -= dy * k * wb;
}

void Cord::rein()
{
    const std::size_t n = m_beads.size();
    if (n < 2)
        return;
    const double px = m_beads[0].x;
    const double py = m_beads[0].y;
    for (std::size_t i = 1; i < n; ++i) {
        Bead& bead = m_beads[i];
        const double dx = bead.x - px;
        const double dy = bead.y - py;
        const double d2 = dx * dx + dy * dy;
        const double limit = m_spacing * double(i) * stretchLimit;
        // Comparing squares first keeps the square root off the common path.
        if (d2 > 0.0 && d2 > limit * limit) {
            const double dist = std::sqrt(d2);
            if (dist > limit) {
                bead.x = px + dx * limit / dist;
                bead.y = py + dy * limit / dist;
            }
        }
    }
}

void Cord::settle()
{
    const std::size_t n = m_beads.size();
    assert(n >= 3);
    const Bead& tip = m_beads[n - 1];
    const Bead& above = m_beads[n - 3];
    const double dx = tip.x - above.x;
    const double dy = tip.y - above.y;
    const double target = std::atan2(-dx, dy);

    // Wrapping the difference into [-pi, pi]; remainder() does what
    // atan2(sin e, cos e) would, without the trigonometry.
    double err = target - m_tilt;
    if (err > pi || err < -pi)
        err = std::remainder(err, twoPi);

    m_spin = m_spin * 0.86 + err * (0.24 / m_heft);
    m_tilt += m_spin;
    if (m_tilt > pi)
        m_tilt -= twoPi;
    else if (m_tilt < -pi)
        m_tilt += twoPi;
}

void Cord::shove(double dx, double dy)
{
    Bead& tip = m_beads.back();
    tip.ox -= dx / m_heft;
    tip.oy -= dy / m_heft;
}

void Cord::hold(Point at)
{
    Bead& tip = m_beads.back();
    tip.ox = tip.x;
    tip.oy = tip.y;
    tip.x = at.x;
    tip.y = at.y;
}

void Cord::grab(bool held)
{
    m_beads.back().held = held;
}

void Cord::repin(double x)
{
    m_beads.front().x = x;
    m_beads.front().ox = x;
}

} // namespace pendra
