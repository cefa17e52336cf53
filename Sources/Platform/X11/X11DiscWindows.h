#pragma once

#include "X11InputArea.h"

namespace pendra {

// For compositors that take an X11 window's input shape only as it was when
// the window mapped (GNOME's mutter, with XWayland): every disc gets a small
// transparent window of its own, cut round once before it maps, that then
// only moves with its charm or pin. A disc is round however its charm turns,
// so the shape never needs to change; a new size gets a new window.
class X11DiscWindows : public X11InputArea {
public:
    X11DiscWindows(X11Connection& x, X11Cursors& cursors);
    ~X11DiscWindows() override;

    void map() override;
    void unmap() override;
    void setDiscs(const std::vector<Disc>& discs) override;
    // A drag stays with the window it began on, wherever the pointer goes.
    void setWhole(bool) override {}
    void setCursor(CursorShape shape) override;
    std::vector<xcb_window_t> windows() const override;
    // A moved window has lost its round shape to the compositor; mapped
    // again, it is read anew.
    void settle() override;

protected:
    bool isOurs(xcb_window_t window) const override;

private:
    struct Round {
        xcb_window_t id = 0;
        int radius = 0;
        QPoint at;
    };

    Round make(QPointF centre, int radius);
    void destroy(const Round& round);

    std::vector<Round> m_rounds;
    xcb_colormap_t m_colormap = 0;
    CursorShape m_cursor = CursorShape::arrow;
    bool m_mapped = false;
    bool m_moved = false;
};

} // namespace pendra
