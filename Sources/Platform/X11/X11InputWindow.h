#pragma once

#include "Host.h"
#include "X11Connection.h"

#include <QPoint>
#include <QRect>

#include <vector>

namespace pendra {

class X11Cursors;

// An invisible window over the rail that takes the mouse only inside its
// input region (the charms and pins), or everywhere while a drag goes on.
// Being a window of its own, it keeps that region even where the rail's
// drawing window is cut to the shape of its pixels. Its crossing, motion and
// button events go to the panel's content in points.
class X11InputWindow : public X11EventReceiver {
public:
    X11InputWindow(X11Connection& x, X11Cursors& cursors);
    ~X11InputWindow() override;
    X11InputWindow(const X11InputWindow&) = delete;
    X11InputWindow& operator=(const X11InputWindow&) = delete;

    xcb_window_t window() const { return m_window; }
    void setContent(PanelContent* content) { m_content = content; }
    void setGeometry(const QRect& pixels, double density);
    void map();
    void unmap();

    void setRegion(const std::vector<QRect>& rects);
    void setWhole(bool whole);
    void setCursor(CursorShape shape);

    // Root-window pixels of the pointer, asked of the server; the last seen
    // when it does not answer.
    QPoint pointer();
    bool buttonDown();

    void handleEvent(const xcb_generic_event_t& event) override;

private:
    QPointF local(int16_t x, int16_t y) const;
    void cancelPress();

    X11Connection& m_x;
    X11Cursors& m_cursors;
    PanelContent* m_content = nullptr;
    xcb_window_t m_window = 0;
    QRect m_geometry;
    double m_density = 1.0;
    std::vector<QRect> m_region;
    bool m_whole = false;
    bool m_mapped = false;
    bool m_pressed = false;
    bool m_inside = false;
    QPoint m_lastRoot;
};

} // namespace pendra
