#include "StudioWindow.h"

#include "About.h"
#include "CharmTile.h"
#include "Copy.h"
#include "CordTile.h"
#include "HungRow.h"
#include "StudioSection.h"
#include "StudioTestFixture.h"
#include "SwitchButton.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>

namespace pendra::test {
namespace {

class StudioWindowTest : public StudioTest {
protected:
    StudioWindow& studio()
    {
        if (!m_studio) {
            m_studio = std::make_unique<StudioWindow>(model);
            m_studio->open();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(m_studio.get()));
        }
        return *m_studio;
    }

    QStringList titles()
    {
        QStringList names;
        for (const StudioSection* section : studio().sections())
            names << section->title();
        return names;
    }

    // The texts of the "Hanging now" rows that are labels, in order.
    QStringList hangingTexts()
    {
        QStringList texts;
        for (QWidget* row : studio().sections().first()->rows()) {
            if (auto* label = qobject_cast<QLabel*>(row))
                texts << label->text();
            else if (auto* hungRow = qobject_cast<HungRow*>(row))
                texts << QStringLiteral("row ") + hungRow->uid();
        }
        return texts;
    }

    CharmTile* tile(const QString& id)
    {
        for (CharmTile* t : studio().charmTiles()) {
            if (t->charm().id == id)
                return t;
        }
        return nullptr;
    }

    // Scrolls a widget into view and clicks it.
    void press(QWidget* widget)
    {
        ASSERT_NE(widget, nullptr);
        studio().scrollArea()->ensureWidgetVisible(widget);
        click(widget);
    }

private:
    std::unique_ptr<StudioWindow> m_studio;
};

TEST_F(StudioWindowTest, IsTheSettingsWindowOfTheGivenSize)
{
    start({});
    EXPECT_EQ(studio().windowTitle(), QStringLiteral("Pendra Settings"));
    EXPECT_EQ(studio().size(), QSize(540, 620));
    EXPECT_TRUE(studio().isWindow());
    EXPECT_TRUE(studio().isVisible());
}

TEST_F(StudioWindowTest, OpeningAgainKeepsTheOneWindow)
{
    start({});
    StudioWindow& window = studio();
    window.hide();
    window.open();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.sections().size(), 6);
}

