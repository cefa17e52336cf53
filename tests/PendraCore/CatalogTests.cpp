#include "Catalog.h"

#include "TempFolder.h"

#include <QRandomGenerator>

#include <cfloat>

#include <gtest/gtest.h>

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

} // namespace
} // namespace pendra
