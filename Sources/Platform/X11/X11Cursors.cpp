#include "X11Cursors.h"

#include "CursorNames.h"
#include "X11Connection.h"

#include <xcb/xcb_cursor.h>
#include <xcb/xfixes.h>

#include <cstring>

namespace pendra {


X11Cursors::X11Cursors(X11Connection& x) : m_x(x)
{
    if (xcb_cursor_context_new(m_x.raw(), const_cast<xcb_screen_t*>(&m_x.screen()), &m_context) < 0) {
        m_context = nullptr;
        return;
    }
    for (std::size_t i = 0; i < m_cursors.size(); ++i) {
        const std::span<const char* const> names = cursorNames(CursorShape(i));
        for (const char* name : names) {
            const xcb_cursor_t cursor = xcb_cursor_load_cursor(m_context, name);
            if (cursor == XCB_CURSOR_NONE)
                continue;
            const char* common = names.front();
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
