#include "X11WorkArea.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace pendra {

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};

} // namespace

X11WorkArea::X11WorkArea(X11Connection& x, std::function<void()> changed) : m_x(x), m_changed(std::move(changed))
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    QObject::connect(&m_soon, &QTimer::timeout, [this] {
        const int top = read();
        if (top != m_top) {
            m_top = top;
            if (m_changed)
                m_changed();
        }
    });
    m_top = read();
    m_x.addReceiver(this);
}

X11WorkArea::~X11WorkArea()
{
    m_x.removeReceiver(this);
}

void X11WorkArea::handleEvent(const xcb_generic_event_t& event)
{
    const uint8_t type = event.response_type & 0x7f;
    if (type != XCB_MAP_NOTIFY && type != XCB_UNMAP_NOTIFY && type != XCB_DESTROY_NOTIFY)
        return;
    // The event window is the first field after the sequence in all three.
    const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
    if (e.event == m_x.root() && !m_soon.isActive())
        m_soon.start();
}

int X11WorkArea::strutTop(xcb_window_t window)
{
    xcb_connection_t* c = m_x.raw();
    for (const char* name : {"_NET_WM_STRUT_PARTIAL", "_NET_WM_STRUT"}) {
        const std::unique_ptr<xcb_get_property_reply_t, Free> reply(xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, m_x.atom(name), XCB_ATOM_CARDINAL, 0, 4), nullptr));
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 16)
            return int(static_cast<const uint32_t*>(xcb_get_property_value(reply.get()))[2]);
    }
    return 0;
}

int X11WorkArea::read()
{
    xcb_connection_t* c = m_x.raw();
    const std::unique_ptr<xcb_get_property_reply_t, Free> workArea(xcb_get_property_reply(
        c, xcb_get_property(c, 0, m_x.root(), m_x.atom("_NET_WORKAREA"), XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (workArea && workArea->value_len > 0)
        return 0;

    // Docks are children of the root, or one level down inside a frame.
    const std::unique_ptr<xcb_query_tree_reply_t, Free> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, m_x.root()), nullptr));
    if (!tree)
        return 0;
    int top = 0;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const std::unique_ptr<xcb_get_window_attributes_reply_t, Free> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        top = std::max(top, strutTop(children[i]));
        const std::unique_ptr<xcb_query_tree_reply_t, Free> inner(
            xcb_query_tree_reply(c, xcb_query_tree(c, children[i]), nullptr));
        if (!inner)
            continue;
        const xcb_window_t* grandchildren = xcb_query_tree_children(inner.get());
        for (int j = 0; j < xcb_query_tree_children_length(inner.get()); ++j)
            top = std::max(top, strutTop(grandchildren[j]));
    }
    // A strut larger than a third of the screen is no bar.
    return std::min(top, int(m_x.screen().height_in_pixels) / 3);
}

} // namespace pendra
