#include "XSettingsParser.h"

#include <cstdint>

namespace pendra {

namespace {

// Reads the fixed-size fields of the blob in the byte order it declares.
class Reader {
public:
    explicit Reader(const QByteArray& data) : m_data(data) {}

    bool bigEndian = false;

    bool skip(qsizetype n)
    {
        if (n < 0 || m_at + n > m_data.size())
            return false;
        m_at += n;
        return true;
    }
    bool card8(uint8_t& out)
    {
        if (m_at + 1 > m_data.size())
            return false;
        out = uint8_t(m_data[m_at++]);
        return true;
    }
    bool card16(uint16_t& out)
    {
        uint8_t a, b;
        if (!card8(a) || !card8(b))
            return false;
        out = bigEndian ? uint16_t(a << 8 | b) : uint16_t(b << 8 | a);
        return true;
    }
    bool card32(uint32_t& out)
    {
        uint16_t a, b;
        if (!card16(a) || !card16(b))
            return false;
        out = bigEndian ? (uint32_t(a) << 16 | b) : (uint32_t(b) << 16 | a);
        return true;
    }
    bool bytes(qsizetype n, QByteArray& out)
    {
        if (n < 0 || m_at + n > m_data.size())
            return false;
        out = m_data.mid(m_at, n);
        m_at += n;
        return true;
    }
    qsizetype padding(qsizetype n) const { return (4 - n % 4) % 4; }

private:
    const QByteArray& m_data;
    qsizetype m_at = 0;
};

} // namespace

QHash<QString, QVariant> XSettingsParser::parse(const QByteArray& blob)
{
    QHash<QString, QVariant> values;
    Reader in(blob);
    uint8_t order;
    uint32_t serial, count;
    if (!in.card8(order))
        return values;
    in.bigEndian = order == 1;
    if (!in.skip(3) || !in.card32(serial) || !in.card32(count))
        return values;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t type, unused;
        uint16_t nameLength;
        QByteArray name;
        uint32_t changed;
        if (!in.card8(type) || !in.card8(unused) || !in.card16(nameLength) || !in.bytes(nameLength, name)
            || !in.skip(in.padding(nameLength)) || !in.card32(changed))
            return values;
        const QString key = QString::fromUtf8(name);
        if (type == 0) {
            uint32_t value;
            if (!in.card32(value))
                return values;
            values.insert(key, int(int32_t(value)));
        } else if (type == 1) {
            uint32_t length;
            QByteArray text;
            if (!in.card32(length) || length > uint32_t(blob.size()) || !in.bytes(qsizetype(length), text)
                || !in.skip(in.padding(qsizetype(length))))
                return values;
            values.insert(key, QString::fromUtf8(text));
        } else if (type == 2) {
            uint16_t r, g, b, a;
            if (!in.card16(r) || !in.card16(g) || !in.card16(b) || !in.card16(a))
                return values;
            values.insert(key, QVariantList{r, g, b, a});
        } else {
            return values;
        }
    }
    return values;
}

} // namespace pendra
