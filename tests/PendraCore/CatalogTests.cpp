#include "Catalog.h"

#include "TempFolder.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QSet>

#include <cfloat>

#include <gtest/gtest.h>

#include <algorithm>

namespace pendra {
namespace {

using test::TempFolder;

QByteArray entry(const char* id, const char* set, const char* extra = "")
{
    return QByteArray(R"({"id":")") + id + R"(","name":")" + id + R"(","set":")" + set + R"(","file":")" + id
        + R"(.png")" + extra + "}";
}

QStringList ids(const QList<Charm>& charms)
{
    QStringList list;
    for (const Charm& c : charms)
        list << c.id;
    return list;
}

TEST(Catalog, KeepsOnlyCharmsWhosePictureExists)
{
    TempFolder folder;
    folder.write("charms.json", "[" + entry("a", "x") + "," + entry("b", "y") + "," + entry("c", "x") + "]");
    folder.write("a.png", "not even a picture");
    folder.write("c.png", "");
    const auto catalog = Catalog::load(folder.path());
    ASSERT_TRUE(catalog);
    EXPECT_EQ(ids(catalog->charms()), (QStringList{"a", "c"}));
    EXPECT_EQ(catalog->folder(), folder.path());
    EXPECT_FALSE(catalog->charm("b"));
    ASSERT_EQ(catalog->sets().size(), 1);
    EXPECT_EQ(catalog->sets().front().id, "x");
    EXPECT_EQ(catalog->picture(*catalog->charm("c")), folder.file("c.png"));
}

TEST(Catalog, SetsFollowTheFilesFirstMention)
{
    TempFolder folder;
    folder.write("charms.json", "[" + entry("one", "b", R"(,"setName":"Bees")") + "," + entry("two", "a") + ","
                                    + entry("three", "b", R"(,"setName":"Other")") + "]");
    for (const char* name : {"one.png", "two.png", "three.png"})
        folder.write(name, "x");
    const auto catalog = Catalog::load(folder.path());
    ASSERT_TRUE(catalog);
    const QList<CharmSet> sets = catalog->sets();
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0].id, "b");
    EXPECT_EQ(sets[0].name, "Bees");
    EXPECT_EQ(ids(sets[0].charms), (QStringList{"one", "three"}));
    EXPECT_EQ(sets[1].id, "a");
    EXPECT_EQ(sets[1].name, "A");
    EXPECT_EQ(ids(sets[1].charms), (QStringList{"two"}));
}

TEST(Catalog, DuplicateIdsAreKeptAndTheFirstWins)
{
    TempFolder folder;
    folder.write("charms.json", "[" + entry("a", "x", R"(,"heft":1.5)") + "," + entry("a", "y") + "]");
    folder.write("a.png", "x");
    const auto catalog = Catalog::load(folder.path());
    ASSERT_TRUE(catalog);
    EXPECT_EQ(catalog->charms().size(), 2);
    EXPECT_EQ(catalog->charm("a")->heft, 1.5);
}

TEST(Catalog, EmptyArrayIsAnEmptyCatalog)
{
    TempFolder folder;
    folder.write("charms.json", " [ ] ");
    const auto catalog = Catalog::load(folder.path());
    ASSERT_TRUE(catalog);
    EXPECT_TRUE(catalog->charms().isEmpty());
    EXPECT_TRUE(catalog->sets().isEmpty());
    EXPECT_FALSE(catalog->charm("nazar"));
}

TEST(Catalog, AnyBadEntryOrBadFileFailsTheWholeLoad)
{
    const QByteArray good = entry("a", "x");
    const QByteArray cases[] = {
        "",
        "{}",
        "null",
        "[" + good + "," + R"({"id":"b","name":"B","set":"x"})" + "]",
        "[" + good + "," + entry("b", "x", R"(,"w":"300")") + "]",
        "[" + good + ",",
        "[" + good + "] trailing",
        QByteArray("\xff\xfe\x00\x01garbage", 12),
        QByteArray(100000, '[') + QByteArray(100000, ']'),
        "[" + good + ",7]",
    };
    for (const QByteArray& bytes : cases) {
        TempFolder folder;
        folder.write("charms.json", bytes);
        folder.write("a.png", "x");
        QString error;
        EXPECT_FALSE(Catalog::load(folder.path(), &error)) << bytes.left(60).toStdString();
        EXPECT_FALSE(error.isEmpty()) << bytes.left(60).toStdString();
    }
}

TEST(Catalog, NumbersBeyondADoubleDoNotLoseTheCatalog)
{
    const QByteArray bytes = "[" + entry("a", "x", R"(,"w":1e400,"h":1e-400,"heft":-1e999)") + "," + entry("b", "x") + "]";
    const auto charms = Catalog::decode(bytes);
    ASSERT_TRUE(charms);
    ASSERT_EQ(charms->size(), 2);
    EXPECT_EQ((*charms)[0].w, DBL_MAX);
    EXPECT_EQ((*charms)[0].h, 0.0);
    EXPECT_EQ((*charms)[0].heft, -DBL_MAX);
    EXPECT_EQ((*charms)[0].ratio(), DBL_MAX);
    EXPECT_EQ((*charms)[1].id, "b");
}

