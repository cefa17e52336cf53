#include "HungRow.h"

#include "Copy.h"
#include "StudioTestFixture.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace pendra::test {
namespace {

class HungRowTest : public StudioTest {
protected:
    HungRow& row(const Hung& h)
    {
        m_row = std::make_unique<HungRow>(model, h, *model.catalog().charm(h.charmID));
        m_row->resize(m_row->sizeHint());
        return *m_row;
    }

    double dropOf(const QString& uid) const
    {
        for (const Hung& h : model.settings().hung) {
            if (h.uid == uid)
                return h.drop;
        }
        return -1;
    }

private:
    std::unique_ptr<HungRow> m_row;
};

TEST_F(HungRowTest, ShowsTheCharmAndItsCordLength)
{
    const Hung h{"A", "moon", 0.5, 230};
    start({h});
    HungRow& r = row(h);
    EXPECT_EQ(r.findChild<QLabel*>("name")->text(), QStringLiteral("Crescent Moon"));
    EXPECT_EQ(r.dropSlider()->value(), 500);
    EXPECT_EQ(r.dropSlider()->width(), HungRow::sliderWidth);
    EXPECT_EQ(r.takeDownButton()->toolTip(), Copy::remove);
    QStringList texts;
    for (const QLabel* label : r.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(Copy::cordLength));
}

TEST_F(HungRowTest, SliderEndsStoreTheBoundsExactly)
{
    struct Case {
        Qt::Key key;
        double drop;
    } cases[] = {{Qt::Key_End, 420.0}, {Qt::Key_Home, 40.0}, {Qt::Key_End, 420.0}};
    const Hung h{"A", "sun", 0.5, 150};
    start({h, Hung{"B", "moon", 0.3, 96}});
    HungRow& r = row(h);
    for (const Case& c : cases) {
        QTest::keyClick(r.dropSlider(), c.key);
        EXPECT_EQ(dropOf("A"), c.drop);
        EXPECT_EQ(dropOf("B"), 96.0) << "the other placement keeps its cord";
    }
}

TEST_F(HungRowTest, EveryMovementIsStored)
{
    const Hung h{"A", "sun", 0.5, 150};
    start({h});
    HungRow& r = row(h);
    const int before = store.writes();
    for (int position : {300, 301, 302})
        r.dropSlider()->setValue(position);
    EXPECT_EQ(store.writes(), before + 3);
    EXPECT_NEAR(dropOf("A"), 40 + 380 * 0.302, 1e-9);
}

TEST_F(HungRowTest, SetHungMovesTheSliderWithoutWriting)
{
    const Hung h{"A", "sun", 0.5, 150};
    start({h});
    HungRow& r = row(h);
    const int before = store.writes();
    r.setHung(Hung{"A", "sun", 0.5, 420});
    EXPECT_EQ(r.dropSlider()->value(), 1000);
    EXPECT_EQ(r.hung().drop, 420.0);
    EXPECT_EQ(store.writes(), before);
    EXPECT_EQ(dropOf("A"), 150.0);
}

TEST_F(HungRowTest, TakeDownButtonRemovesOnlyThisPlacement)
{
    const Hung h{"B", "sun", 0.6, 150};
    start({Hung{"A", "sun", 0.2, 100}, h});
    HungRow& r = row(h);
    click(r.takeDownButton());
    ASSERT_EQ(model.settings().hung.size(), 1);
    EXPECT_EQ(model.settings().hung[0].uid, QStringLiteral("A"));
}

TEST_F(HungRowTest, ALateSliderChangeAfterTakingDownChangesNothing)
{
    const Hung h{"A", "sun", 0.5, 150};
    start({h, Hung{"B", "moon", 0.3, 96}});
    HungRow& r = row(h);
    model.takeDown("A");
    const Preferences after = model.settings();
    const int writes = store.writes();
    const int told = rail.told;
    r.dropSlider()->setValue(900);
    EXPECT_EQ(model.settings(), after);
    EXPECT_EQ(store.writes(), writes);
    EXPECT_EQ(rail.told, told);
}

} // namespace
} // namespace pendra::test
