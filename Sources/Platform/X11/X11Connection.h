#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <xcb/xcb.h>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace pendra {

// Something that wants the events of an X11Connection.
class X11EventReceiver {
public:
    virtual ~X11EventReceiver() = default;
    virtual void handleEvent(const xcb_generic_event_t& event) = 0;
};

// A connection of the rail's own to the X server, beside Qt's. The rail's
// windows live on it, so nothing Qt does to its windows can touch them, and
// their events come straight into the main event loop without waking Qt's
// reader thread. Events are read when the socket has data and again before
// the loop sleeps, since replies can bring events along with them.
class X11Connection : public QObject {
    Q_OBJECT

public:
    // None when the display cannot be reached or lacks what the rail needs
    // (the XFixes and SHAPE extensions).
    static std::unique_ptr<X11Connection> open(const QByteArray& display);
    ~X11Connection() override;
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* raw() const { return m_connection; }
    const xcb_screen_t& screen() const { return *m_screen; }
    int screenNumber() const { return m_screenNumber; }
    xcb_window_t root() const { return m_screen->root; }
    // A visual with an alpha channel, and its depth; 0 when there is none.
    xcb_visualid_t argbVisual() const { return m_argbVisual; }
    bool hasShm() const { return m_shm; }
    // The server is XWayland, a Wayland compositor's X11 side.
    bool xwayland() const { return m_xwayland; }
    // The largest request in bytes.
    std::size_t maximumRequestBytes() const;

    xcb_atom_t atom(const char* name);

    void addReceiver(X11EventReceiver* receiver);
    void removeReceiver(X11EventReceiver* receiver);

    void flush();
    // Waits until the server has carried out every request sent so far.
    void sync();
    // Reads and hands out whatever events have arrived.
    void dispatch();
    bool broken() const;

signals:
    // The server went away or closed the connection.
    void lost();

private:
    X11Connection(xcb_connection_t* connection, int screenNumber);
    bool initialise();

    xcb_connection_t* m_connection;
    int m_screenNumber;
    xcb_screen_t* m_screen = nullptr;
    xcb_visualid_t m_argbVisual = 0;
    bool m_shm = false;
    bool m_xwayland = false;
    bool m_lost = false;
    QHash<QByteArray, xcb_atom_t> m_atoms;
    std::vector<X11EventReceiver*> m_receivers;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace pendra
