#include "HostChoice.h"

#include "X11Host.h"
#ifdef PENDRA_WAYLAND
#include "WaylandConnection.h"
#include "WaylandHost.h"
#endif

#include <QFileInfo>
#include <QLibraryInfo>

#include <xcb/xcb.h>

namespace pendra {

namespace {

bool x11Reachable(const QByteArray& display)
{
    if (display.isEmpty())
        return false;
    xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
    const bool ok = connection && !xcb_connection_has_error(connection);
    if (connection)
        xcb_disconnect(connection);
    return ok;
}

bool qtHasWayland()
{
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    return QFileInfo::exists(plugins + QStringLiteral("/platforms/libqwayland-generic.so"));
}

bool layerShellAt(const QByteArray& wayland)
{
#ifdef PENDRA_WAYLAND
    const std::unique_ptr<WaylandConnection> connection = WaylandConnection::open(wayland);
    return connection && connection->layerShell();
#else
    Q_UNUSED(wayland);
    return false;
#endif
}

} // namespace

std::optional<HostChoice::Decision> HostChoice::decide(QString* reason)
{
    const QByteArray forced = qgetenv("PENDRA_HOST");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray display = qgetenv("DISPLAY");
    const bool userPlatform = !qgetenv("QT_QPA_PLATFORM").isEmpty();

    if (forced != "x11" && !wayland.isEmpty() && layerShellAt(wayland)) {
        Decision decision{Kind::wayland, {}};
        if (!userPlatform)
            decision.qtPlatform = qtHasWayland() || display.isEmpty() ? "wayland" : "xcb";
        return decision;
    }
    if (forced == "wayland") {
        if (reason) {
            *reason = wayland.isEmpty()
                ? QStringLiteral("PENDRA_HOST asks for Wayland, but WAYLAND_DISPLAY is not set")
                : QStringLiteral("PENDRA_HOST asks for Wayland, but the compositor offers no layer shell");
        }
        return std::nullopt;
    }
    if (x11Reachable(display))
        return Decision{Kind::x11, userPlatform ? QByteArray() : QByteArray("xcb"), !wayland.isEmpty()};
    if (reason) {
        if (!display.isEmpty())
            *reason = QStringLiteral("cannot open the display %1").arg(QString::fromLocal8Bit(display));
        else if (!wayland.isEmpty())
            *reason = QStringLiteral("the Wayland compositor offers no layer shell and there is no X11 display "
                                     "(DISPLAY is not set)");
        else
            *reason = QStringLiteral("no display to hang charms on (DISPLAY is not set)");
    }
    return std::nullopt;
}

std::unique_ptr<Host> HostChoice::make(const Decision& decision, QString* reason)
{
#ifdef PENDRA_WAYLAND
    if (decision.kind == Kind::wayland) {
        if (std::unique_ptr<WaylandHost> host = WaylandHost::create(qgetenv("WAYLAND_DISPLAY")))
            return host;
        if (reason)
            *reason = QStringLiteral("the Wayland compositor went away or lost its layer shell");
        return nullptr;
    }
#endif
    if (std::unique_ptr<X11Host> host = X11Host::create(decision.xwayland))
        return host;
    if (reason)
        *reason = QStringLiteral("the X server cannot show the rail (it needs XFixes, SHAPE and a 32-bit visual)");
    return nullptr;
}

} // namespace pendra
