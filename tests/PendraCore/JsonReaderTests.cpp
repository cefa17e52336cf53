#include "JsonReader.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cfloat>

#include <gtest/gtest.h>

namespace pendra {
namespace {

TEST(JsonReader, NumbersBeyondADoubleReadAsTheNearestOne)
{
    struct Case {
        const char* number;
        double value;
    } cases[] = {
        {"1e400", DBL_MAX},
        {"-1e400", -DBL_MAX},
        {"1E+400", DBL_MAX},
        {"123456789e99999999999999999999999", DBL_MAX},
        {"1e-400", 0.0},
        {"-1e-400", 0.0},
        {"0.000001e-320", 0.0},
        {"2e-324", 0.0},
        {"1e308", 1e308},
        {"4.9e-324", 4.9e-324},
        {"0e99999", 0.0},
        {"0.0e-99999", 0.0},
        {"1.5", 1.5},
    };
    for (const Case& c : cases) {
        QJsonParseError error;
        const QJsonDocument document = JsonReader::parse(QByteArray("[") + c.number + "]", &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << c.number;
        const double value = document.array().at(0).toDouble();
        EXPECT_EQ(value, c.value) << c.number;
    }
}

TEST(JsonReader, OnlyNumbersOutsideStringsAreRewritten)
{
    struct Case {
        const char* text;
        const char* saturated;
    } cases[] = {
        {R"({"a":1e400,"b":[-1e-400,2]})", R"({"a":1.7976931348623157e308,"b":[0,2]})"},
        {R"({"1e400":"1e400"})", R"({"1e400":"1e400"})"},
        {R"(["say \"1e400\" \\",1e400])", R"(["say \"1e400\" \\",1.7976931348623157e308])"},
        {R"(["\u0031e400"])", R"(["\u0031e400"])"},
        {"[1e400 , 1e-400\n]", "[1.7976931348623157e308 , 0\n]"},
        {R"(["unterminated 1e400)", R"(["unterminated 1e400)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonReader::saturateNumbers(c.text), QByteArray(c.saturated)) << c.text;
}

TEST(JsonReader, TextThatIsNotJsonStaysRefused)
{
    // Tokens outside JSON's number grammar are left alone, so nothing invalid
    // becomes valid by the rewrite.
    const char* cases[] = {
        "[01e400]", "[1e400.]", "[1e400e1]", "[+1e400]", "[1.e400]", "[.1e400]", "[1e400", "1e400 1e400",
        "[1e400-1]", "[--1e400]", "[1e]", "{1e400:1}", "",
    };
    for (const char* text : cases) {
        QJsonParseError error;
        JsonReader::parse(text, &error);
        EXPECT_NE(error.error, QJsonParseError::NoError) << text;
    }
}

TEST(JsonReader, OrdinaryTextReadsAsQtReadsIt)
{
    const QByteArray text = R"({"hung":[{"x":0.25,"drop":96}],"scale":1,"cord":"twine","still":true})";
    QJsonParseError error;
    EXPECT_EQ(JsonReader::parse(text, &error), QJsonDocument::fromJson(text));
    EXPECT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(JsonReader::saturateNumbers(text), text);
}

} // namespace
} // namespace pendra
