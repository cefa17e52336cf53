#include "X11PointerEvents.h"

namespace pendra {

void X11PointerEvents::setPlacement(QPoint origin, double density)
{
    m_origin = origin;
    m_density = density > 0.0 ? density : 1.0;
}

QPointF X11PointerEvents::local(int16_t rootX, int16_t rootY) const
{
    // A pointer on a pixel stands for that pixel's centre, which is what the
    // input region was cut by.
    return QPointF((rootX - m_origin.x() + 0.5) / m_density, (rootY - m_origin.y() + 0.5) / m_density);
}

void X11PointerEvents::cancelPress()
{
    if (!m_pressed)
        return;
    m_pressed = false;
    if (m_content)
        m_content->mouseUp();
}

bool X11PointerEvents::handle(const xcb_generic_event_t& event)
{
    switch (event.response_type & 0x7f) {
    case XCB_ENTER_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_enter_notify_event_t&>(event);
        if (!m_ours(e.event))
            return false;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        if (e.mode != XCB_NOTIFY_MODE_GRAB && !m_pressed && m_content)
            m_content->pointerMoved(local(e.root_x, e.root_y));
        return true;
    }
    case XCB_LEAVE_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_leave_notify_event_t&>(event);
        if (!m_ours(e.event))
            return false;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        // Another program took the pointer: the release will never come here.
        if (e.mode == XCB_NOTIFY_MODE_GRAB)
            cancelPress();
        if (!m_pressed && m_content)
            m_content->pointerLeft();
        return true;
    }
    case XCB_MOTION_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        if (!m_ours(e.event))
            return false;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        if (!m_content)
            return true;
        if (m_pressed)
            m_content->mouseDragged(local(e.root_x, e.root_y));
        else
            m_content->pointerMoved(local(e.root_x, e.root_y));
        return true;
    }
    case XCB_BUTTON_PRESS: {
        const auto& e = reinterpret_cast<const xcb_button_press_event_t&>(event);
        if (!m_ours(e.event))
            return false;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        if (e.detail == 1 && !m_pressed) {
            m_pressed = true;
            if (m_content)
                m_content->mouseDown(local(e.root_x, e.root_y));
        }
        return true;
    }
    case XCB_BUTTON_RELEASE: {
        const auto& e = reinterpret_cast<const xcb_button_release_event_t&>(event);
        if (!m_ours(e.event))
            return false;
        m_lastRoot = QPoint(e.root_x, e.root_y);
        if (e.detail == 1 && m_pressed) {
            m_pressed = false;
            if (m_content)
                m_content->mouseUp();
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace pendra
