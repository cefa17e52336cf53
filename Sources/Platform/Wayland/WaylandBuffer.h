#pragma once

#include <QImage>

#include <functional>

struct wl_buffer;
struct wl_shm;

namespace pendra {

// One picture in memory the compositor shares: a memory file mapped here and
// handed over as a wl_shm buffer, painted through a QImage over the mapping
// (premultiplied ARGB, which is what wl_shm's ARGB8888 means).
class WaylandBuffer {
public:
    // None when memory or the compositor refused.
    static std::unique_ptr<WaylandBuffer> create(wl_shm* shm, QSize pixels, std::function<void()> released);
    ~WaylandBuffer();
    WaylandBuffer(const WaylandBuffer&) = delete;
    WaylandBuffer& operator=(const WaylandBuffer&) = delete;

    QImage& image() { return m_image; }
    wl_buffer* handle() const { return m_buffer; }

private:
    WaylandBuffer() = default;

    uchar* m_memory = nullptr;
    std::size_t m_bytes = 0;
    wl_buffer* m_buffer = nullptr;
    QImage m_image;
    std::function<void()> m_released;
};

} // namespace pendra
