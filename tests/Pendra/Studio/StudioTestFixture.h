#pragma once

#include "AppModel.h"
#include "MemoryStore.h"
#include "RailHook.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace pendra::test {

inline Charm studioCharm(const char* id, const char* name, const char* set, const char* setName, const char* file)
{
    Charm c;
    c.id = id;
    c.name = name;
    c.set = set;
    c.setName = setName;
    c.file = file;
    return c;
}

// Two sets on the fixture pictures: one charm each with a wide and a tall
// picture, one whose file is not a picture and one whose file is missing.
inline Catalog studioCatalog()
{
    return Catalog({studioCharm("sun", "Sun", "sky", "Sky", "wide.png"),
                    studioCharm("moon", "Crescent Moon", "sky", "Sky", "tall.png"),
                    studioCharm("cracked", "Cracked Glass", "glass", "Glass", "broken.png"),
                    studioCharm("lost", "Lost", "glass", "Glass", "missing.png")},
                   QStringLiteral(PENDRA_TEST_DATA "/studio"));
}

// Counts how often the model tells the rail about a real change.
class CountingRail : public RailHook {
public:
    void settingsChanged(const Preferences&) override { ++told; }
    void swingAll(double) override {}
    int told = 0;
};

// A model on a memory store with the studio catalog, starting with nothing
// hung and the default switches; login changes are recorded, not made.
class StudioTest : public testing::Test {
protected:
    StudioTest() { model.setRail(&rail); }
    ~StudioTest() override { model.setRail(nullptr); }

    void start(QList<Hung> placed, const std::function<void(Preferences&)>& tweak = {})
    {
        Preferences p;
        p.hung = std::move(placed);
        if (tweak)
            tweak(p);
        model.setSettings(p);
    }

    static void click(QWidget* widget)
    {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    }

    // Runs the deletions that rebuilt views leave for the event loop.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    MemoryStore store;
    QList<bool> logins;
    AppModel model{store, studioCatalog(), [this](bool on) { logins.append(on); }};
    CountingRail rail;
};

} // namespace pendra::test
