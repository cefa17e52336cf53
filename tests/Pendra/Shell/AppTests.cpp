#include "App.h"

#include "Copy.h"
#include "MemoryStore.h"
#include "FakeHost.h"
#include "RailController.h"
#include "StudioWindow.h"

#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace pendra {
namespace {

MemoryStore storeWith(std::function<void(Preferences&)> change)
{
    Preferences settings;
    change(settings);
    MemoryStore store;
    store.setData(AppModel::settingsKey, settings.encode());
    return store;
}

TEST(App, HiddenAtLaunchStillMakesTheRailAndOffersToShowIt)
{
    MemoryStore store = storeWith([](Preferences& p) {
        p.hidden = true;
        p.hung = {Hung{Preferences::newUid(), QStringLiteral("nazar"), 0.5, 150.0}};
    });
    App app(store);
    ASSERT_EQ(app.rail(), nullptr);
    app.start(std::make_unique<FakeHost>());
    ASSERT_NE(app.rail(), nullptr);
    EXPECT_EQ(app.model().rail(), app.rail());
    EXPECT_FALSE(app.rail()->host().isVisible());
    QAction& label = app.menu().action(TrayMenu::Item::hideOrShow);
    EXPECT_EQ(label.text(), Copy::showCharms);

    label.trigger();
    EXPECT_TRUE(app.rail()->host().isVisible());
    EXPECT_FALSE(app.model().settings().hidden);
    EXPECT_EQ(label.text(), Copy::hideCharms);
}

TEST(App, WithoutATrayTheStudioOpensOnceAndIsReused)
{
    // Qt's offscreen platform has no tray, like a desktop without one.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    MemoryStore store = storeWith([](Preferences&) {});
    App app(store);
    app.start(std::make_unique<FakeHost>());
    ASSERT_NE(app.studio(), nullptr);
    EXPECT_TRUE(app.studio()->isVisible());
    EXPECT_TRUE(app.rail()->host().isVisible());

    StudioWindow* first = app.studio();
    app.studio()->close();
    app.openStudio();
    EXPECT_EQ(app.studio(), first);
    EXPECT_TRUE(app.studio()->isVisible());
}

TEST(App, WithoutATrayTheStudioOffersTheMenusShortcuts)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    MemoryStore store = storeWith([](Preferences&) {});
    App app(store);
    app.start(std::make_unique<FakeHost>());
    StudioWindow* studio = app.studio();
    ASSERT_NE(studio, nullptr);
    EXPECT_FALSE(studio->windowIcon().pixmap(32).isNull()) << "the taskbar shows the application's icon";
    studio->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(studio));

    for (const bool hidden : {true, false}) {
        QTest::keyClick(studio, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(app.model().settings().hidden, hidden);
        EXPECT_EQ(app.rail()->host().isVisible(), !hidden);
    }

    // Control-Q ends the program's event loop, as the menu's Quit does.
    bool gaveUp = false;
    QTimer::singleShot(0, studio, [studio] { QTest::keyClick(studio, Qt::Key_Q, Qt::ControlModifier); });
    QTimer::singleShot(10000, studio, [&gaveUp] {
        gaveUp = true;
        QCoreApplication::exit(3);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(gaveUp);
}

TEST(App, AStartAtLoginNeverOpensTheStudio)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    MemoryStore store = storeWith([](Preferences&) {});
    App app(store);
    app.start(std::make_unique<FakeHost>(), App::Launch::atLogin);
    EXPECT_EQ(app.studio(), nullptr);
    EXPECT_TRUE(app.rail()->host().isVisible());
    ASSERT_NE(app.trayIcon(), nullptr) << "the icon docks when a tray turns up";
    app.openStudio();
    ASSERT_NE(app.studio(), nullptr);
    EXPECT_TRUE(app.studio()->isVisible());
}

TEST(App, StartingAndQuittingWriteNothing)
{
    MemoryStore store = storeWith([](Preferences& p) { p.scale = 1.4; });
    const QByteArray before = *store.data(AppModel::settingsKey);
    auto app = std::make_unique<App>(store);
    app->start(std::make_unique<FakeHost>());
    app.reset();
    EXPECT_EQ(store.writes(), 1) << "only the record this test put there";
    EXPECT_EQ(*store.data(AppModel::settingsKey), before);
}

} // namespace
} // namespace pendra
