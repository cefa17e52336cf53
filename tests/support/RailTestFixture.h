#pragma once

#include "AppModel.h"
#include "FakeHost.h"
#include "MemoryStore.h"
#include "RailController.h"

#include <gtest/gtest.h>

#include <memory>

namespace pendra {

inline Charm charm(const char* id, const char* file, bool glass = true, double heft = 1.0)
{
    Charm c;
    c.id = id;
    c.name = id;
    c.set = "s";
    c.file = file;
    c.glass = glass;
    c.heft = heft;
    return c;
}

inline Charm shaped(Charm c, double w, double h, double hookX, double hookY)
{
    c.w = w;
    c.h = h;
    c.hookX = hookX;
    c.hookY = hookY;
    return c;
}

// Charms on real fixture files, three whose pictures the drawing tests serve
// through the fake host ("none" has no picture at all), and three drawn
// charms kept as they looked when the reference pictures were made.
inline Catalog testCatalog()
{
    return Catalog({charm("bead", "bead.png"), charm("key", "bead.png", false), charm("broken", "not-a-picture.png"),
                    shaped(charm("hook", "hook.png"), 200, 100, 0.25, 0.1),
                    shaped(charm("grey", "grey.png"), 100, 100, 0.5, 0.0), charm("none", "none.png"),
                    shaped(charm("star", "star.png"), 416, 447, 0.5, 0.0324),
                    shaped(charm("skeleton-key", "skeleton-key.png", false), 192, 548, 0.5, 0.0265),
                    shaped(charm("crescent-moon", "crescent-moon.png", false), 415, 518, 0.5994, 0.0279)},
                   QStringLiteral(PENDRA_TEST_DATA "/rail"));
}

inline Hung hung(const char* uid, const char* charmID, double x, double drop)
{
    return Hung{uid, charmID, x, drop};
}

// A controller on a fake host with a 1440 × 900 screen whose top panel is 25
// points tall, settings chosen by each test.
class RailTest : public testing::Test {
protected:
    void start(QList<Hung> placed, std::function<void(Preferences&)> tweak = {})
    {
        Preferences p;
        p.hung = std::move(placed);
        p.shimmer = false;
        if (tweak)
            tweak(p);
        model.setSettings(p);
        rail = std::make_unique<RailController>(model, host);
        rail->seed(7);
        model.setRail(rail.get());
    }

    Hanging& item(std::size_t i) { return *rail->items().at(i); }

    // Global coordinates of a point given in rail coordinates.
    QPointF global(QPointF railPoint) const { return railPoint + host.panelFrame().topLeft(); }

    QPointF tipOf(std::size_t i) { return QPointF(item(i).cord.tip().x, item(i).cord.tip().y); }

    // The sideways motion the tip of hanging i carries into its next step.
    double tipDrift(std::size_t i) { return item(i).cord.tip().x - item(i).cord.tip().ox; }

    // Runs the loop for the given rail time, so that spacing rules measured on
    // the rail clock can pass.
    void passRailTime(double seconds)
    {
        rail->stir();
        host.runFrame(0);
        for (double t = 0; t < seconds - 1e-9; t += 1.0 / 60) {
            rail->stir();
            host.runFrame(1.0 / 60);
        }
    }

    MemoryStore store;
    AppModel model{store, testCatalog()};
    FakeHost host;
    std::unique_ptr<RailController> rail;
};

} // namespace pendra
