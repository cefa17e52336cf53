#pragma once

#include "Host.h"
#include "X11Connection.h"
#include "X11PointerEvents.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace pendra {

class X11Cursors;

// Where the rail takes the mouse on X11: the charm and pin discs, or the whole
// panel while a drag goes on. How that is done depends on the server.
class X11InputArea : public X11EventReceiver {
public:
    X11InputArea(X11Connection& x, X11Cursors& cursors);
    ~X11InputArea() override;
    X11InputArea(const X11InputArea&) = delete;
    X11InputArea& operator=(const X11InputArea&) = delete;

    void setContent(PanelContent* content) { m_events.setContent(content); }
    // The panel's place in root pixels and its device pixels per point.
    virtual void setPlacement(const QRect& panel, double density);
    virtual void map() = 0;
    virtual void unmap() = 0;
    // Discs in points from the panel's corner.
    virtual void setDiscs(const std::vector<Disc>& discs) = 0;
    virtual void setWhole(bool whole) = 0;
    virtual void setCursor(CursorShape shape) = 0;
    // The windows that take the mouse, bottom first.
    virtual std::vector<xcb_window_t> windows() const = 0;
    // Where the compositor reads input shapes only at mapping: maps the
    // windows afresh once the rail is at rest.
    virtual void settle() {}

    // Root-window pixels of the pointer, asked of the server; the last seen
    // when it does not answer.
    QPoint pointer();
    bool buttonDown();

    void handleEvent(const xcb_generic_event_t& event) override { m_events.handle(event); }

protected:
    virtual bool isOurs(xcb_window_t window) const = 0;

    X11Connection& m_x;
    X11Cursors& m_cursors;
    X11PointerEvents m_events;
    QRect m_panel;
    double m_density = 1.0;
};

} // namespace pendra
