#pragma once

#include "Host.h"

#include <xcb/xcb.h>

#include <array>

typedef struct xcb_cursor_context_t xcb_cursor_context_t;

namespace pendra {

class X11Connection;

// The rail's four pointer shapes from the desktop's cursor theme (which
// honours XCURSOR_THEME and XCURSOR_SIZE), falling back to the server's
// cursor font. Each carries its common name, so tools can tell them apart.
class X11Cursors {
public:
    explicit X11Cursors(X11Connection& x);
    ~X11Cursors();
    X11Cursors(const X11Cursors&) = delete;
    X11Cursors& operator=(const X11Cursors&) = delete;

    xcb_cursor_t cursor(CursorShape shape) const { return m_cursors[std::size_t(shape)]; }

private:
    X11Connection& m_x;
    xcb_cursor_context_t* m_context = nullptr;
    std::array<xcb_cursor_t, 4> m_cursors{};
};

} // namespace pendra
