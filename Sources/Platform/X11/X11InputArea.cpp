#include "X11InputArea.h"

#include <cstdlib>

namespace pendra {

X11InputArea::X11InputArea(X11Connection& x, X11Cursors& cursors)
    : m_x(x), m_cursors(cursors), m_events([this](xcb_window_t window) { return isOurs(window); })
{
    m_x.addReceiver(this);
}

X11InputArea::~X11InputArea()
{
    m_x.removeReceiver(this);
}

void X11InputArea::setPlacement(const QRect& panel, double density)
{
    m_panel = panel;
    m_density = density > 0.0 ? density : 1.0;
    m_events.setPlacement(panel.topLeft(), m_density);
}

QPoint X11InputArea::pointer()
{
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(m_x.raw(), xcb_query_pointer(m_x.raw(), m_x.root()), nullptr);
    if (reply) {
        m_events.setLastRoot(QPoint(reply->root_x, reply->root_y));
        std::free(reply);
    }
    return m_events.lastRoot();
}

bool X11InputArea::buttonDown()
{
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(m_x.raw(), xcb_query_pointer(m_x.raw(), m_x.root()), nullptr);
    if (!reply)
        return m_events.pressed();
    const bool down = reply->mask & XCB_BUTTON_MASK_1;
    std::free(reply);
    return down;
}

} // namespace pendra
