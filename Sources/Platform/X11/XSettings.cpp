#include "XSettings.h"

#include <QCoreApplication>
#include <QDateTime>

#include <xcb/xcb.h>

#include <cstring>

namespace pendra {

namespace {

uint32_t internAtom(xcb_connection_t* connection, const QByteArray& name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()), nullptr);
    if (!reply)
        return 0;
    const uint32_t atom = reply->atom;
    free(reply);
    return atom;
}

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

XSettings::XSettings(xcb_connection_t* connection, int screen) : m_connection(connection)
{
    if (!m_connection)
        return;
    m_selection = internAtom(m_connection, "_XSETTINGS_S" + QByteArray::number(screen));
    m_property = internAtom(m_connection, "_XSETTINGS_SETTINGS");
    QCoreApplication::instance()->installNativeEventFilter(this);
    findManager();
}

XSettings::~XSettings()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

std::optional<int> XSettings::integer(const QString& name)
{
    // Without a manager, look again now and then: one may start later.
    if (!m_owner && m_connection) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (m_lastSearch < 0 || now - m_lastSearch > 10000)
            findManager();
    }
    const auto it = m_values.constFind(name);
    if (it == m_values.constEnd() || it->typeId() != QMetaType::Int)
        return std::nullopt;
    return it->toInt();
}

void XSettings::findManager()
{
    m_lastSearch = QDateTime::currentMSecsSinceEpoch();
    m_owner = 0;
    m_values.clear();
    if (!m_selection || !m_property)
        return;
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr);
    if (!reply)
        return;
    m_owner = reply->owner;
    free(reply);
    if (!m_owner)
        return;
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_owner, XCB_CW_EVENT_MASK, &mask);
    read();
}

void XSettings::read()
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, m_owner, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
        nullptr);
    if (!reply)
        return;
    const int length = xcb_get_property_value_length(reply);
    const QByteArray blob(static_cast<const char*>(xcb_get_property_value(reply)), length);
    free(reply);
    m_values = parse(blob);
}

bool XSettings::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || !m_owner)
        return false;
    const auto* event = static_cast<xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->window == m_owner && notify->atom == m_property)
            read();
    } else if (type == XCB_DESTROY_NOTIFY) {
        const auto* destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        if (destroyed->window == m_owner)
            findManager();
    }
    return false;
}

QHash<QString, QVariant> XSettings::parse(const QByteArray& blob)
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
