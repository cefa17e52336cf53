#pragma once

#include "Host.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace pendra {

// Which window system carries the rail. It is decided before Qt starts,
// since Qt's own windows (the tray icon, the studio) need to be told the
// platform to use beside it:
// - a Wayland compositor with a layer shell: the rail is a layer surface of
//   its own, and Qt runs on Wayland too where its Wayland plugin is installed;
// - else an X11 display (also XWayland on a Wayland desktop without a layer
//   shell, such as GNOME): the rail is a set of X11 windows, Qt runs on xcb;
// - else there is nothing to show the rail on.
// PENDRA_HOST=x11 or PENDRA_HOST=wayland settles the choice by hand.
class HostChoice {
public:
    enum class Kind { wayland, x11 };

    struct Decision {
        Kind kind = Kind::x11;
        // What to pass Qt as -platform; empty to leave Qt's own choice.
        QByteArray qtPlatform;
        // X11 through XWayland, on a Wayland desktop without a layer shell.
        bool xwayland = false;
    };

    // None, with a one-line reason, when there is no display to use.
    static std::optional<Decision> decide(QString* reason);
    // The host, once Qt runs; none, with a reason, when it cannot be made.
    static std::unique_ptr<Host> make(const Decision& decision, QString* reason);
};

} // namespace pendra