TEST_F(StudioWindowTest, ControlWClosesTheWindowAndChangesNothing)
{
    start({});
    StudioWindow& window = studio();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const Preferences before = model.settings();
    QTest::keyClick(&window, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(model.settings(), before);
    window.open();
    EXPECT_TRUE(window.isVisible());
}

TEST_F(StudioWindowTest, SectionsComeInOrderWithOnePerSet)
{
    start({});
    EXPECT_EQ(titles(), (QStringList{Copy::yourCharms, "Sky", "Glass", Copy::cordStyle, Copy::motion, QString()}));
    QStringList ids;
    for (const CharmTile* t : studio().charmTiles())
        ids << t->charm().id;
    EXPECT_EQ(ids, (QStringList{"sun", "moon", "cracked", "lost"}));
}

TEST_F(StudioWindowTest, AnEmptyCatalogHasNoSetSections)
{
    MemoryStore emptyStore;
    AppModel empty(emptyStore, Catalog({}, QStringLiteral(PENDRA_TEST_DATA "/studio")), [](bool) {});
    StudioWindow window(empty);
    QStringList names;
    for (const StudioSection* section : window.sections())
        names << section->title();
    EXPECT_EQ(names, (QStringList{Copy::yourCharms, Copy::cordStyle, Copy::motion, QString()}));
    EXPECT_TRUE(window.charmTiles().isEmpty());
    ASSERT_EQ(window.sections().first()->rows().size(), 1);
    EXPECT_EQ(qobject_cast<QLabel*>(window.sections().first()->rows().first())->text(), Copy::nothingHung);
}

TEST_F(StudioWindowTest, NothingHungShowsTheEmptyTextWithoutTheHint)
{
    start({});
    EXPECT_EQ(hangingTexts(), QStringList{Copy::nothingHung});
    EXPECT_EQ(studio().findChild<QLabel*>("dragHint"), nullptr);
    EXPECT_TRUE(studio().hungRows().isEmpty());
}

TEST_F(StudioWindowTest, OneRowPerPlacementThenTheHint)
{
    start({Hung{"A", "moon", 0.2, 100}, Hung{"B", "sun", 0.5, 150}, Hung{"C", "moon", 0.8, 190}});
    EXPECT_EQ(hangingTexts(), (QStringList{"row A", "row B", "row C", Copy::dragHint}));
    EXPECT_EQ(studio().hungRows().at(2)->dropSlider()->value(), HungRow::dropMapping().position(190));
}

TEST_F(StudioWindowTest, RowsFollowChangesMadeThroughTheModel)
{
    start({});
    studio();
    struct Step {
        const char* name;
        std::function<void()> act;
        QStringList rows;
    } steps[] = {
        {"hang", [&] { model.hang("sun"); }, {"row *", Copy::dragHint}},
        {"hang another", [&] { model.hang("moon"); }, {"row *", "row *", Copy::dragHint}},
        {"take the first down", [&] { model.takeDown(model.settings().hung.first().uid); }, {"row *", Copy::dragHint}},
        {"take the last down", [&] { model.takeDown(model.settings().hung.first().uid); }, {Copy::nothingHung}},
    };
    for (const Step& s : steps) {
        s.act();
        settle();
        QStringList got = hangingTexts();
        for (QString& text : got) {
            if (text.startsWith("row "))
                text = "row *";
        }
        EXPECT_EQ(got, s.rows) << s.name;
        for (int i = 0; i < studio().hungRows().size(); ++i)
            EXPECT_EQ(studio().hungRows().at(i)->uid(), model.settings().hung.at(i).uid) << s.name;
    }
}

TEST_F(StudioWindowTest, ADropChangedElsewhereMovesTheSliderInPlace)
{
    start({Hung{"A", "sun", 0.5, 150}});
    HungRow* row = studio().hungRows().first();
    QSlider* slider = row->dropSlider();
    slider->setSliderDown(true);
    model.update([](Preferences& p) { p.hung[0].drop = 420; });
    EXPECT_EQ(studio().hungRows().first(), row) << "the row is kept, not rebuilt";
    EXPECT_EQ(slider->value(), 1000);
    slider->setSliderDown(false);
}

TEST_F(StudioWindowTest, TakeDownButtonRemovesItsRow)
{
    start({Hung{"A", "sun", 0.5, 150}, Hung{"B", "moon", 0.3, 96}});
    press(studio().hungRows().first()->takeDownButton());
    settle();
    EXPECT_EQ(hangingTexts(), (QStringList{"row B", Copy::dragHint}));
    EXPECT_EQ(model.settings().hung.size(), 1);
}

TEST_F(StudioWindowTest, TilePressHangsAndPressAgainTakesDownEveryCopy)
{
    start({Hung{"A", "moon", 0.2, 100}, Hung{"B", "moon", 0.7, 120}});
    EXPECT_TRUE(tile("moon")->showsCheckmark());
    press(tile("moon"));
    settle();
    EXPECT_TRUE(model.settings().hung.isEmpty());
    EXPECT_FALSE(tile("moon")->showsCheckmark());
    EXPECT_EQ(hangingTexts(), QStringList{Copy::nothingHung});

    press(tile("moon"));
    settle();
    ASSERT_EQ(model.settings().hung.size(), 1);
    EXPECT_EQ(model.settings().hung[0].charmID, QStringLiteral("moon"));
    EXPECT_TRUE(tile("moon")->showsCheckmark());
    EXPECT_EQ(tile("moon")->toolTip(), Copy::remove);
    EXPECT_EQ(tile("sun")->toolTip(), Copy::addCharm);
    EXPECT_EQ(studio().hungRows().size(), 1);
}

TEST_F(StudioWindowTest, ChoosingACordTileStoresTheLook)
{
    start({});
    ASSERT_EQ(studio().cordTiles().size(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(studio().cordTiles().at(i)->style(), CordStyles::allCases.at(i));
    CordTile* braid = studio().cordTiles().at(3);
    press(braid);
    EXPECT_EQ(model.settings().cord, CordStyle::braid);
    for (const CordTile* t : studio().cordTiles())
        EXPECT_EQ(t->picked(), t == braid) << CordStyles::name(t->style()).toStdString();
    EXPECT_EQ(rail.told, 1);
}

TEST_F(StudioWindowTest, ChoosingTheSelectedCordTileStoresNothing)
{
    start({}, [](Preferences& p) { p.cord = CordStyle::leather; });
    CordTile* leather = studio().cordTiles().at(4);
    ASSERT_TRUE(leather->picked());
    const Preferences before = model.settings();
    const int writes = store.writes();
    press(leather);
    EXPECT_EQ(model.settings(), before);
    EXPECT_EQ(store.writes(), writes);
    EXPECT_EQ(rail.told, 0);
    EXPECT_TRUE(leather->picked());
}

TEST_F(StudioWindowTest, CordTileFollowsAChangeFromElsewhere)
{
    start({});
    model.update([](Preferences& p) { p.cord = CordStyle::blueBeads; });
    EXPECT_TRUE(studio().cordTiles().at(7)->picked());
    EXPECT_FALSE(studio().cordTiles().at(0)->picked());
}

TEST_F(StudioWindowTest, SizeSliderEndsStoreTheBoundsExactly)
{
    start({});
    QSlider* slider = studio().sizeSlider();
    EXPECT_EQ(slider->width(), 220);
    struct Case {
        Qt::Key key;
        double scale;
    } cases[] = {{Qt::Key_End, 2.2}, {Qt::Key_Home, 0.5}, {Qt::Key_PageUp, 0.5 + 0.17}};
    for (const Case& c : cases) {
        QTest::keyClick(slider, c.key);
        if (c.key == Qt::Key_PageUp)
            EXPECT_NEAR(model.settings().scale, c.scale, 1e-12);
        else
            EXPECT_EQ(model.settings().scale, c.scale);
    }
}

TEST_F(StudioWindowTest, SizeSliderFollowsTheModel)
{
    start({}, [](Preferences& p) { p.scale = 1.35; });
    EXPECT_EQ(studio().sizeSlider()->value(), 500);
    const int writes = store.writes();
    model.update([](Preferences& p) { p.scale = 2.2; });
    EXPECT_EQ(studio().sizeSlider()->value(), 1000);
    EXPECT_EQ(store.writes(), writes + 1) << "showing the new value writes nothing back";
}

struct SwitchCase {
    const QString* text;
    bool Preferences::*field;
};

const SwitchCase switchCases[] = {
    {&Copy::breeze, &Preferences::breeze}, {&Copy::shimmer, &Preferences::shimmer},
    {&Copy::sound, &Preferences::sound},   {&Copy::calm, &Preferences::calm},
    {&Copy::still, &Preferences::still},   {&Copy::launchAtLogin, &Preferences::launchAtLogin},
};

TEST_F(StudioWindowTest, EachSwitchIsBoundToExactlyOneField)
{
    start({Hung{"A", "sun", 0.5, 150}});
    QStringList order;
    for (const SwitchButton* button : studio().findChildren<SwitchButton*>())
        order << button->text();
    EXPECT_EQ(order, (QStringList{Copy::breeze, Copy::shimmer, Copy::sound, Copy::calm, Copy::still,
                                  Copy::launchAtLogin}));

    for (const SwitchCase& c : switchCases) {
        SwitchButton* button = studio().switchFor(c.field);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), *c.text);
        for (int flip = 0; flip < 2; ++flip) {
            Preferences expected = model.settings();
            expected.*c.field = !(expected.*c.field);
            press(button);
            EXPECT_EQ(model.settings(), expected) << c.text->toStdString();
            EXPECT_EQ(button->isChecked(), model.settings().*c.field) << c.text->toStdString();
        }
    }
    EXPECT_EQ(logins, (QList<bool>{true, false})) << "only the login switch reached the login item";
}

TEST_F(StudioWindowTest, SwitchesFollowChangesFromElsewhere)
{
    start({});
    for (const SwitchCase& c : switchCases) {
        const bool now = model.settings().*c.field;
        model.update([&](Preferences& p) { p.*c.field = !now; });
        EXPECT_EQ(studio().switchFor(c.field)->isChecked(), !now) << c.text->toStdString();
    }
}

TEST_F(StudioWindowTest, NotesSitBelowTheirSwitches)
{
    start({});
    QStringList texts;
    for (QWidget* row : studio().sections().at(4)->rows()) {
        if (auto* button = qobject_cast<SwitchButton*>(row))
            texts << button->text();
        else if (auto* label = qobject_cast<QLabel*>(row))
            texts << label->text();
    }
    EXPECT_EQ(texts, (QStringList{Copy::breeze, Copy::breezeNote, Copy::shimmer, Copy::shimmerNote, Copy::sound,
                                  Copy::calm, Copy::still, Copy::stillNote, Copy::launchAtLogin}));
}

TEST_F(StudioWindowTest, LastSectionCarriesPrivacyButtonsAndVersion)
{
    start({});
    StudioSection* last = studio().sections().last();
    QStringList labels;
    for (const QLabel* label : last->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(Copy::privacy));
    EXPECT_EQ(last->findChild<QLabel*>("version")->text(),
              QStringLiteral("Pendra %1 (%2)").arg(About::version(), About::build()));
    EXPECT_EQ(last->findChild<QLabel*>("version")->text(), QStringLiteral("Pendra 1.0.0 (1)"));
    QStringList buttons;
    for (const QPushButton* button : last->findChildren<QPushButton*>())
        buttons << button->text();
    EXPECT_EQ(buttons, (QStringList{Copy::reportBug, Copy::rateApp}));
}

TEST_F(StudioWindowTest, FormScrollsAndSetGridsAdaptToTheWidth)
{
    start({});
    QScrollArea* scroll = studio().scrollArea();
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0) << "the form is taller than the window";
    const QRect first = tile("sun")->geometry();
    const QRect second = tile("moon")->geometry();
    EXPECT_EQ(first.top(), second.top()) << "tiles share a row";
    EXPECT_GE(first.width(), 74);
    EXPECT_EQ(second.left() - first.right() - 1, 10);
    const QRect cordFirst = studio().cordTiles().at(0)->geometry();
    EXPECT_GE(cordFirst.width(), 116);
    EXPECT_EQ(studio().cordTiles().at(1)->geometry().left() - cordFirst.right() - 1, 8);
}

} // namespace
} // namespace pendra::test
