#include "X11InputWindow.h"

#include "DiscRegion.h"
#include "X11Cursors.h"
#include "X11Window.h"

namespace pendra {

X11InputWindow::X11InputWindow(X11Connection& x, X11Cursors& cursors) : X11InputArea(x, cursors)
{
    xcb_connection_t* c = m_x.raw();
    m_window = xcb_generate_id(c);
    const uint32_t values[] = {1, X11Window::pointerEvents, m_cursors.cursor(CursorShape::arrow)};
    xcb_create_window(c, 0, m_window, m_x.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                      XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK | XCB_CW_CURSOR, values);
    m_geometry = QRect(0, 0, 1, 1);
    X11Window::describe(m_x, m_window);
    X11Window::setEmptyInput(m_x, m_window);
}

X11InputWindow::~X11InputWindow()
{
    if (!m_x.broken()) {
        xcb_destroy_window(m_x.raw(), m_window);
        m_x.flush();
    }
}

void X11InputWindow::setPlacement(const QRect& panel, double density)
{
    X11InputArea::setPlacement(panel, density);
    if (panel != m_geometry && !panel.isEmpty()) {
        m_geometry = panel;
        X11Window::move(m_x, m_window, panel);
    }
    applyShape();
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
    m_events.cancelPress();
    xcb_unmap_window(m_x.raw(), m_window);
    m_x.flush();
}

void X11InputWindow::setDiscs(const std::vector<Disc>& discs)
{
    m_discs = discs;
    applyShape();
}

void X11InputWindow::setWhole(bool whole)
{
    if (whole == m_whole)
        return;
    m_whole = whole;
    applyShape();
}

void X11InputWindow::applyShape()
{
    if (m_whole)
        X11Window::setWholeInput(m_x, m_window);
    else
        X11Window::setInput(m_x, m_window, DiscRegion::rectangles(m_discs, m_density, m_geometry.size()));
    m_x.flush();
}

void X11InputWindow::setCursor(CursorShape shape)
{
    const uint32_t cursor = m_cursors.cursor(shape);
    xcb_change_window_attributes(m_x.raw(), m_window, XCB_CW_CURSOR, &cursor);
    m_x.flush();
}

} // namespace pendra
