#include "PointerProbe.h"

#include "X11Panel.h"

#include <QByteArray>

#include <xcb/xcb.h>

#include <cstdlib>

namespace pendra {

PointerProbe::PointerProbe()
{
    if (!X11Panel::connection())
        return;
    int screenNumber = 0;
    const QByteArray display = qgetenv("DISPLAY");
    m_connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    m_root = screens.data->root;
}

PointerProbe::~PointerProbe()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

std::optional<QPoint> PointerProbe::position() const
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return std::nullopt;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint at(reply->root_x, reply->root_y);
    std::free(reply);
    return at;
}

} // namespace pendra
