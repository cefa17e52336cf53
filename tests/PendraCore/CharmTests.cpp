#include "Charm.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace pendra {
namespace {

std::optional<Charm> decodeText(const char* json, QString* error = nullptr)
{
    return Charm::decode(QJsonDocument::fromJson(QByteArray("[") + json + "]").array().at(0), error);
}

TEST(Charm, MinimalEntryTakesEveryDefault)
{
    const auto charm = decodeText(R"({"id":"a","name":"A","set":"amulets","file":"a.png"})");
    ASSERT_TRUE(charm);
    EXPECT_EQ(charm->setName, "Amulets");
    EXPECT_EQ(charm->w, 600.0);
    EXPECT_EQ(charm->h, 600.0);
    EXPECT_EQ(charm->hookX, 0.5);
    EXPECT_EQ(charm->hookY, 0.05);
    EXPECT_EQ(charm->heft, 1.0);
    EXPECT_TRUE(charm->glass);
    EXPECT_EQ(charm->ratio(), 1.0);
}

TEST(Charm, NullCountsAsAbsent)
{
    const auto charm = decodeText(
        R"({"id":"a","name":"A","set":"sky","file":"a.png","setName":null,"w":null,"h":null,
            "hookX":null,"hookY":null,"heft":null,"glass":null})");
    ASSERT_TRUE(charm);
    EXPECT_EQ(charm->setName, "Sky");
    EXPECT_EQ(charm->w, 600.0);
    EXPECT_EQ(charm->hookY, 0.05);
    EXPECT_TRUE(charm->glass);
}

TEST(Charm, GivenValuesAreKeptAndExtraKeysIgnored)
{
    const auto charm = decodeText(
        R"({"file":"k.png","glass":false,"heft":1.8,"hookY":0.02,"hookX":0.3,"h":500,"w":250,
            "setName":"Odd Things","set":"odd","name":"Key","id":"key","colour":"brass"})");
    ASSERT_TRUE(charm);
    const Charm expected{"key", "Key", "odd", "Odd Things", "k.png", 250, 500, 0.3, 0.02, 1.8, false};
    EXPECT_EQ(*charm, expected);
    EXPECT_EQ(charm->ratio(), 0.5);
}

TEST(Charm, WrongOrMissingRequiredKeysFail)
{
    const char* cases[] = {
        R"({"name":"A","set":"s","file":"a.png"})",
        R"({"id":"a","set":"s","file":"a.png"})",
        R"({"id":"a","name":"A","file":"a.png"})",
        R"({"id":"a","name":"A","set":"s"})",
        R"({"id":null,"name":"A","set":"s","file":"a.png"})",
        R"({"id":7,"name":"A","set":"s","file":"a.png"})",
        R"({"id":"a","name":"A","set":"s","file":"a.png","w":"300"})",
        R"({"id":"a","name":"A","set":"s","file":"a.png","hookX":true})",
        R"({"id":"a","name":"A","set":"s","file":"a.png","glass":"no"})",
        R"({"id":"a","name":"A","set":"s","file":"a.png","glass":0})",
        R"({"id":"a","name":"A","set":"s","file":"a.png","setName":5})",
        R"("just text")",
        R"([1,2])",
    };
    for (const char* json : cases) {
        QString error;
        EXPECT_FALSE(decodeText(json, &error)) << json;
        EXPECT_FALSE(error.isEmpty()) << json;
    }
}

TEST(Charm, RatioGuardsSmallHeights)
{
    struct Case {
        double w, h, ratio;
    };
    const Case cases[] = {{300, 600, 0.5}, {300, 0, 300}, {300, 1, 300}, {300, 0.5, 300}, {300, -20, 300}, {900, 450, 2}};
    for (const Case& c : cases) {
        Charm charm;
        charm.w = c.w;
        charm.h = c.h;
        EXPECT_DOUBLE_EQ(charm.ratio(), c.ratio) << c.w << "x" << c.h;
    }
}

TEST(Charm, TitleCaseWorksWordByWord)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"amulets", "Amulets"},           {"glass beads", "Glass Beads"}, {"GLASS BEADS", "Glass Beads"},
        {"sea\tand\nsky", "Sea\tAnd\nSky"}, {"  two  spaces", "  Two  Spaces"}, {"o'neil-ish", "O'neil-ish"},
        {"", ""},                         {"élan vital", "Élan Vital"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Charm::titleCase(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(Charm, EncodesAllElevenKeysAndReadsBack)
{
    const Charm charm{"bell", "Bell", "trinkets", "Trinkets", "bell.png", 420, 510, 0.5, 0.03, 1.6, false};
    const QJsonObject object = charm.encode();
    EXPECT_EQ(object.size(), 11);
    const auto back = Charm::decode(object);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, charm);
}

} // namespace
} // namespace pendra
