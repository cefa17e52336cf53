#include "WaylandBuffer.h"

#include <wayland-client.h>

#include <sys/mman.h>
#include <unistd.h>

namespace pendra {

std::unique_ptr<WaylandBuffer> WaylandBuffer::create(wl_shm* shm, QSize pixels, std::function<void()> released)
{
    if (!shm || pixels.isEmpty())
        return nullptr;
    const int stride = pixels.width() * 4;
    const std::size_t bytes = std::size_t(stride) * std::size_t(pixels.height());
    const int fd = memfd_create("pendra-rail", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (ftruncate(fd, off_t(bytes)) != 0) {
        close(fd);
        return nullptr;
    }
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(bytes));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, pixels.width(), pixels.height(), stride, WL_SHM_FORMAT_ARGB8888);
    // The buffer keeps the pool's memory alive on both sides.
    wl_shm_pool_destroy(pool);
    close(fd);

    std::unique_ptr<WaylandBuffer> made(new WaylandBuffer);
    made->m_memory = static_cast<uchar*>(memory);
    made->m_bytes = bytes;
    made->m_buffer = buffer;
    made->m_released = std::move(released);
    made->m_image = QImage(made->m_memory, pixels.width(), pixels.height(), stride, QImage::Format_ARGB32_Premultiplied);
    static const wl_buffer_listener listener = {
        .release =
            [](void* data, wl_buffer*) {
                auto* self = static_cast<WaylandBuffer*>(data);
                if (self->m_released)
                    self->m_released();
            },
    };
    wl_buffer_add_listener(buffer, &listener, made.get());
    return made;
}

WaylandBuffer::~WaylandBuffer()
{
    m_image = QImage();
    if (m_buffer)
        wl_buffer_destroy(m_buffer);
    if (m_memory)
        munmap(m_memory, m_bytes);
}

} // namespace pendra
