#pragma once

#include "X11Connection.h"

#include <functional>

namespace pendra {

// Tells whether a compositing manager runs on the screen (it owns the
// _NET_WM_CM_S<screen> selection), and when one starts or stops.
class X11CompositorWatch : public X11EventReceiver {
public:
    X11CompositorWatch(X11Connection& x, std::function<void(bool present)> changed);
    ~X11CompositorWatch() override;

    bool present() const { return m_present; }

    void handleEvent(const xcb_generic_event_t& event) override;

private:
    bool ask();

    X11Connection& m_x;
    std::function<void(bool)> m_changed;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    uint8_t m_firstEvent = 0;
    bool m_present = false;
};

} // namespace pendra
