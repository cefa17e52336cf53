#include "X11InputWindow.h"

#include "X11Cursors.h"
#include "X11Window.h"

#include <cstdlib>

namespace pendra {

X11InputWindow::X11InputWindow(X11Connection& x, X11Cursors& cursors) : m_x(x), m_cursors(cursors)
{
    xcb_connection_t* c = m_x.raw();
    m_window = xcb_generate_id(c);
    const uint32_t values[] = {1,
                               XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                                   XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_BUTTON_PRESS |
                                   XCB_EVENT_MASK_BUTTON_RELEASE,
                               m_cursors.cursor(CursorShape::arrow)};
    xcb_create_window(c, 0, m_window, m_x.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK | XCB_CW_CURSOR, values);
    m_geometry = QRect(0, 0, 1, 1);
    X11Window::describe(m_x, m_window);
    X11Window::setEmptyInput(m_x, m_window);
    m_x.addReceiver(this);
}

X11InputWindow::~X11InputWindow()
{
    m_x.removeReceiver(this);
    if (!m_x.broken()) {
        xcb_destroy_window(m_x.raw(), m_window);
        m_x.flush();
    }
}

void X11InputWindow::setGeometry(const QRect& pixels, double density)
{
    m_density = density > 0.0 ? density : 1.0;
    if (pixels == m_geometry || pixels.isEmpty())
        return;
    m_geometry = pixels;
    X11Window::move(m_x, m_window, pixels);
    m_x.flush();
}

void X11InputWindow::map()
{
    if (m_mapped)
        return;
    m_mapped = true;
    xcb_map_window(m_x.raw(), m_window);
    m_x.flush();
}

void X11InputWindow::unmap()
{
    if (!m_mapped)
        return;
    m_mapped = false;
    m_inside = false;
    cancelPress();
    xcb_unmap_window(m_x.raw(), m_window);
    m_x.flush();
}

void X11InputWindow::setRegion(const std::vector<QRect>& rects)
{
    m_region = rects;
    if (!m_whole) {
        X11Window::setInput(m_x, m_window, m_region);
        m_x.flush();
    }
}

void X11InputWindow::setWhole(bool whole)
{
    if (whole == m_whole)
        return;
    m_whole = whole;
    if (whole)
        X11Window::setWholeInput(m_x, m_window);
    else
        X11Window::setInput(m_x, m_window, m_region);
    m_x.flush();
}

void X11InputWindow::setCursor(CursorShape shape)
{
    const uint32_t cursor = m_cursors.cursor(shape);
    xcb_change_window_attributes(m_x.raw(), m_window, XCB_CW_CURSOR, &cursor);
    m_x.flush();
}

QPoint X11InputWindow::pointer()
{
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(m_x.raw(), xcb_query_pointer(m_x.raw(), m_x.root()), nullptr);
    if (reply) {
        m_lastRoot = QPoint(reply->root_x, reply->root_y);
        std::free(reply);
    }
    return m_lastRoot;
}

bool X11InputWindow::buttonDown()
{
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(m_x.raw(), xcb_query_pointer(m_x.raw(), m_x.root()), nullptr);
    if (!reply)
        return m_pressed;
    const bool down = reply->mask & XCB_BUTTON_MASK_1;
    std::free(reply);
    return down;
}

QPointF X11InputWindow::local(int16_t x, int16_t y) const
{
    // A pointer on a pixel stands for that pixel's centre, which is what the
    // input region was cut by.
    return QPointF((x + 0.5) / m_density, (y + 0.5) / m_density);
}

void X11InputWindow::cancelPress()
{
    if (!m_pressed)
        return;
    m_pressed = false;
    if (m_content)
        m_content->mouseUp();
}

void X11InputWindow::handleEvent(const xcb_generic_event_t& event)
{
    if (!m_content)
        return;
    switch (event.response_type & 0x7f) {
    case XCB_ENTER_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_enter_notify_event_t&>(event);
        if (e.event != m_window || e.mode == XCB_NOTIFY_MODE_GRAB)
            return;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        m_inside = true;
        if (!m_pressed)
            m_content->pointerMoved(local(e.event_x, e.event_y));
        return;
    }
    case XCB_LEAVE_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_leave_notify_event_t&>(event);
        if (e.event != m_window)
            return;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        // Another program took the pointer: the release will never come here.
        if (e.mode == XCB_NOTIFY_MODE_GRAB)
            cancelPress();
        if (m_pressed)
            return;
        m_inside = false;
        m_content->pointerLeft();
        return;
    }
    case XCB_MOTION_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        if (e.event != m_window)
            return;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        if (m_pressed)
            m_content->mouseDragged(local(e.event_x, e.event_y));
        else
            m_content->pointerMoved(local(e.event_x, e.event_y));
        return;
    }
    case XCB_BUTTON_PRESS: {
        const auto& e = reinterpret_cast<const xcb_button_press_event_t&>(event);
        if (e.event != m_window || e.detail != 1)
            return;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        m_pressed = true;
        m_content->mouseDown(local(e.event_x, e.event_y));
        return;
    }
    case XCB_BUTTON_RELEASE: {
        const auto& e = reinterpret_cast<const xcb_button_release_event_t&>(event);
        if (e.event != m_window || e.detail != 1 || !m_pressed)
            return;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        m_pressed = false;
        m_content->mouseUp();
        return;
    }
    default:
        return;
    }
}

} // namespace pendra
