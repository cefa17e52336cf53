#include "Catalog.h"
#include "Preferences.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pendra {
namespace {

std::optional<Preferences> decode(const char* json)
{
    return Preferences::decode(QByteArray(json));
}

Hung placed(double x, double drop = 150.0, const char* uid = "U")
{
    return Hung{uid, "nazar", x, drop};
}

Charm charm(const char* id)
{
    Charm c;
    c.id = id;
    c.name = id;
    c.set = "s";
    c.file = QString(id) + ".png";
    return c;
}

TEST(Preferences, EmptyObjectGivesTheDefaults)
{
    const auto prefs = decode("{}");
    ASSERT_TRUE(prefs);
    EXPECT_EQ(*prefs, Preferences());
    EXPECT_TRUE(prefs->hung.isEmpty());
    EXPECT_EQ(prefs->scale, 1.0);
    EXPECT_EQ(prefs->cord, CordStyle::goldThread);
    EXPECT_TRUE(prefs->shimmer);
    EXPECT_TRUE(prefs->sound);
    EXPECT_FALSE(prefs->breeze || prefs->calm || prefs->still || prefs->hidden || prefs->launchAtLogin);
}

TEST(Preferences, NumbersAreClampedIntoTheirBounds)
{
    struct Case {
        const char* json;
        double scale, x, drop;
    };
    const Case cases[] = {
        {R"({"scale":5,"hung":[{"uid":"U","charmID":"c","x":1.5,"drop":10}]})", 2.2, 0.99, 40.0},
        {R"({"scale":0.1,"hung":[{"uid":"U","charmID":"c","x":-3,"drop":1000}]})", 0.5, 0.01, 420.0},
        {R"({"scale":1.3,"hung":[{"uid":"U","charmID":"c","x":0.5,"drop":96.5}]})", 1.3, 0.5, 96.5},
        {R"({"scale":-1e300,"hung":[{"uid":"U","charmID":"c","x":0,"drop":0}]})", 0.5, 0.01, 40.0},
        {R"({"scale":2.2,"hung":[{"uid":"U","charmID":"c","x":1,"drop":420}]})", 2.2, 0.99, 420.0},
    };
    for (const Case& c : cases) {
        const auto prefs = decode(c.json);
        ASSERT_TRUE(prefs) << c.json;
        EXPECT_EQ(prefs->scale, c.scale) << c.json;
        ASSERT_EQ(prefs->hung.size(), 1) << c.json;
        EXPECT_EQ(prefs->hung[0].x, c.x) << c.json;
        EXPECT_EQ(prefs->hung[0].drop, c.drop) << c.json;
    }
}

TEST(Preferences, NumbersBeyondADoubleAreClampedNotFatal)
{
    // Qt's reader refuses such numbers; were the record refused with them, the
    // next change would store the first-run record over the user's charms.
    struct Case {
        const char* json;
        double scale, x, drop;
    };
    const Case cases[] = {
        {R"({"scale":1e400,"hung":[{"uid":"U","charmID":"c","x":1e400,"drop":-1e400}],"still":true})", 2.2, 0.99, 40.0},
        {R"({"scale":1e-400,"hung":[{"uid":"U","charmID":"c","x":-1e-400,"drop":1e-400}],"still":true})", 0.5, 0.01, 40.0},
        {R"({"scale":-1e999,"hung":[{"uid":"U","charmID":"c","x":0.5,"drop":1E+999}],"still":true})", 0.5, 0.5, 420.0},
    };
    for (const Case& c : cases) {
        const auto prefs = decode(c.json);
        ASSERT_TRUE(prefs) << c.json;
        EXPECT_EQ(prefs->scale, c.scale) << c.json;
        ASSERT_EQ(prefs->hung.size(), 1) << c.json;
        EXPECT_EQ(prefs->hung[0].x, c.x) << c.json;
        EXPECT_EQ(prefs->hung[0].drop, c.drop) << c.json;
        EXPECT_TRUE(prefs->still) << c.json;
        EXPECT_EQ(Preferences::decode(prefs->encode()), prefs) << c.json;
    }
}

TEST(Preferences, BadPlacementListIsDroppedButTheRestSurvives)
{
    const char* cases[] = {
        R"({"hung":[{"uid":"A","charmID":"c","x":0.3,"drop":100},{"charmID":"c","x":0.5,"drop":100}],"scale":1.4,"breeze":true,"cord":"twine"})",
        R"({"hung":[{"uid":1,"charmID":"c","x":0.3,"drop":100}],"scale":1.4,"breeze":true,"cord":"twine"})",
        R"({"hung":[{"uid":"A","charmID":"c","x":"0.3","drop":100}],"scale":1.4,"breeze":true,"cord":"twine"})",
        R"({"hung":[{"uid":"A","charmID":"c","x":0.3,"drop":null}],"scale":1.4,"breeze":true,"cord":"twine"})",
        R"({"hung":[7],"scale":1.4,"breeze":true,"cord":"twine"})",
        R"({"hung":{"uid":"A"},"scale":1.4,"breeze":true,"cord":"twine"})",
        R"({"hung":"none","scale":1.4,"breeze":true,"cord":"twine"})",
        R"({"hung":null,"scale":1.4,"breeze":true,"cord":"twine"})",
    };
    for (const char* json : cases) {
        const auto prefs = decode(json);
        ASSERT_TRUE(prefs) << json;
        EXPECT_TRUE(prefs->hung.isEmpty()) << json;
        EXPECT_EQ(prefs->scale, 1.4) << json;
        EXPECT_TRUE(prefs->breeze) << json;
        EXPECT_EQ(prefs->cord, CordStyle::twine) << json;
    }
}

TEST(Preferences, PlacementsKeepOrderAndIgnoreExtraKeys)
{
    const auto prefs = decode(R"({"hung":[{"uid":"B","charmID":"moon","x":0.7,"drop":96,"colour":"red"},
                                          {"drop":190,"x":0.2,"charmID":"key","uid":"A"}]})");
    ASSERT_TRUE(prefs);
    ASSERT_EQ(prefs->hung.size(), 2);
    EXPECT_EQ(prefs->hung[0], (Hung{"B", "moon", 0.7, 96}));
    EXPECT_EQ(prefs->hung[1], (Hung{"A", "key", 0.2, 190}));
}

