#pragma once

#include <QRect>

#include <xcb/xcb.h>

#include <vector>

namespace pendra {

class X11Connection;

// Small requests every rail window needs.
class X11Window {
public:
    // What an input window listens to.
    static constexpr uint32_t pointerEvents = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                                              XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_PRESS |
                                              XCB_EVENT_MASK_BUTTON_RELEASE;

    // Names the window as Pendra's, for tools that list windows, and marks it
    // as a panel, which compositors draw without a shadow.
    static void describe(X11Connection& x, xcb_window_t window);
    static void move(X11Connection& x, xcb_window_t window, const QRect& pixels);
    // The input area: nothing, everything, or these rectangles.
    static void setEmptyInput(X11Connection& x, xcb_window_t window);
    static void setWholeInput(X11Connection& x, xcb_window_t window);
    static void setInput(X11Connection& x, xcb_window_t window, const std::vector<QRect>& rects);
};

} // namespace pendra
