#pragma once

class QWindow;
struct xcb_connection_t;

namespace pendra {

// What the window manager needs to hear, before a window is mapped, to treat
// it as an overlay panel: on every desktop, above other windows, and absent
// from taskbars, pagers and window switching.
class X11Panel {
public:
    // False when not on X11 (nothing to do then).
    static bool prepare(QWindow* window);
    // The X connection when the program runs on xcb; null otherwise, also on
    // platforms such as offscreen that answer for X11 without a connection.
    static xcb_connection_t* connection();
};

} // namespace pendra
