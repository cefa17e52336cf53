#pragma once

#include "Bead.h"
#include "Point.h"

#include <vector>

namespace pendra {

// A hanging chain of beads simulated by Verlet integration with distance
// constraints, plus a damped angular spring that turns the charm hanging from
// the tip. Bead 0 is the pin, the last bead is the tip.
class Cord {
public:
    static constexpr double gravity = 2400.0;
    static constexpr int relaxations = 14;
    static constexpr int joints = 12;
    static constexpr double tick = 1.0 / 120.0;

    // A cord at rest, hanging straight down from (x, y). Requires length > 0
    // and jointCount >= 2.
    Cord(double x, double y, double length, double heft, int jointCount = joints);

    const std::vector<Bead>& beads() const { return m_beads; }
    double spacing() const { return m_spacing; }
    double heft() const { return m_heft; }
    double tilt() const { return m_tilt; }
    double spin() const { return m_spin; }

    Bead tip() const { return m_beads.back(); }
    double length() const { return m_spacing * double(m_beads.size() - 1); }
    double stirring() const;

    // One simulation step of length dt. slip is the share of its velocity an
    // ordinary bead keeps; breeze is a sideways acceleration.
    void advance(Point pin, double dt, double slip, double breeze);
    // One step of the tilt spring.
    void settle();
    void shove(double dx, double dy);
    void hold(Point at);
    void grab(bool held);
    void repin(double x);
    // Turns the charm directly; the drawing code and its tests use it to pose a cord.
    void setTilt(double tilt) { m_tilt = tilt; }

    // The share of its velocity a bead keeps per step: heavier charms keep more
    // of their swing, at most halfway from slip to 1.
    static double retention(double slip, double heft);

    friend bool operator==(const Cord&, const Cord&) = default;

private:
    void relax(Bead* b, std::size_t j) const;
    void rein();

    std::vector<Bead> m_beads;
    double m_spacing = 0.0;
    double m_heft = 1.0;
    double m_tilt = 0.0;
    double m_spin = 0.0;
};

} // namespace pendra
