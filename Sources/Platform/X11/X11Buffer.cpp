#include "X11Buffer.h"

#include "X11Connection.h"

#include <xcb/shm.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace pendra {

X11Buffer::X11Buffer(X11Connection& x) : m_x(x) {}

X11Buffer::~X11Buffer()
{
    release();
}

void X11Buffer::release()
{
    if (m_segment) {
        xcb_shm_detach(m_x.raw(), m_segment);
        m_x.flush();
        m_segment = 0;
    }
    m_image = QImage();
    if (m_memory) {
        munmap(m_memory, m_bytes);
        m_memory = nullptr;
        m_bytes = 0;
    }
    m_pending = false;
}

bool X11Buffer::resize(QSize pixels)
{
    if (pixels == m_image.size() && !m_image.isNull()) {
        settle();
        m_image.fill(Qt::transparent);
        return true;
    }
    settle();
    release();
    if (pixels.isEmpty())
        return false;
    if (m_x.hasShm() && makeShared(pixels))
        return true;
    m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    if (m_image.isNull())
        return false;
    m_image.fill(Qt::transparent);
    return true;
}

bool X11Buffer::makeShared(QSize pixels)
{
    const std::size_t stride = std::size_t(pixels.width()) * 4;
    const std::size_t bytes = stride * std::size_t(pixels.height());
    const int fd = memfd_create("pendra-rail", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    if (ftruncate(fd, off_t(bytes)) != 0) {
        close(fd);
        return false;
    }
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return false;
    }
    const uint32_t segment = xcb_generate_id(m_x.raw());
    // The library sends the descriptor to the server and closes it.
    xcb_generic_error_t* error =
        xcb_request_check(m_x.raw(), xcb_shm_attach_fd_checked(m_x.raw(), segment, fd, 1));
    if (error) {
        std::free(error);
        munmap(memory, bytes);
        return false;
    }
    m_memory = static_cast<uchar*>(memory);
    m_bytes = bytes;
    m_segment = segment;
    // The memory file starts zeroed, which is transparent.
    m_image = QImage(m_memory, pixels.width(), pixels.height(), qsizetype(stride),
                     QImage::Format_ARGB32_Premultiplied);
    return true;
}

void X11Buffer::settle()
{
    if (!m_pending)
        return;
    m_x.sync();
    m_pending = false;
}

void X11Buffer::put(xcb_drawable_t drawable, xcb_gcontext_t gc, const QRect& area, QPoint offset)
{
    const QRect clipped = area.intersected(m_image.rect());
    if (clipped.isEmpty())
        return;
    if (!m_segment) {
        putInRequests(drawable, gc, clipped, offset);
        return;
    }
    xcb_shm_put_image(m_x.raw(), drawable, gc, uint16_t(m_image.width()), uint16_t(m_image.height()),
                      uint16_t(clipped.x()), uint16_t(clipped.y()), uint16_t(clipped.width()),
                      uint16_t(clipped.height()), int16_t(clipped.x() + offset.x()),
                      int16_t(clipped.y() + offset.y()), 32,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, m_segment, 0);
    m_pending = true;
}

void X11Buffer::putInRequests(xcb_drawable_t drawable, xcb_gcontext_t gc, const QRect& area, QPoint offset)
{
    const std::size_t rowBytes = std::size_t(area.width()) * 4;
    const std::size_t room = m_x.maximumRequestBytes() > 64 ? m_x.maximumRequestBytes() - 64 : 0;
    const int rowsPerRequest = int(std::max<std::size_t>(1, room / std::max<std::size_t>(rowBytes, 1)));
    std::vector<uint8_t> rows;
    for (int y = area.top(); y <= area.bottom(); y += rowsPerRequest) {
        const int count = std::min(rowsPerRequest, area.bottom() + 1 - y);
        rows.resize(rowBytes * std::size_t(count));
        for (int i = 0; i < count; ++i) {
            const uchar* from = m_image.constScanLine(y + i) + std::size_t(area.x()) * 4;
            std::copy(from, from + rowBytes, rows.begin() + std::ptrdiff_t(rowBytes * std::size_t(i)));
        }
        xcb_put_image(m_x.raw(), XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, gc, uint16_t(area.width()), uint16_t(count),
                      int16_t(area.x() + offset.x()), int16_t(y + offset.y()), 0, 32, uint32_t(rows.size()),
                      rows.data());
    }
}

} // namespace pendra
