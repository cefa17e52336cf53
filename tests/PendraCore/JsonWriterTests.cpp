#include "JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace pendra {
namespace {

QString readBack(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json.toStdString();
    return document.array().at(0).toString();
}

TEST(JsonWriter, EveryStringReadsBackUnchanged)
{
    const QString cases[] = {
        QString(),
        "plain",
        "quote \" backslash \\ slash /",
        "controls \n\r\t\b\f" + QString(QChar(0)) + QChar(0x1f) + QChar(0x7f),
        QString::fromUtf8("caf\u00e9 \u2028 \U0001F319"),
        QString(QChar(0xd800)),
        QString(QChar(0xdf19)) + "x",
        "a" + QString(QChar(0xdbff)) + QString(QChar(0xdbff)) + QString(QChar(0xdfff)),
        QString(QChar(0xdc00)) + QString(QChar(0xd800)),
    };
    for (const QString& text : cases) {
        JsonWriter json;
        json.beginArray().value(text).endArray();
        const QByteArray bytes = json.take();
        EXPECT_EQ(readBack(bytes), text) << bytes.toStdString();
    }
}

TEST(JsonWriter, LoneSurrogatesAreEscapedAndPairsWrittenAsUtf8)
{
    JsonWriter json;
    json.beginArray().value(QString(QChar(0xd83c)) + "|" + QString::fromUtf8("\U0001F319")).endArray();
    EXPECT_EQ(json.take(), QByteArray("[\"\\ud83c|\xf0\x9f\x8c\x99\"]"));
}

TEST(JsonWriter, NumbersReadBackExactlyAndNonFiniteOnesAsNull)
{
    const double numbers[] = {0.0, 0.1, 1.0 / 3.0, 1.7976931348623157e308, 4.9e-324, -96.5, 150.0};
    for (const double number : numbers) {
        JsonWriter json;
        json.beginArray().value(number).endArray();
        const QByteArray bytes = json.take();
        EXPECT_EQ(QJsonDocument::fromJson(bytes).array().at(0).toDouble(), number) << bytes.toStdString();
    }
    JsonWriter json;
    json.beginArray().value(std::numeric_limits<double>::infinity()).value(std::nan("")).endArray();
    EXPECT_EQ(json.take(), QByteArray("[null,null]"));
}

} // namespace
} // namespace pendra
