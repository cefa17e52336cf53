#pragma once

#include "X11InputArea.h"

namespace pendra {

// One invisible window over the rail whose input shape is the union of the
// charm and pin discs, changed as they move. Being a window of its own, it
// keeps that shape even where the drawing window is cut to its pixels.
class X11InputWindow : public X11InputArea {
public:
    X11InputWindow(X11Connection& x, X11Cursors& cursors);
    ~X11InputWindow() override;

    void setPlacement(const QRect& panel, double density) override;
    void map() override;
    void unmap() override;
    void setDiscs(const std::vector<Disc>& discs) override;
    void setWhole(bool whole) override;
    void setCursor(CursorShape shape) override;
    std::vector<xcb_window_t> windows() const override { return {m_window}; }

protected:
    bool isOurs(xcb_window_t window) const override { return window == m_window; }

private:
    void applyShape();

    xcb_window_t m_window = 0;
    QRect m_geometry;
    std::vector<Disc> m_discs;
    bool m_whole = false;
    bool m_mapped = false;
};

} // namespace pendra
