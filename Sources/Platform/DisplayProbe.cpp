#include "DisplayProbe.h"

#include <QByteArray>
#include <QtGlobal>

#include <xcb/xcb.h>

namespace pendra {

bool DisplayProbe::prepare(QString* reason)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return true;
    // Wayland sessions run the rail through XWayland: layer shells for Qt need
    // a newer Qt than this one.
    if (platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", "xcb");
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        if (reason) {
            *reason = qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
                ? QStringLiteral("no X11 display: Pendra needs XWayland on Wayland (DISPLAY is not set)")
                : QStringLiteral("no display to hang charms on (DISPLAY is not set)");
        }
        return false;
    }
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool ok = connection && !xcb_connection_has_error(connection);
    if (connection)
        xcb_disconnect(connection);
    if (!ok && reason)
        *reason = QStringLiteral("cannot open the display %1").arg(QString::fromLocal8Bit(display));
    return ok;
}

} // namespace pendra
