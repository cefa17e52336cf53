#include "X11StackKeeper.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace pendra {

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};

} // namespace

X11StackKeeper::X11StackKeeper(X11Connection& x, std::vector<xcb_window_t> ours) : m_x(x), m_ours(std::move(ours))
{
    Q_ASSERT(!m_ours.empty());
    // Many changes arrive together (a window manager restacks several
    // windows at once); one check after them is enough.
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    QObject::connect(&m_soon, &QTimer::timeout, [this] { restack(); });
    m_x.addReceiver(this);
}

X11StackKeeper::~X11StackKeeper()
{
    m_x.removeReceiver(this);
}

void X11StackKeeper::setOurs(std::vector<xcb_window_t> ours)
{
    Q_ASSERT(!ours.empty());
    m_ours = std::move(ours);
}

void X11StackKeeper::setActive(bool active)
{
    m_active = active;
    if (active)
        restack();
    else
        m_soon.stop();
}

bool X11StackKeeper::isOurs(xcb_window_t window) const
{
    return std::find(m_ours.begin(), m_ours.end(), window) != m_ours.end();
}

void X11StackKeeper::handleEvent(const xcb_generic_event_t& event)
{
    if (!m_active)
        return;
    xcb_window_t window = XCB_WINDOW_NONE;
    switch (event.response_type & 0x7f) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        if (e.event != m_x.root())
            return;
        window = e.window;
        break;
    }
    case XCB_MAP_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        if (e.event != m_x.root())
            return;
        window = e.window;
        break;
    }
    case XCB_CIRCULATE_NOTIFY: {
        const auto& e = reinterpret_cast<const xcb_circulate_notify_event_t&>(event);
        if (e.event != m_x.root())
            return;
        window = e.window;
        break;
    }
    default:
        return;
    }
    if (!isOurs(window) && !m_soon.isActive())
        m_soon.start();
}

void X11StackKeeper::restack()
{
    if (!m_active)
        return;
    xcb_connection_t* c = m_x.raw();
    const std::unique_ptr<xcb_query_tree_reply_t, Free> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, m_x.root()), nullptr));
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    const auto bottom = std::find(children, children + count, m_ours.front());
    if (bottom == children + count)
        return;

    // Whatever lies above the rail, topmost first, apart from its own windows.
    std::vector<xcb_window_t> above;
    for (const xcb_window_t* w = children + count - 1; w > bottom; --w) {
        if (!isOurs(*w))
            above.push_back(*w);
    }
    std::vector<xcb_get_window_attributes_cookie_t> attributes;
    std::vector<xcb_get_geometry_cookie_t> geometries;
    for (xcb_window_t w : above) {
        attributes.push_back(xcb_get_window_attributes(c, w));
        geometries.push_back(xcb_get_geometry(c, w));
    }
    xcb_window_t target = XCB_WINDOW_NONE;
    for (std::size_t i = 0; i < above.size(); ++i) {
        const std::unique_ptr<xcb_get_window_attributes_reply_t, Free> a(
            xcb_get_window_attributes_reply(c, attributes[i], nullptr));
        const std::unique_ptr<xcb_get_geometry_reply_t, Free> g(xcb_get_geometry_reply(c, geometries[i], nullptr));
        if (target != XCB_WINDOW_NONE || !a || !g || a->override_redirect ||
            a->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        const xcb_screen_t& screen = m_x.screen();
        const bool fullScreen = g->x <= 0 && g->y <= 0 && g->x + g->width >= screen.width_in_pixels &&
                                g->y + g->height >= screen.height_in_pixels;
        if (fullScreen)
            return;
        target = above[i];
    }
    if (target == XCB_WINDOW_NONE)
        return;
    xcb_window_t sibling = target;
    for (xcb_window_t ours : m_ours) {
        const uint32_t values[] = {sibling, XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c, ours, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
        sibling = ours;
    }
    m_x.flush();
}

} // namespace pendra
