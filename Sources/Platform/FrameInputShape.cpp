#include "FrameInputShape.h"

#include "X11Panel.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>

namespace pendra {

namespace {

xcb_connection_t* connection()
{
    return X11Panel::connection();
}

} // namespace

FrameInputShape::FrameInputShape(QWindow* window)
    : m_window(window)
{
    Q_ASSERT(window);
    if (connection())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

FrameInputShape::~FrameInputShape()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void FrameInputShape::setPassThrough(bool passThrough)
{
    m_passThrough = passThrough;
    apply();
}

bool FrameInputShape::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) == XCB_REPARENT_NOTIFY) {
        const auto* reparent = static_cast<const xcb_reparent_notify_event_t*>(message);
        if (reparent->window == xcb_window_t(m_window->winId()))
            apply();
    }
    // Qt still needs the event for its own bookkeeping.
    return false;
}

void FrameInputShape::apply()
{
    xcb_connection_t* x = connection();
    if (!x)
        return;
    // The panel itself gets the shape too: Qt skips the change when its own
    // idea of the current state is stale, which it is for a window made with
    // pass-through already on.
    xcb_window_t window = xcb_window_t(m_window->winId());
    for (int depth = 0; depth < 8; ++depth) {
        setShape(x, window);
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x, xcb_query_tree(x, window), nullptr);
        if (!tree)
            break;
        const xcb_window_t parent = tree->parent;
        const xcb_window_t root = tree->root;
        std::free(tree);
        if (parent == XCB_WINDOW_NONE || parent == root)
            break;
        window = parent;
    }
    xcb_flush(x);
}

void FrameInputShape::setShape(xcb_connection_t* x, uint32_t window) const
{
    if (m_passThrough) {
        const xcb_xfixes_region_t empty = xcb_generate_id(x);
        xcb_xfixes_create_region(x, empty, 0, nullptr);
        xcb_xfixes_set_window_shape_region(x, window, XCB_SHAPE_SK_INPUT, 0, 0, empty);
        xcb_xfixes_destroy_region(x, empty);
    } else {
        // No region puts back the ordinary input area, which follows the
        // window's size from then on.
        xcb_xfixes_set_window_shape_region(x, window, XCB_SHAPE_SK_INPUT, 0, 0, XCB_NONE);
    }
}

} // namespace pendra
