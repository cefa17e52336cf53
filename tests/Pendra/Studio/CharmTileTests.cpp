#include "CharmTile.h"

#include "Copy.h"
#include "StudioTestFixture.h"

namespace pendra::test {
namespace {

class CharmTileTest : public StudioTest {
protected:
    CharmTile& tile(const char* id)
    {
        m_tile = std::make_unique<CharmTile>(model, *model.catalog().charm(id));
        m_tile->resize(m_tile->sizeHint());
        return *m_tile;
    }

    int placementsOf(const QString& id) const
    {
        return int(std::count_if(model.settings().hung.cbegin(), model.settings().hung.cend(),
                                 [&](const Hung& h) { return h.charmID == id; }));
    }

private:
    std::unique_ptr<CharmTile> m_tile;
};

TEST_F(CharmTileTest, PressHangsOneCopy)
{
    start({});
    CharmTile& sun = tile("sun");
    click(&sun);
    EXPECT_EQ(placementsOf("sun"), 1);
    EXPECT_EQ(store.writes(), 1);
}

TEST_F(CharmTileTest, PressAgainTakesDownEveryCopy)
{
    start({Hung{"A", "sun", 0.2, 100}, Hung{"B", "moon", 0.5, 100}, Hung{"C", "sun", 0.8, 120}});
    CharmTile& sun = tile("sun");
    click(&sun);
    EXPECT_EQ(placementsOf("sun"), 0);
    ASSERT_EQ(model.settings().hung.size(), 1);
    EXPECT_EQ(model.settings().hung[0].uid, QStringLiteral("B"));

    click(&sun);
    EXPECT_EQ(placementsOf("sun"), 1) << "a second press hangs one new copy";
}

TEST_F(CharmTileTest, MarkAndTooltipFollowTheModel)
{
    struct Step {
        const char* name;
        std::function<void()> act;
        bool hanging;
    } steps[] = {
        {"at first", [] {}, false},
        {"hung from elsewhere", [&] { model.hang("moon"); }, true},
        {"taken down", [&] { model.takeDown(model.settings().hung.first().uid); }, false},
    };
    start({});
    CharmTile& moon = tile("moon");
    QObject::connect(&model, &AppModel::settingsChanged, &moon, &CharmTile::refresh);
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(moon.showsCheckmark(), s.hanging) << s.name;
        EXPECT_EQ(moon.toolTip(), s.hanging ? Copy::remove : Copy::addCharm) << s.name;
    }
}

TEST_F(CharmTileTest, HangingWhileHiddenShowsTheCharmsAgain)
{
    start({}, [](Preferences& p) { p.hidden = true; });
    CharmTile& sun = tile("sun");
    QObject::connect(&model, &AppModel::settingsChanged, &sun, &CharmTile::refresh);
    click(&sun);
    EXPECT_FALSE(model.settings().hidden);
    EXPECT_TRUE(sun.showsCheckmark());
}

TEST_F(CharmTileTest, APictureThatCannotBeReadStillHangs)
{
    start({});
    for (const char* id : {"cracked", "lost"}) {
        CharmTile& broken = tile(id);
        broken.grab();
        click(&broken);
        EXPECT_EQ(placementsOf(id), 1) << id;
    }
}

TEST_F(CharmTileTest, LongNamesTakeTwoLinesAtMost)
{
    start({});
    CharmTile& moon = tile("moon");
    EXPECT_GT(moon.heightForWidth(52), moon.heightForWidth(300)) << "\"Crescent Moon\" wraps when narrow";
    EXPECT_EQ(moon.heightForWidth(20), moon.heightForWidth(52)) << "but never onto a third line";
}

} // namespace
} // namespace pendra::test
