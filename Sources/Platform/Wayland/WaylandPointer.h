#pragma once

#include "Host.h"

#include <QObject>
#include <QPointF>

#include <cstdint>

struct wl_cursor_theme;
struct wl_pointer;
struct wl_seat;
struct wl_surface;

struct wl_pointer_listener;

namespace pendra {

class WaylandConnection;

// The seat's pointer over the rail's surface: enter, motion, button and leave
// events go to the panel's content in points, and the cursor over the rail
// comes from the cursor theme (XCURSOR_THEME and XCURSOR_SIZE honoured),
// drawn at the surface's scale.
class WaylandPointer : public QObject {
    Q_OBJECT

public:
    explicit WaylandPointer(WaylandConnection& connection);
    ~WaylandPointer() override;
    WaylandPointer(const WaylandPointer&) = delete;
    WaylandPointer& operator=(const WaylandPointer&) = delete;

    void setContent(PanelContent* content) { m_content = content; }
    // The surface whose events count, and its scale for the cursor.
    void setSurface(wl_surface* surface, double scale);
    void setCursor(CursorShape shape);
    // Surface-local position of the last event over the surface.
    QPointF position() const { return m_position; }
    bool buttonDown() const { return m_pressed; }
    // The surface went away: a press on it ends here.
    void forget();

private:
    void seatChanged();
    void showCursor();
    void cancelPress();

    static const wl_pointer_listener pointerListener;

    WaylandConnection& m_connection;
    PanelContent* m_content = nullptr;
    wl_seat* m_seat = nullptr;
    wl_pointer* m_pointer = nullptr;
    wl_surface* m_surface = nullptr;
    wl_surface* m_cursorSurface = nullptr;
    wl_cursor_theme* m_theme = nullptr;
    int m_themeScale = 0;
    double m_scale = 1.0;
    CursorShape m_shape = CursorShape::arrow;
    uint32_t m_enterSerial = 0;
    bool m_over = false;
    bool m_pressed = false;
    QPointF m_position;
};

} // namespace pendra
