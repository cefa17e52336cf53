#pragma once

#include "X11Connection.h"

#include <QTimer>

#include <functional>

namespace pendra {

// The band docks keep for themselves at the top of the screen, for window
// managers that publish no work area (i3, for one). Qt then takes the whole
// screen as free and the rail would hang over a top bar, so the struts the
// docks declare are read here instead, again whenever a window comes or goes.
class X11WorkArea : public X11EventReceiver {
public:
    X11WorkArea(X11Connection& x, std::function<void()> changed);
    ~X11WorkArea() override;

    // Root-window pixels reserved at the top; 0 where the window manager
    // publishes a work area of its own, which Qt reads.
    int reservedTop() const { return m_top; }

    void handleEvent(const xcb_generic_event_t& event) override;

private:
    int read();
    int strutTop(xcb_window_t window);

    X11Connection& m_x;
    std::function<void()> m_changed;
    QTimer m_soon;
    int m_top = 0;
};

} // namespace pendra
