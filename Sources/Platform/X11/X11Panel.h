#pragma once

#include "AlphaShape.h"
#include "X11Buffer.h"
#include "X11Connection.h"

#include <QRect>
#include <QTimer>

#include <functional>
#include <vector>

namespace pendra {

// The window the rail is drawn in: borderless, with an alpha channel, outside
// the window manager's care (override-redirect), so that no window manager
// tiles it, docks it, frames it, focuses it or lists it. It never takes the
// mouse itself; the input windows above it do. Without a compositor to blend
// it with the desktop it is cut to the shape of its drawing.
class X11Panel : public X11EventReceiver {
public:
    // A compositor that reads an override-redirect window's input shape
    // only when it maps, and takes an empty one for no shape at all (GNOME's
    // mutter), gets a window one pixel taller than the picture, whose extra
    // top row, hidden under the desktop's top bar, holds a one-pixel input
    // shape.
    X11Panel(X11Connection& x, bool hiddenInputRow);
    ~X11Panel() override;
    X11Panel(const X11Panel&) = delete;
    X11Panel& operator=(const X11Panel&) = delete;

    xcb_window_t window() const { return m_window; }
    // The picture's place in device pixels, in the root window's coordinates.
    void setGeometry(const QRect& pixels);
    const QRect& geometry() const { return m_geometry; }
    void map();
    void unmap();
    bool mapped() const { return m_mapped; }

    void setShaped(bool shaped);
    bool shaped() const { return m_shaped; }

    X11Buffer& buffer() { return m_buffer; }
    // Where a compositor reads input shapes only at mapping and forgets
    // them at the next new picture (GNOME's mutter): puts the picture up in
    // a window mapped afresh, whose background it is, so that clicks pass
    // the rail again until it next changes.
    void settle();
    // Called when settle() replaced the window.
    void onWindowChanged(std::function<void()> callback) { m_windowChanged = std::move(callback); }
    // Shows an area of the buffer that was just painted.
    void present(const QRect& area);

    void handleEvent(const xcb_generic_event_t& event) override;

private:
    xcb_window_t makeWindow(uint32_t background);
    void applyShape();
    void retire();

    X11Connection& m_x;
    X11Buffer m_buffer;
    AlphaShape m_shape;
    xcb_window_t m_window = 0;
    xcb_colormap_t m_colormap = 0;
    xcb_gcontext_t m_gc = 0;
    QRect m_geometry;
    bool m_mapped = false;
    bool m_shaped = false;
    int m_lead = 0;
    std::vector<xcb_window_t> m_retired;
    QTimer m_retire;
    std::function<void()> m_windowChanged;
};

} // namespace pendra
