#include "TrayMenu.h"

#include "AppModel.h"
#include "Copy.h"
#include "MemoryStore.h"
#include "RailTestFixture.h"

#include <QAction>
#include <QKeySequence>

#include <gtest/gtest.h>

namespace pendra {
namespace {

// Stands in for the rail: counts the swings it is asked for.
struct SwingLog : RailHook {
    QList<double> swings;
    int changes = 0;
    void settingsChanged(const Preferences&) override { ++changes; }
    void swingAll(double strength) override { swings << strength; }
};

class TrayMenuTest : public testing::Test {
protected:
    TrayMenuTest()
        : model(store, testCatalog(), [](bool) {})
        , menu(model, [this] { ++studioOpened; }, [this] { ++quitCalled; })
    {
        menu.setFeedback(
            [this](const QUrl& url, const std::function<void(bool)>& done) {
                opened << url.toString();
                done(true);
            },
            [this](const QString& text) { copied << text; });
    }

    void set(std::function<void(Preferences&)> change) { model.update(std::move(change)); }
    QAction& item(TrayMenu::Item i) { return menu.action(i); }

    MemoryStore store;
    AppModel model;
    int studioOpened = 0;
    int quitCalled = 0;
    QStringList opened;
    QStringList copied;
    TrayMenu menu;
};

TEST_F(TrayMenuTest, ItemsInOrderWithTheirTextsAndShortcuts)
{
    QStringList texts;
    for (const QAction* action : menu.menu().actions())
        texts << (action->isSeparator() ? QStringLiteral("---") : action->text());
    EXPECT_EQ(texts, (QStringList{Copy::studio, Copy::swingThemAll, "---", Copy::breeze, Copy::still, Copy::hideCharms,
                                  "---", Copy::rateApp, Copy::reportBug, "---", Copy::quit}));
    EXPECT_EQ(item(TrayMenu::Item::studio).shortcut().toString(QKeySequence::PortableText), "Ctrl+,");
    EXPECT_EQ(item(TrayMenu::Item::hideOrShow).shortcut().toString(QKeySequence::PortableText), "Ctrl+Shift+H");
    EXPECT_EQ(item(TrayMenu::Item::quit).shortcut().toString(QKeySequence::PortableText), "Ctrl+Q");
    EXPECT_TRUE(item(TrayMenu::Item::breeze).isCheckable());
    EXPECT_TRUE(item(TrayMenu::Item::still).isCheckable());
    EXPECT_FALSE(item(TrayMenu::Item::hideOrShow).isCheckable());
}

TEST_F(TrayMenuTest, SwingIsEnabledOnlyWithCharmsHungAndNotHeldStill)
{
    struct Case {
        bool anyHung;
        bool still;
        bool enabled;
    };
    for (const Case c : {Case{false, false, false}, Case{false, true, false}, Case{true, true, false},
                         Case{true, false, true}}) {
        set([&](Preferences& p) {
            p.hung.clear();
            if (c.anyHung)
                p.hung << hung("A", "bead", 0.5, 120);
            p.still = c.still;
        });
        EXPECT_EQ(item(TrayMenu::Item::swing).isEnabled(), c.enabled) << c.anyHung << c.still;
    }
}

TEST_F(TrayMenuTest, ChecksAndLabelFollowChangesMadeElsewhere)
{
    set([](Preferences& p) {
        p.breeze = false;
        p.still = true;
        p.hidden = true;
    });
    EXPECT_FALSE(item(TrayMenu::Item::breeze).isChecked());
    EXPECT_TRUE(item(TrayMenu::Item::still).isChecked());
    EXPECT_EQ(item(TrayMenu::Item::hideOrShow).text(), Copy::showCharms);

    set([](Preferences& p) {
        p.breeze = true;
        p.still = false;
        p.hidden = false;
    });
    EXPECT_TRUE(item(TrayMenu::Item::breeze).isChecked());
    EXPECT_FALSE(item(TrayMenu::Item::still).isChecked());
    EXPECT_EQ(item(TrayMenu::Item::hideOrShow).text(), Copy::hideCharms);
}

TEST_F(TrayMenuTest, ChoosingItemsChangesOneSettingThroughTheModel)
{
    const Preferences before = model.settings();
    item(TrayMenu::Item::breeze).trigger();
    EXPECT_EQ(model.settings().breeze, !before.breeze);
    item(TrayMenu::Item::still).trigger();
    EXPECT_EQ(model.settings().still, !before.still);
    item(TrayMenu::Item::hideOrShow).trigger();
    EXPECT_TRUE(model.settings().hidden);
    EXPECT_EQ(item(TrayMenu::Item::hideOrShow).text(), Copy::showCharms);
    item(TrayMenu::Item::hideOrShow).trigger();
    EXPECT_FALSE(model.settings().hidden);
    EXPECT_EQ(model.settings().hung, before.hung);
    EXPECT_EQ(model.settings().scale, before.scale);
}

TEST_F(TrayMenuTest, SwingShowsHiddenCharmsFirstThenSwingsTheRail)
{
    SwingLog rail;
    model.setRail(&rail);
    set([](Preferences& p) {
        p.hung = {hung("A", "bead", 0.5, 120)};
        p.still = false;
        p.hidden = true;
    });
    rail.changes = 0;
    item(TrayMenu::Item::swing).trigger();
    EXPECT_FALSE(model.settings().hidden);
    EXPECT_EQ(item(TrayMenu::Item::hideOrShow).text(), Copy::hideCharms);
    EXPECT_EQ(rail.changes, 1);
    EXPECT_EQ(rail.swings, QList<double>{15.0});

    // Already shown: nothing is stored, the rail only swings.
    const int writes = store.writes();
    item(TrayMenu::Item::swing).trigger();
    EXPECT_EQ(store.writes(), writes);
    EXPECT_EQ(rail.changes, 1);
    EXPECT_EQ(rail.swings, (QList<double>{15.0, 15.0}));
    model.setRail(nullptr);
}

TEST_F(TrayMenuTest, SwingWithoutARailStillShowsTheCharms)
{
    set([](Preferences& p) {
        p.hung = {hung("A", "bead", 0.5, 120)};
        p.hidden = true;
        p.still = false;
    });
    item(TrayMenu::Item::swing).trigger();
    EXPECT_FALSE(model.settings().hidden);
}

TEST_F(TrayMenuTest, StudioQuitAndFeedbackItemsCallTheirActions)
{
    item(TrayMenu::Item::studio).trigger();
    item(TrayMenu::Item::quit).trigger();
    item(TrayMenu::Item::rate).trigger();
    item(TrayMenu::Item::reportBug).trigger();
    EXPECT_EQ(studioOpened, 1);
    EXPECT_EQ(quitCalled, 1);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[0], Copy::website);
    EXPECT_TRUE(opened[1].startsWith("mailto:" + Copy::supportEmail + "?subject="));
    EXPECT_TRUE(copied.isEmpty());
}

} // namespace
} // namespace pendra