TEST(Preferences, UnknownCordFallsBackToGoldThread)
{
    const char* cases[] = {
        R"({"cord":"velvet","calm":true})", R"({"cord":7,"calm":true})",    R"({"cord":"Gold-Thread","calm":true})",
        R"({"cord":null,"calm":true})",     R"({"cord":["braid"],"calm":true})", R"({"cord":"braid ","calm":true})",
    };
    for (const char* json : cases) {
        const auto prefs = decode(json);
        ASSERT_TRUE(prefs) << json;
        EXPECT_EQ(prefs->cord, CordStyle::goldThread) << json;
        EXPECT_TRUE(prefs->calm) << json;
    }
}

TEST(Preferences, EveryCordRawValueDecodes)
{
    for (CordStyle style : CordStyles::allCases) {
        const QByteArray json = R"({"cord":")" + CordStyles::rawValue(style).toUtf8() + R"("})";
        const auto prefs = Preferences::decode(json);
        ASSERT_TRUE(prefs);
        EXPECT_EQ(prefs->cord, style);
    }
}

TEST(Preferences, WrongTypesForScaleOrASwitchFailTheRecord)
{
    const char* cases[] = {
        R"({"scale":"1.2"})", R"({"scale":true})",      R"({"scale":[1]})",  R"({"breeze":"true"})",
        R"({"shimmer":1})",   R"({"sound":"no"})",      R"({"calm":{}})",    R"({"still":[]})",
        R"({"hidden":0})",    R"({"launchAtLogin":"yes"})", "[]",            "\"text\"",
        "",                   "{",                      "{}{}",              "nul",
        "\x89PNG\r\n\x1a\n",  "{\"scale\":1e999",
    };
    for (const char* json : cases)
        EXPECT_FALSE(decode(json)) << json;
}

TEST(Preferences, NullSwitchesKeepTheirDefaults)
{
    const auto prefs = decode(R"({"scale":null,"breeze":null,"shimmer":null,"sound":null,"calm":null,
                                  "still":null,"hidden":null,"launchAtLogin":null})");
    ASSERT_TRUE(prefs);
    EXPECT_EQ(*prefs, Preferences());
}

TEST(Preferences, EachSwitchReadsIntoItsOwnField)
{
    struct Case {
        const char* key;
        bool Preferences::*field;
        bool defaultValue;
    };
    const Case cases[] = {
        {"breeze", &Preferences::breeze, false}, {"shimmer", &Preferences::shimmer, true},
        {"sound", &Preferences::sound, true},    {"calm", &Preferences::calm, false},
        {"still", &Preferences::still, false},   {"hidden", &Preferences::hidden, false},
        {"launchAtLogin", &Preferences::launchAtLogin, false},
    };
    for (const Case& c : cases) {
        const QByteArray json = QByteArray("{\"") + c.key + "\":" + (c.defaultValue ? "false" : "true") + "}";
        const auto prefs = Preferences::decode(json);
        ASSERT_TRUE(prefs) << c.key;
        Preferences expected;
        expected.*c.field = !c.defaultValue;
        EXPECT_EQ(*prefs, expected) << c.key;
    }
}

TEST(Preferences, EncodingRoundTripsAndWritesEveryKey)
{
    Preferences prefs;
    prefs.hung = {Hung{"A", "nazar", 0.1235, 96}, Hung{"B", "moon", 0.62, 188.37}};
    prefs.scale = 1.7300000000000002;
    prefs.cord = CordStyle::prayerBeads;
    prefs.breeze = true;
    prefs.shimmer = false;
    prefs.launchAtLogin = true;
    const QByteArray bytes = prefs.encode();
    for (const char* key : {"hung", "scale", "cord", "breeze", "shimmer", "sound", "calm", "still", "hidden",
                            "launchAtLogin", "uid", "charmID", "\"x\"", "drop"})
        EXPECT_TRUE(bytes.contains(key)) << key;
    const auto back = Preferences::decode(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, prefs);
    EXPECT_EQ(Preferences::decode(Preferences().encode()), Preferences());
}

