#pragma once

#include "Host.h"

#include <QPoint>
#include <QPointF>

#include <xcb/xcb.h>

#include <functional>

namespace pendra {

// Turns the crossing, motion and button events of the rail's input windows
// into what the panel's content hears, in points from the panel's corner.
// Positions are taken in root-window pixels, so any number of windows can
// share it.
class X11PointerEvents {
public:
    // Which windows' events count.
    using Ours = std::function<bool(xcb_window_t)>;

    explicit X11PointerEvents(Ours ours) : m_ours(std::move(ours)) {}

    void setContent(PanelContent* content) { m_content = content; }
    // The panel's top-left corner in root pixels and its device pixels per point.
    void setPlacement(QPoint origin, double density);
    // Answers whether the event was one of ours.
    bool handle(const xcb_generic_event_t& event);
    // Ends a press whose release will never come here.
    void cancelPress();

    bool pressed() const { return m_pressed; }
    QPoint lastRoot() const { return m_lastRoot; }
    void setLastRoot(QPoint root) { m_lastRoot = root; }

private:
    QPointF local(int16_t rootX, int16_t rootY) const;

    Ours m_ours;
    PanelContent* m_content = nullptr;
    QPoint m_origin;
    double m_density = 1.0;
    bool m_pressed = false;
    QPoint m_lastRoot;
};

} // namespace pendra
