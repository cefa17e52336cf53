#include "X11CompositorWatch.h"

#include <xcb/xfixes.h>

#include <cstdlib>
#include <string>

namespace pendra {

X11CompositorWatch::X11CompositorWatch(X11Connection& x, std::function<void(bool)> changed)
    : m_x(x), m_changed(std::move(changed))
{
    const std::string name = "_NET_WM_CM_S" + std::to_string(m_x.screenNumber());
    m_selection = m_x.atom(name.c_str());
    const xcb_query_extension_reply_t* xfixes = xcb_get_extension_data(m_x.raw(), &xcb_xfixes_id);
    m_firstEvent = xfixes ? xfixes->first_event : 0;
    xcb_xfixes_select_selection_input(m_x.raw(), m_x.root(), m_selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    m_present = ask();
    m_x.addReceiver(this);
}

X11CompositorWatch::~X11CompositorWatch()
{
    m_x.removeReceiver(this);
}

bool X11CompositorWatch::ask()
{
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(m_x.raw(), xcb_get_selection_owner(m_x.raw(), m_selection), nullptr);
    const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned;
}

void X11CompositorWatch::handleEvent(const xcb_generic_event_t& event)
{
    if (!m_firstEvent || (event.response_type & 0x7f) != m_firstEvent + XCB_XFIXES_SELECTION_NOTIFY)
        return;
    const auto& e = reinterpret_cast<const xcb_xfixes_selection_notify_event_t&>(event);
    if (e.selection != m_selection)
        return;
    const bool present = e.owner != XCB_WINDOW_NONE;
    if (present == m_present)
        return;
    m_present = present;
    if (m_changed)
        m_changed(present);
}

} // namespace pendra
