#pragma once

#include "AlphaShape.h"
#include "X11Buffer.h"
#include "X11Connection.h"

#include <QRect>

namespace pendra {

// The window the rail is drawn in: borderless, with an alpha channel, outside
// the window manager's care (override-redirect), so that no window manager
// tiles it, docks it, frames it, focuses it or lists it. It never takes the
// mouse itself; the input window above it does. Without a compositor to blend
// it with the desktop it is cut to the shape of its drawing.
class X11Panel : public X11EventReceiver {
public:
    explicit X11Panel(X11Connection& x);
    ~X11Panel() override;
    X11Panel(const X11Panel&) = delete;
    X11Panel& operator=(const X11Panel&) = delete;

    xcb_window_t window() const { return m_window; }
    // Device pixels, in the root window's coordinates.
    void setGeometry(const QRect& pixels);
    const QRect& geometry() const { return m_geometry; }
    void map();
    void unmap();
    bool mapped() const { return m_mapped; }

    void setShaped(bool shaped);
    bool shaped() const { return m_shaped; }

    X11Buffer& buffer() { return m_buffer; }
    // Shows an area of the buffer that was just painted.
    void present(const QRect& area);

    void handleEvent(const xcb_generic_event_t& event) override;

private:
    void applyShape();

    X11Connection& m_x;
    X11Buffer m_buffer;
    AlphaShape m_shape;
    xcb_window_t m_window = 0;
    xcb_colormap_t m_colormap = 0;
    xcb_gcontext_t m_gc = 0;
    QRect m_geometry;
    bool m_mapped = false;
    bool m_shaped = false;
};

} // namespace pendra
