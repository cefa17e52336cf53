#include "X11Cursors.h"

#include "X11Connection.h"

#include <xcb/xcb_cursor.h>
#include <xcb/xfixes.h>

#include <cstring>
#include <initializer_list>

namespace pendra {

namespace {

// Theme names first, then names the cursor font knows.
const std::initializer_list<const char*> names[] = {
    {"left_ptr", "default"},
    {"openhand", "grab", "hand1"},
    {"closedhand", "grabbing", "fleur"},
    {"sb_h_double_arrow", "ew-resize", "col-resize"},
};

} // namespace

X11Cursors::X11Cursors(X11Connection& x) : m_x(x)
{
    if (xcb_cursor_context_new(m_x.raw(), const_cast<xcb_screen_t*>(&m_x.screen()), &m_context) < 0) {
        m_context = nullptr;
        return;
    }
    for (std::size_t i = 0; i < m_cursors.size(); ++i) {
        for (const char* name : names[i]) {
            const xcb_cursor_t cursor = xcb_cursor_load_cursor(m_context, name);
            if (cursor == XCB_CURSOR_NONE)
                continue;
            const char* common = *names[i].begin();
            xcb_xfixes_set_cursor_name(m_x.raw(), cursor, uint16_t(std::strlen(common)), common);
            m_cursors[i] = cursor;
            break;
        }
    }
}

X11Cursors::~X11Cursors()
{
    if (!m_x.broken()) {
        for (xcb_cursor_t cursor : m_cursors) {
            if (cursor != XCB_CURSOR_NONE)
                xcb_free_cursor(m_x.raw(), cursor);
        }
    }
    if (m_context)
        xcb_cursor_context_free(m_context);
}

} // namespace pendra