TEST(Preferences, DuplicateKeysAndDeepNestingDoNotCrash)
{
    const auto dup = decode(R"({"scale":1.2,"scale":1.6})");
    ASSERT_TRUE(dup);
    EXPECT_TRUE(dup->scale == 1.2 || dup->scale == 1.6);
    const QByteArray deep = "{\"hung\":" + QByteArray(50000, '[') + QByteArray(50000, ']') + "}";
    EXPECT_FALSE(Preferences::decode(deep) && !Preferences::decode(deep)->hung.isEmpty());
}

TEST(Preferences, NextDropCyclesThroughSixLengths)
{
    const double expected[] = {150, 96, 190, 124, 168, 108, 150, 96};
    Preferences prefs;
    for (double drop : expected) {
        EXPECT_EQ(prefs.nextDrop(), drop) << prefs.hung.size();
        prefs.hung.append(placed(0.5));
    }
}

TEST(Preferences, FreeSpotFindsTheClearestCandidate)
{
    struct Case {
        std::vector<double> xs;
        double spot;
    };
    const Case cases[] = {
        {{}, 0.62},           {{0.5}, 0.12},         {{0.62}, 0.12},       {{0.12, 0.88}, 0.5},
        {{0.62, 0.12}, 0.88}, {{0.12, 0.4, 0.88}, 0.64}, {{0.01, 0.99}, 0.5}, {{0.88}, 0.12},
        {{0.12}, 0.88},       {{0.3, 0.3}, 0.88},
    };
    for (const Case& c : cases) {
        Preferences prefs;
        for (double x : c.xs)
            prefs.hung.append(placed(x));
        EXPECT_NEAR(prefs.freeSpot(), c.spot, 1e-12) << c.xs.size();
    }
    // The last candidate is exactly 0.88, not a value a hair away from it.
    Preferences left;
    left.hung.append(placed(0.12));
    EXPECT_EQ(left.freeSpot(), 0.88);
}

TEST(Preferences, FirstRunPrefersTheNazar)
{
    struct Case {
        std::vector<const char*> ids;
        const char* picked;
    };
    const Case cases[] = {{{"moon", "nazar", "key"}, "nazar"}, {{"moon", "key"}, "moon"}, {{}, nullptr}};
    for (const Case& c : cases) {
        QList<Charm> charms;
        for (const char* id : c.ids)
            charms.append(charm(id));
        const Preferences prefs = Preferences::firstRun(Catalog(charms, "/f"));
        Preferences expected;
        if (c.picked) {
            ASSERT_EQ(prefs.hung.size(), 1);
            EXPECT_EQ(prefs.hung[0].charmID, c.picked);
            EXPECT_EQ(prefs.hung[0].x, 0.62);
            EXPECT_EQ(prefs.hung[0].drop, 150.0);
            expected.hung = prefs.hung;
        }
        EXPECT_EQ(prefs, expected);
    }
}

TEST(Preferences, NewUidsAreUpperCaseVersionFourAndDistinct)
{
    const QRegularExpression form("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$");
    const Catalog catalog({charm("nazar")}, "/f");
    const QString a = Preferences::firstRun(catalog).hung[0].uid;
    const QString b = Preferences::firstRun(catalog).hung[0].uid;
    EXPECT_TRUE(form.match(a).hasMatch()) << a.toStdString();
    EXPECT_TRUE(form.match(b).hasMatch()) << b.toStdString();
    EXPECT_NE(a, b);
}

TEST(Preferences, DamagedRecordsEitherFailOrComeBackWithinBounds)
{
    Preferences prefs;
    prefs.hung = {Hung{"A", "nazar", 0.3, 96}, Hung{"B", "moon", 0.7, 190}};
    prefs.breeze = true;
    const QByteArray sound = prefs.encode();
    QRandomGenerator random(99);
    int accepted = 0;
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes = sound;
        for (int hits = 1 + int(random.bounded(3)); hits > 0; --hits)
            bytes[int(random.bounded(bytes.size()))] = "[]{}\",:0123456789.eE-+tfn \\"[random.bounded(27)];
        const auto back = Preferences::decode(bytes);
        if (!back)
            continue;
        ++accepted;
        EXPECT_GE(back->scale, Preferences::minScale);
        EXPECT_LE(back->scale, Preferences::maxScale);
        for (const Hung& h : back->hung) {
            EXPECT_GE(h.x, 0.01);
            EXPECT_LE(h.x, 0.99);
            EXPECT_GE(h.drop, 40.0);
            EXPECT_LE(h.drop, 420.0);
        }
    }
    EXPECT_GT(accepted, 0);
}

} // namespace
} // namespace pendra
