#pragma once

#include "X11Connection.h"

#include <QTimer>

#include <vector>

namespace pendra {

// Keeps the rail's windows above the windows the window manager looks after.
// The rail's windows are override-redirect, so no window manager stacks them
// for us, and one that raises a window of its own puts it above the rail.
// Whenever the stacking on the root window changes, the rail goes back on top
// of the highest managed window, but stays below other override-redirect
// windows (menus, tooltips, notifications) and below a full-screen window.
class X11StackKeeper : public X11EventReceiver {
public:
    // ours: the rail's windows, bottom first.
    X11StackKeeper(X11Connection& x, std::vector<xcb_window_t> ours);
    ~X11StackKeeper() override;

    void setOurs(std::vector<xcb_window_t> ours);
    // Only a shown rail is kept on top.
    void setActive(bool active);
    // Checks the stacking now.
    void restack();

    void handleEvent(const xcb_generic_event_t& event) override;

private:
    bool isOurs(xcb_window_t window) const;

    X11Connection& m_x;
    std::vector<xcb_window_t> m_ours;
    QTimer m_soon;
    bool m_active = false;
};

} // namespace pendra
