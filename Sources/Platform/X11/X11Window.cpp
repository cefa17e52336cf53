#include "X11Window.h"

#include "X11Connection.h"

#include <xcb/shape.h>
#include <xcb/xfixes.h>

#include <unistd.h>

#include <algorithm>

namespace pendra {

void X11Window::describe(X11Connection& x, xcb_window_t window)
{
    xcb_connection_t* c = x.raw();
    static const char name[] = "Pendra";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, sizeof name - 1,
                        name);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, x.atom("_NET_WM_NAME"), x.atom("UTF8_STRING"), 8,
                        sizeof name - 1, name);
    static const char wmClass[] = "pendra\0Pendra";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof wmClass,
                        wmClass);
    const uint32_t pid = uint32_t(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, x.atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    const xcb_atom_t dock = x.atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, x.atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                        &dock);
}

void X11Window::move(X11Connection& x, xcb_window_t window, const QRect& pixels)
{
    const uint32_t values[] = {uint32_t(pixels.x()), uint32_t(pixels.y()), uint32_t(std::max(1, pixels.width())),
                               uint32_t(std::max(1, pixels.height()))};
    xcb_configure_window(x.raw(), window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
}

void X11Window::setEmptyInput(X11Connection& x, xcb_window_t window)
{
    xcb_shape_rectangles(x.raw(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, window, 0, 0, 0,
                         nullptr);
}

void X11Window::setWholeInput(X11Connection& x, xcb_window_t window)
{
    // No shape at all gives back the window's own rectangle, whatever its size.
    xcb_shape_mask(x.raw(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, window, 0, 0, XCB_NONE);
}

void X11Window::setInput(X11Connection& x, xcb_window_t window, const std::vector<QRect>& rects)
{
    std::vector<xcb_rectangle_t> out;
    out.reserve(rects.size());
    for (const QRect& r : rects)
        out.push_back({int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height())});
    xcb_shape_rectangles(x.raw(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED, window, 0, 0,
                         uint32_t(out.size()), out.data());
}

} // namespace pendra
