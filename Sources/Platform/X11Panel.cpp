#include "X11Panel.h"

#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

namespace pendra {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    free(reply);
    return result;
}

} // namespace

xcb_connection_t* X11Panel::connection()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

bool X11Panel::prepare(QWindow* window)
{
    xcb_connection_t* connection = X11Panel::connection();
    if (!connection || !window)
        return false;
    const auto id = xcb_window_t(window->winId());

    const xcb_atom_t wmState = atom(connection, "_NET_WM_STATE");
    std::vector<xcb_atom_t> states = {
        atom(connection, "_NET_WM_STATE_STICKY"),
        atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
        atom(connection, "_NET_WM_STATE_SKIP_PAGER"),
        atom(connection, "_NET_WM_STATE_ABOVE"),
    };
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, wmState, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.data());

    const uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_DESKTOP"),
                        XCB_ATOM_CARDINAL, 32, 1, &allDesktops);

    const xcb_atom_t dock = atom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &dock);
    xcb_flush(connection);
    return true;
}

} // namespace pendra
