#include "X11Panel.h"

#include "X11Window.h"

#include <xcb/shape.h>
#include <xcb/xfixes.h>

#include <vector>

namespace pendra {

X11Panel::X11Panel(X11Connection& x) : m_x(x), m_buffer(x)
{
    xcb_connection_t* c = m_x.raw();
    m_colormap = xcb_generate_id(c);
    xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, m_colormap, m_x.root(), m_x.argbVisual());
    m_window = xcb_generate_id(c);
    // Values in the order of their mask bits.
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 0, 1, XCB_EVENT_MASK_EXPOSURE, m_colormap};
    xcb_create_window(c, 32, m_window, m_x.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, m_x.argbVisual(),
                      XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK |
                          XCB_CW_COLORMAP,
                      values);
    m_geometry = QRect(0, 0, 1, 1);
    X11Window::describe(m_x, m_window);
    X11Window::setEmptyInput(m_x, m_window);
    m_gc = xcb_generate_id(c);
    xcb_create_gc(c, m_gc, m_window, 0, nullptr);
    m_x.addReceiver(this);
}

X11Panel::~X11Panel()
{
    m_x.removeReceiver(this);
    if (!m_x.broken()) {
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
    X11Window::move(m_x, m_window, pixels);
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
                         0, 0, uint32_t(out.size()), out.data());
}

void X11Panel::present(const QRect& area)
{
    if (m_shaped) {
        m_shape.update(m_buffer.image(), area);
        applyShape();
    }
    m_buffer.put(m_window, m_gc, area);
    m_x.flush();
}

void X11Panel::handleEvent(const xcb_generic_event_t& event)
{
    if ((event.response_type & 0x7f) != XCB_EXPOSE)
        return;
    const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
    if (expose.window != m_window)
        return;
    // The buffer always holds the whole picture, so an uncovered part is
    // simply put again.
    m_buffer.put(m_window, m_gc, QRect(expose.x, expose.y, expose.width, expose.height));
    m_x.flush();
}

} // namespace pendra
