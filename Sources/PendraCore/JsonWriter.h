#pragma once

#include <QByteArray>
#include <QString>

namespace pendra {

// Writes compact JSON text straight into a byte string. The settings record is
// written on every change, and building QJsonObjects for it costs several times
// more than the text itself.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const char* name);
    JsonWriter& value(const QString& text);
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);

    QByteArray take() { return std::move(m_out); }

private:
    void separate();
    void appendEscaped(const QByteArray& utf8);
    void appendCodeUnit(char16_t unit);

    QByteArray m_out;
    bool m_needComma = false;
};

} // namespace pendra
