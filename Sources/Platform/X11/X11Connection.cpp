#include "X11Connection.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include <xcb/shape.h>
#include <xcb/shm.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdlib>

namespace pendra {

namespace {

template <typename Reply>
struct Freed {
    void operator()(Reply* reply) const { std::free(reply); }
};
template <typename Reply>
using Owned = std::unique_ptr<Reply, Freed<Reply>>;

} // namespace

std::unique_ptr<X11Connection> X11Connection::open(const QByteArray& display)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::unique_ptr<X11Connection> x(new X11Connection(connection, screenNumber));
    if (!x->initialise())
        return nullptr;
    return x;
}

X11Connection::X11Connection(xcb_connection_t* connection, int screenNumber)
    : m_connection(connection), m_screenNumber(screenNumber)
{
}

X11Connection::~X11Connection()
{
    m_notifier.reset();
    xcb_disconnect(m_connection);
}

bool X11Connection::initialise()
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < m_screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return false;
    m_screen = screens.data;

    // Extensions must be asked for their version before their first use.
    const auto xfixesCookie = xcb_xfixes_query_version(m_connection, 5, 0);
    const auto shapeCookie = xcb_shape_query_version(m_connection);
    const auto shmCookie = xcb_shm_query_version(m_connection);
    const auto xwaylandCookie = xcb_query_extension(m_connection, 8, "XWAYLAND");
    const Owned<xcb_xfixes_query_version_reply_t> xfixes(
        xcb_xfixes_query_version_reply(m_connection, xfixesCookie, nullptr));
    const Owned<xcb_shape_query_version_reply_t> shape(xcb_shape_query_version_reply(m_connection, shapeCookie, nullptr));
    const Owned<xcb_shm_query_version_reply_t> shm(xcb_shm_query_version_reply(m_connection, shmCookie, nullptr));
    const Owned<xcb_query_extension_reply_t> xwayland(
        xcb_query_extension_reply(m_connection, xwaylandCookie, nullptr));
    m_xwayland = xwayland && xwayland->present;
    if (!xfixes || xfixes->major_version < 2 || !shape)
        return false;
    // Handing the server a memory file needs version 1.2.
    m_shm = shm && (shm->major_version > 1 || (shm->major_version == 1 && shm->minor_version >= 2));

    for (xcb_depth_iterator_t depths = xcb_screen_allowed_depths_iterator(m_screen); depths.rem > 0;
         xcb_depth_next(&depths)) {
        if (depths.data->depth != 32)
            continue;
        for (xcb_visualtype_iterator_t visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
             xcb_visualtype_next(&visuals)) {
            if (visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && visuals.data->red_mask == 0xff0000 &&
                visuals.data->green_mask == 0xff00 && visuals.data->blue_mask == 0xff) {
                m_argbVisual = visuals.data->visual_id;
                break;
            }
        }
    }
    if (!m_argbVisual)
        return false;

    // Windows coming, going and restacking on the root concern the rail.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_screen->root, XCB_CW_EVENT_MASK, &mask);

    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11Connection::dispatch);
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance())
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &X11Connection::dispatch);
    return true;
}

std::size_t X11Connection::maximumRequestBytes() const
{
    return std::size_t(xcb_get_maximum_request_length(m_connection)) * 4;
}

xcb_atom_t X11Connection::atom(const char* name)
{
    const QByteArray key(name);
    if (auto found = m_atoms.constFind(key); found != m_atoms.constEnd())
        return *found;
    const Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(key.size()), key.constData()), nullptr));
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    if (atom != XCB_ATOM_NONE)
        m_atoms.insert(key, atom);
    return atom;
}

void X11Connection::addReceiver(X11EventReceiver* receiver)
{
    m_receivers.push_back(receiver);
}

void X11Connection::removeReceiver(X11EventReceiver* receiver)
{
    std::erase(m_receivers, receiver);
}

void X11Connection::flush()
{
    xcb_flush(m_connection);
}

void X11Connection::sync()
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

bool X11Connection::broken() const
{
    return m_lost || xcb_connection_has_error(m_connection);
}

void X11Connection::dispatch()
{
    if (m_lost)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        const Owned<xcb_generic_event_t> owned(event);
        // A receiver may remove itself while the event goes round.
        const std::vector<X11EventReceiver*> receivers = m_receivers;
        for (X11EventReceiver* receiver : receivers) {
            if (std::find(m_receivers.begin(), m_receivers.end(), receiver) != m_receivers.end())
                receiver->handleEvent(*event);
        }
    }
    if (xcb_connection_has_error(m_connection)) {
        m_lost = true;
        m_notifier->setEnabled(false);
        emit lost();
    }
}

} // namespace pendra
