#include "X11DiscWindows.h"

#include "DiscRegion.h"
#include "X11Cursors.h"
#include "X11Window.h"

#include <algorithm>
#include <cmath>

namespace pendra {

X11DiscWindows::X11DiscWindows(X11Connection& x, X11Cursors& cursors) : X11InputArea(x, cursors)
{
    m_colormap = xcb_generate_id(m_x.raw());
    xcb_create_colormap(m_x.raw(), XCB_COLORMAP_ALLOC_NONE, m_colormap, m_x.root(), m_x.argbVisual());
}

X11DiscWindows::~X11DiscWindows()
{
    if (m_x.broken())
        return;
    for (const Round& round : m_rounds)
        destroy(round);
    xcb_free_colormap(m_x.raw(), m_colormap);
    m_x.flush();
}

X11DiscWindows::Round X11DiscWindows::make(QPointF centre, int radius)
{
    Round round;
    round.radius = radius;
    const int side = 2 * radius + 2;
    round.at = QPoint(int(std::lround(centre.x())) - radius - 1, int(std::lround(centre.y())) - radius - 1);
    xcb_connection_t* c = m_x.raw();
    round.id = xcb_generate_id(c);
    // Fully transparent pixels: the picture is the drawing window's below.
    const uint32_t values[] = {0, 0, 1, X11Window::pointerEvents, m_colormap, m_cursors.cursor(m_cursor)};
    xcb_create_window(c, 32, round.id, m_x.root(), int16_t(round.at.x()), int16_t(round.at.y()), uint16_t(side),
                      uint16_t(side), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, m_x.argbVisual(),
                      XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK |
                          XCB_CW_COLORMAP | XCB_CW_CURSOR,
                      values);
    X11Window::describe(m_x, round.id);
    const Disc disc{centre - QPointF(round.at), double(radius)};
    X11Window::setInput(m_x, round.id, DiscRegion::rectangles({disc}, 1.0, QSize(side, side)));
    if (m_mapped)
        xcb_map_window(c, round.id);
    return round;
}

void X11DiscWindows::destroy(const Round& round)
{
    xcb_destroy_window(m_x.raw(), round.id);
}

void X11DiscWindows::setDiscs(const std::vector<Disc>& discs)
{
    std::size_t i = 0;
    for (const Disc& disc : discs) {
        const double r = disc.radius * m_density;
        if (!std::isfinite(r) || r <= 0.0 || !std::isfinite(disc.centre.x()) || !std::isfinite(disc.centre.y()))
            continue;
        const int radius = std::clamp(int(std::lround(r)), 1, 4096);
        const QPointF centre = QPointF(m_panel.topLeft()) + disc.centre * m_density;
        if (i < m_rounds.size() && m_rounds[i].radius == radius) {
            Round& round = m_rounds[i];
            const QPoint at(int(std::lround(centre.x())) - radius - 1, int(std::lround(centre.y())) - radius - 1);
            if (at != round.at) {
                round.at = at;
                const uint32_t values[] = {uint32_t(at.x()), uint32_t(at.y())};
                xcb_configure_window(m_x.raw(), round.id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
                m_moved = true;
            }
        } else if (i < m_rounds.size()) {
            destroy(m_rounds[i]);
            m_rounds[i] = make(centre, radius);
        } else {
            m_rounds.push_back(make(centre, radius));
        }
        ++i;
    }
    while (m_rounds.size() > i) {
        destroy(m_rounds.back());
        m_rounds.pop_back();
    }
    m_x.flush();
}

void X11DiscWindows::map()
{
    if (m_mapped)
        return;
    m_mapped = true;
    for (const Round& round : m_rounds)
        xcb_map_window(m_x.raw(), round.id);
    m_x.flush();
}

void X11DiscWindows::unmap()
{
    if (!m_mapped)
        return;
    m_mapped = false;
    m_events.cancelPress();
    for (const Round& round : m_rounds)
        xcb_unmap_window(m_x.raw(), round.id);
    m_x.flush();
}

void X11DiscWindows::settle()
{
    if (!m_moved || !m_mapped)
        return;
    m_moved = false;
    for (const Round& round : m_rounds) {
        xcb_unmap_window(m_x.raw(), round.id);
        xcb_map_window(m_x.raw(), round.id);
    }
    m_x.flush();
}

void X11DiscWindows::setCursor(CursorShape shape)
{
    m_cursor = shape;
    const uint32_t cursor = m_cursors.cursor(shape);
    for (const Round& round : m_rounds)
        xcb_change_window_attributes(m_x.raw(), round.id, XCB_CW_CURSOR, &cursor);
    m_x.flush();
}

std::vector<xcb_window_t> X11DiscWindows::windows() const
{
    std::vector<xcb_window_t> ids;
    for (const Round& round : m_rounds)
        ids.push_back(round.id);
    return ids;
}

bool X11DiscWindows::isOurs(xcb_window_t window) const
{
    return std::any_of(m_rounds.begin(), m_rounds.end(), [&](const Round& r) { return r.id == window; });
}

} // namespace pendra
