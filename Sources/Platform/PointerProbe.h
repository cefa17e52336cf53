#pragma once

#include <QPoint>

#include <optional>

struct xcb_connection_t;

namespace pendra {

// Reads where the pointer is on a connection of its own. Asking through Qt's
// connection wakes Qt's event reader thread on every answer, which is most
// of what a still rail costs while it polls the pointer.
class PointerProbe {
public:
    PointerProbe();
    ~PointerProbe();
    PointerProbe(const PointerProbe&) = delete;
    PointerProbe& operator=(const PointerProbe&) = delete;

    // Root-window pixels; empty when not on X11 or when the server is gone.
    std::optional<QPoint> position() const;

private:
    xcb_connection_t* m_connection = nullptr;
    unsigned m_root = 0;
};

} // namespace pendra
