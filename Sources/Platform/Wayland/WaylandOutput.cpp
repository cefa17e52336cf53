#include "WaylandOutput.h"

#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

namespace pendra {

const wl_output_listener WaylandOutput::outputListener = {
    .geometry = [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                   int32_t) {},
    .mode =
        [](void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
            if (flags & WL_OUTPUT_MODE_CURRENT)
                static_cast<WaylandOutput*>(data)->m_mode = QSize(width, height);
        },
    .done =
        [](void* data, wl_output*) {
            auto* self = static_cast<WaylandOutput*>(data);
            self->m_done = true;
            emit self->changed();
        },
    .scale = [](void* data, wl_output*, int32_t factor) { static_cast<WaylandOutput*>(data)->m_scale = factor; },
    .name = [](void*, wl_output*, const char*) {},
    .description = [](void*, wl_output*, const char*) {},
};

const zxdg_output_v1_listener WaylandOutput::xdgListener = {
    .logical_position =
        [](void* data, zxdg_output_v1*, int32_t x, int32_t y) {
            static_cast<WaylandOutput*>(data)->m_position = QPoint(x, y);
        },
    .logical_size =
        [](void* data, zxdg_output_v1*, int32_t width, int32_t height) {
            static_cast<WaylandOutput*>(data)->m_logicalSize = QSize(width, height);
        },
    .done = [](void*, zxdg_output_v1*) {},
    .name = [](void*, zxdg_output_v1*, const char*) {},
    .description = [](void*, zxdg_output_v1*, const char*) {},
};

WaylandOutput::WaylandOutput(wl_output* output, uint32_t name) : m_output(output), m_name(name)
{
    wl_output_add_listener(m_output, &outputListener, this);
}

WaylandOutput::~WaylandOutput()
{
    if (m_xdg)
        zxdg_output_v1_destroy(m_xdg);
    if (wl_output_get_version(m_output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(m_output);
    else
        wl_output_destroy(m_output);
}

void WaylandOutput::describeWith(zxdg_output_manager_v1* manager)
{
    if (m_xdg || !manager)
        return;
    m_xdg = zxdg_output_manager_v1_get_xdg_output(manager, m_output);
    zxdg_output_v1_add_listener(m_xdg, &xdgListener, this);
}

QRect WaylandOutput::logical() const
{
    if (!m_logicalSize.isEmpty())
        return QRect(m_position, m_logicalSize);
    const int scale = m_scale > 0 ? m_scale : 1;
    return QRect(m_position, m_mode / scale);
}

} // namespace pendra
