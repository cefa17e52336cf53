#include "XSettings.h"

#include "XSettingsParser.h"

#include <QCoreApplication>
#include <QDateTime>

#include <xcb/xcb.h>

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
    m_values = XSettingsParser::parse(blob);
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

} // namespace pendra
