#include "XSettingsParser.h"

#include <gtest/gtest.h>

namespace pendra {
namespace {

// Writes a settings blob as a manager would, in either byte order.
class Blob {
public:
    explicit Blob(bool bigEndian, quint32 count) : m_big(bigEndian)
    {
        card8(bigEndian ? 1 : 0);
        pad(3);
        card32(7); // serial
        card32(count);
    }
    Blob& integer(const QByteArray& name, qint32 value)
    {
        head(0, name);
        card32(quint32(value));
        return *this;
    }
    Blob& text(const QByteArray& name, const QByteArray& value)
    {
        head(1, name);
        card32(quint32(value.size()));
        m_bytes += value;
        pad((4 - value.size() % 4) % 4);
        return *this;
    }
    Blob& colour(const QByteArray& name, quint16 r, quint16 g, quint16 b, quint16 a)
    {
        head(2, name);
        for (quint16 c : {r, g, b, a})
            card16(c);
        return *this;
    }
    Blob& raw(const QByteArray& bytes)
    {
        m_bytes += bytes;
        return *this;
    }
    const QByteArray& bytes() const { return m_bytes; }

private:
    void head(quint8 type, const QByteArray& name)
    {
        card8(type);
        pad(1);
        card16(quint16(name.size()));
        m_bytes += name;
        pad((4 - name.size() % 4) % 4);
        card32(3); // last-change serial
    }
    void card8(quint8 v) { m_bytes += char(v); }
    void card16(quint16 v)
    {
        if (m_big) {
            card8(quint8(v >> 8));
            card8(quint8(v));
        } else {
            card8(quint8(v));
            card8(quint8(v >> 8));
        }
    }
    void card32(quint32 v)
    {
        if (m_big) {
            card16(quint16(v >> 16));
            card16(quint16(v));
        } else {
            card16(quint16(v));
            card16(quint16(v >> 16));
        }
    }
    void pad(int n) { m_bytes += QByteArray(n, '\0'); }

    bool m_big;
    QByteArray m_bytes;
};

QByteArray sample(bool bigEndian)
{
    return Blob(bigEndian, 4)
        .integer("Gtk/EnableAnimations", 0)
        .text("Net/ThemeName", "Adwaita")
        .colour("Gtk/Colour", 1, 2, 0xffff, 0x8000)
        .integer("Xft/DPI", -98304)
        .bytes();
}

TEST(XSettingsParser, ReadsEveryTypeInBothByteOrders)
{
    for (bool big : {false, true}) {
        const QHash<QString, QVariant> values = XSettingsParser::parse(sample(big));
        ASSERT_EQ(values.size(), 4) << big;
        EXPECT_EQ(values.value("Gtk/EnableAnimations"), QVariant(0)) << big;
        EXPECT_EQ(values.value("Net/ThemeName"), QVariant(QString("Adwaita"))) << big;
        EXPECT_EQ(values.value("Gtk/Colour"), QVariant(QVariantList{1, 2, 0xffff, 0x8000})) << big;
        EXPECT_EQ(values.value("Xft/DPI"), QVariant(-98304)) << big;
    }
}

TEST(XSettingsParser, CutShortItKeepsOnlyWhatWasWhole)
{
    // Every truncation gives a subset of the whole blob's values, each entry
    // either complete with its right value or absent.
    const QByteArray whole = sample(false);
    const QHash<QString, QVariant> all = XSettingsParser::parse(whole);
    qsizetype previous = 0;
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        const QHash<QString, QVariant> some = XSettingsParser::parse(whole.left(length));
        for (auto it = some.cbegin(); it != some.cend(); ++it)
            EXPECT_EQ(all.value(it.key()), it.value()) << length;
        EXPECT_GE(some.size(), previous) << length;
        previous = some.size();
    }
    EXPECT_EQ(previous, 4);
}

TEST(XSettingsParser, LiesInTheDataStopTheReading)
{
    struct Case {
        const char* name;
        QByteArray blob;
        QStringList keys;
    } cases[] = {
        {"empty", QByteArray(), {}},
        {"more entries than written", Blob(false, 1000).integer("A", 1).bytes(), {"A"}},
        {"unknown type", Blob(false, 2).integer("A", 1).raw(QByteArray("\x07\0\1\0B\0\0\0", 8)).integer("C", 3).bytes(),
         {"A"}},
        {"string longer than the blob",
         Blob(false, 2).integer("A", 1).raw(QByteArray("\x01\0\1\0B\0\0\0\0\0\0\0\xff\xff\xff\xff", 16)).bytes(), {"A"}},
        {"name longer than the blob", Blob(false, 1).raw(QByteArray("\0\0\xff\xff", 4)).bytes(), {}},
        {"count of four billion", Blob(true, 0xffffffffu).text("T", "x").bytes(), {"T"}},
    };
    for (const Case& c : cases) {
        const QHash<QString, QVariant> values = XSettingsParser::parse(c.blob);
        QStringList keys = values.keys();
        keys.sort();
        EXPECT_EQ(keys, c.keys) << c.name;
    }
}

} // namespace
} // namespace pendra
