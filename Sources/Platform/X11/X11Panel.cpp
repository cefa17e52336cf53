#include "X11Panel.h"

#include "X11Window.h"

#include <xcb/shape.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <vector>

namespace pendra {

X11Panel::X11Panel(X11Connection& x, bool hiddenInputRow) : m_x(x), m_buffer(x), m_lead(hiddenInputRow ? 1 : 0)
{
    xcb_connection_t* c = m_x.raw();
    m_colormap = xcb_generate_id(c);
    xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, m_colormap, m_x.root(), m_x.argbVisual());
    m_geometry = QRect(-4, -4, 2, 2);
    m_window = makeWindow(XCB_BACK_PIXMAP_NONE);
    m_gc = xcb_generate_id(c);
    xcb_create_gc(c, m_gc, m_window, 0, nullptr);
    m_retire.setSingleShot(true);
    m_retire.setInterval(300);
    QObject::connect(&m_retire, &QTimer::timeout, [this] { retire(); });
    m_x.addReceiver(this);
}

xcb_window_t X11Panel::makeWindow(uint32_t background)
{
    xcb_connection_t* c = m_x.raw();
    const xcb_window_t window = xcb_generate_id(c);
    // Values in the order of their mask bits.
    const uint32_t values[] = {background, 0, 1, XCB_EVENT_MASK_EXPOSURE, m_colormap};
    // Never as small as its one-pixel input shape: a shape that covers a
    // whole window reads to some compositors as no shape at all.
    const QRect frame = m_geometry.adjusted(0, -m_lead, 0, 0);
    xcb_create_window(c, 32, window, m_x.root(), int16_t(frame.x()), int16_t(frame.y()),
                      uint16_t(std::max(2, frame.width())), uint16_t(std::max(2, frame.height())), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_x.argbVisual(),
                      XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK |
                          XCB_CW_COLORMAP,
                      values);
    X11Window::describe(m_x, window);
    if (m_lead)
        X11Window::setInput(m_x, window, {QRect(0, 0, 1, 1)});
    else
        X11Window::setEmptyInput(m_x, window);
    return window;
}

X11Panel::~X11Panel()
{
    m_x.removeReceiver(this);
    if (!m_x.broken()) {
        retire();
        xcb_free_gc(m_x.raw(), m_gc);
        xcb_destroy_window(m_x.raw(), m_window);
        xcb_free_colormap(m_x.raw(), m_colormap);
        m_x.flush();
    }
}

void X11Panel::setGeometry(const QRect& pixels)
{
    if (pixels == m_geometry || pixels.isEmpty())
        return;
    m_geometry = pixels;
    X11Window::move(m_x, m_window, pixels.adjusted(0, -m_lead, 0, 0));
    m_buffer.resize(pixels.size());
    m_shape.reset(pixels.height());
    if (m_shaped)
        applyShape();
}

void X11Panel::map()
{
    if (m_mapped)
        return;
    m_mapped = true;
    xcb_map_window(m_x.raw(), m_window);
    m_x.flush();
}

void X11Panel::unmap()
{
    if (!m_mapped)
        return;
    m_mapped = false;
    xcb_unmap_window(m_x.raw(), m_window);
    m_x.flush();
}

void X11Panel::setShaped(bool shaped)
{
    if (shaped == m_shaped)
        return;
    m_shaped = shaped;
    m_shape.reset(m_geometry.height());
    if (shaped) {
        applyShape();
    } else {
        xcb_shape_mask(m_x.raw(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, m_window, 0, 0, XCB_NONE);
        m_x.flush();
    }
}

void X11Panel::applyShape()
{
    const std::vector<QRect> rects = m_shape.rectangles();
    std::vector<xcb_rectangle_t> out;
    out.reserve(rects.size());
    for (const QRect& r : rects)
        out.push_back({int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height())});
    xcb_shape_rectangles(m_x.raw(), XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, m_window,
                         0, int16_t(m_lead), uint32_t(out.size()), out.data());
}

void X11Panel::present(const QRect& area)
{
    if (m_shaped) {
        m_shape.update(m_buffer.image(), area);
        applyShape();
    }
    m_buffer.put(m_window, m_gc, area, QPoint(0, m_lead));
    m_x.flush();
}

void X11Panel::settle()
{
    if (!m_lead || !m_mapped || m_buffer.image().isNull())
        return;
    xcb_connection_t* c = m_x.raw();
    const QRect frame = m_geometry.adjusted(0, -m_lead, 0, 0);
    const xcb_pixmap_t picture = xcb_generate_id(c);
    xcb_create_pixmap(c, 32, picture, m_window, uint16_t(frame.width()), uint16_t(frame.height()));
    const xcb_rectangle_t lead{0, 0, uint16_t(frame.width()), uint16_t(m_lead)};
    xcb_poly_fill_rectangle(c, picture, m_gc, 1, &lead); // the gc's colour is transparent black
    m_buffer.put(picture, m_gc, m_buffer.image().rect(), QPoint(0, m_lead));
    const xcb_window_t fresh = makeWindow(picture);
    // The window keeps its own reference to its background.
    xcb_free_pixmap(c, picture);
    xcb_map_window(c, fresh);
    m_x.flush();
    // The old window goes once the new one shows; both hold the same picture.
    m_retired.push_back(m_window);
    m_window = fresh;
    m_retire.start();
    if (m_windowChanged)
        m_windowChanged();
}

void X11Panel::retire()
{
    for (xcb_window_t old : m_retired)
        xcb_destroy_window(m_x.raw(), old);
    m_retired.clear();
    m_x.flush();
}

void X11Panel::handleEvent(const xcb_generic_event_t& event)
{
    // A window mapped afresh paints itself from its background; one put here
    // would cost it its input shape again.
    if ((event.response_type & 0x7f) != XCB_EXPOSE || m_lead)
        return;
    const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
    if (expose.window != m_window)
        return;
    // The buffer always holds the whole picture, so an uncovered part is
    // simply put again.
    m_buffer.put(m_window, m_gc, QRect(expose.x, expose.y - m_lead, expose.width, expose.height),
                 QPoint(0, m_lead));
    m_x.flush();
}

} // namespace pendra