TEST(Catalog, MissingFileFailsWithAReason)
{
    TempFolder folder;
    QString error;
    EXPECT_FALSE(Catalog::load(folder.file("nowhere"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Catalog, DamagedTextEitherFailsOrDecodesToSoundCharms)
{
    // Damage a sound catalog byte by byte: the decoder must never crash, and
    // whatever it accepts must be charms that survive a round trip.
    const QByteArray sound = "[" + entry("a", "x", R"(,"w":300,"glass":false)") + "," + entry("b", "y") + "]";
    QRandomGenerator random(1234);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes = sound;
        for (int hits = 1 + int(random.bounded(3)); hits > 0; --hits)
            bytes[int(random.bounded(bytes.size()))] = "[]{}\",:0123456789.eE-+tfn \\"[random.bounded(28)];
        const auto charms = Catalog::decode(bytes);
        if (!charms)
            continue;
        ++accepted;
        for (const Charm& charm : *charms) {
            const auto back = Charm::decode(charm.encode());
            ASSERT_TRUE(back);
            EXPECT_EQ(*back, charm);
        }
    }
    EXPECT_GT(accepted, 0);
}

TEST(Catalog, MadeDirectlyKeepsItsListAsItIs)
{
    Charm a;
    a.id = "gone";
    a.file = "missing.png";
    const Catalog catalog({a}, "/nowhere");
    EXPECT_EQ(catalog.charms().size(), 1);
    EXPECT_EQ(catalog.charm("gone")->file, "missing.png");
}

// The catalog and pictures the program ships.
class ShippedCatalog : public ::testing::Test {
protected:
    static inline const QString folder = QStringLiteral(PENDRA_SHIPPED_CHARMS);
};

TEST_F(ShippedCatalog, EveryEntryLoadsWithItsPicture)
{
    QFile file(folder + "/charms.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString error;
    const auto entries = Catalog::decode(file.readAll(), &error);
    ASSERT_TRUE(entries) << error.toStdString();
    const auto catalog = Catalog::load(folder, &error);
    ASSERT_TRUE(catalog) << error.toStdString();
    // A charm whose picture is missing would silently drop out of the catalog.
    EXPECT_EQ(catalog->charms().size(), entries->size());

    QSet<QString> ids;
    QSet<QString> files;
    for (const Charm& charm : catalog->charms()) {
        EXPECT_FALSE(ids.contains(charm.id)) << "the id " << charm.id.toStdString() << " is used twice";
        EXPECT_FALSE(files.contains(charm.file)) << charm.file.toStdString() << " is shared";
        ids.insert(charm.id);
        files.insert(charm.file);
        EXPECT_FALSE(charm.name.isEmpty()) << charm.id.toStdString();
        EXPECT_FALSE(charm.setName.isEmpty()) << charm.id.toStdString();
        EXPECT_GE(charm.heft, 0.6) << charm.id.toStdString();
        EXPECT_LE(charm.heft, 1.8) << charm.id.toStdString();
    }
    // The first run hangs the nazar; the studio shows the charms set by set.
    ASSERT_FALSE(catalog->charms().isEmpty());
    EXPECT_EQ(catalog->charms().front().id, "nazar");
    EXPECT_GE(catalog->charms().size(), 24);
    EXPECT_GE(catalog->sets().size(), 6);
}

TEST_F(ShippedCatalog, EveryPictureIsLargeTransparentAtItsEdgesAndHoldsItsHook)
{
    const auto catalog = Catalog::load(folder);
    ASSERT_TRUE(catalog);
    for (const Charm& charm : catalog->charms()) {
        SCOPED_TRACE(charm.id.toStdString());
        QImageReader reader(catalog->picture(charm));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        // The largest charm on a screen of double density is 836 pixels tall;
        // a smaller picture would be blown up and go soft.
        EXPECT_GE(image.height(), 840);
        EXPECT_EQ(double(image.width()), charm.w);
        EXPECT_EQ(double(image.height()), charm.h);

        // Nothing touches the border, so nothing of the charm was cut off.
        int opaqueOnBorder = 0;
        for (int x = 0; x < image.width(); ++x)
            opaqueOnBorder += (qAlpha(image.pixel(x, 0)) != 0) + (qAlpha(image.pixel(x, image.height() - 1)) != 0);
        for (int y = 0; y < image.height(); ++y)
            opaqueOnBorder += (qAlpha(image.pixel(0, y)) != 0) + (qAlpha(image.pixel(image.width() - 1, y)) != 0);
        EXPECT_EQ(opaqueOnBorder, 0);

        // The hook lies inside the picture, on or right beside the ring or
        // loop the cord passes through.
        ASSERT_GT(charm.hookX, 0.0);
        ASSERT_LT(charm.hookX, 1.0);
        ASSERT_GT(charm.hookY, 0.0);
        ASSERT_LT(charm.hookY, 1.0);
        const QPoint hook(int(charm.hookX * image.width()), int(charm.hookY * image.height()));
        const int reach = image.height() / 30;
        bool solidNearby = false;
        for (int y = std::max(0, hook.y() - reach); y <= std::min(image.height() - 1, hook.y() + reach); ++y) {
            for (int x = std::max(0, hook.x() - reach); x <= std::min(image.width() - 1, hook.x() + reach); ++x)
                solidNearby = solidNearby || qAlpha(image.pixel(x, y)) > 200;
        }
        EXPECT_TRUE(solidNearby) << "no part of the charm near the hook at " << hook.x() << "," << hook.y();
    }
}

} // namespace
} // namespace pendra
