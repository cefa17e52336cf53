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
    m_out += '"';
    // A surrogate without its partner has no UTF-8 form (toUtf8 would turn it
    // into a question mark), but JSON can still carry it as an escape, and Qt
    // reads that back into the same string.
    const qsizetype size = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate())
            continue;
        if (c.isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        appendEscaped(QStringView(text).sliced(start, i - start).toUtf8());
        appendCodeUnit(c.unicode());
        start = i + 1;
    }
    appendEscaped(QStringView(text).sliced(start).toUtf8());
    m_out += '"';
    m_needComma = true;
    return *this;
}

void JsonWriter::appendCodeUnit(char16_t unit)
{
    static const char hex[] = "0123456789abcdef";
    m_out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        m_out += hex[(unit >> shift) & 0xf];
}

void JsonWriter::appendEscaped(const QByteArray& utf8)
{
    for (const char c : utf8) {
        switch (c) {
        case '"': m_out += "\\\""; break;
        case '\\': m_out += "\\\\"; break;
        case '\n': m_out += "\\n"; break;
        case '\r': m_out += "\\r"; break;
        case '\t': m_out += "\\t"; break;
        case '\b': m_out += "\\b"; break;
        case '\f': m_out += "\\f"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                appendCodeUnit(char16_t(static_cast<unsigned char>(c)));
            else
                m_out += c;
        }
    }
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
