#include "JsonWriter.h"

#include <QLocale>

#include <cmath>

namespace pendra {

void JsonWriter::separate()
{
    if (m_needComma)
        m_out += ',';
}

JsonWriter& JsonWriter::beginObject()
{
    separate();
    m_out += '{';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    m_out += '}';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::beginArray()
{
    separate();
    m_out += '[';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    m_out += ']';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::key(const char* name)
{
    separate();
    m_out += '"';
    m_out += name;
    m_out += "\":";
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::value(const QString& text)
{
    separate();
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    m_out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': m_out += "\\\""; break;
        case '\\': m_out += "\\\\"; break;
        case '\n': m_out += "\\n"; break;
        case '\r': m_out += "\\r"; break;
        case '\t': m_out += "\\t"; break;
        case '\b': m_out += "\\b"; break;
        case '\f': m_out += "\\f"; break;
        default:
            if (byte < 0x20) {
                m_out += "\\u00";
                m_out += hex[byte >> 4];
                m_out += hex[byte & 0xf];
            } else {
                m_out += c;
            }
        }
    }
    m_out += '"';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::value(double number)
{
    separate();
    // JSON has no infinities or NaN; null is what a reader can still parse.
    if (std::isfinite(number))
        m_out += QByteArray::number(number, 'g', QLocale::FloatingPointShortest);
    else
        m_out += "null";
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag)
{
    separate();
    m_out += flag ? "true" : "false";
    m_needComma = true;
    return *this;
}

} // namespace pendra
