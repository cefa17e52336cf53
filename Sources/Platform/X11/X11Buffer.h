#pragma once

#include <QImage>
#include <QRect>

#include <xcb/xcb.h>

namespace pendra {

class X11Connection;

// The rail's pixels, painted in place and put on its window. Where the server
// offers shared memory the image lies in a memory file the server maps too,
// so putting a rectangle copies it once, inside the server; elsewhere (a
// remote display) the rectangle travels in the request.
class X11Buffer {
public:
    explicit X11Buffer(X11Connection& x);
    ~X11Buffer();
    X11Buffer(const X11Buffer&) = delete;
    X11Buffer& operator=(const X11Buffer&) = delete;

    // Makes the image the given size in pixels, cleared; false when memory or
    // the server refused.
    bool resize(QSize pixels);
    QImage& image() { return m_image; }
    bool shared() const { return m_segment != 0; }

    // Waits until the server has read everything put so far, so that the
    // image may be painted again.
    void settle();
    // Copies an area of the image to a 32-bit drawable, shifted by offset.
    void put(xcb_drawable_t drawable, xcb_gcontext_t gc, const QRect& area, QPoint offset = QPoint());

private:
    void release();
    bool makeShared(QSize pixels);
    void putInRequests(xcb_drawable_t drawable, xcb_gcontext_t gc, const QRect& area, QPoint offset);

    X11Connection& m_x;
    QImage m_image;
    uchar* m_memory = nullptr;
    std::size_t m_bytes = 0;
    uint32_t m_segment = 0;
    bool m_pending = false;
};

} // namespace pendra
