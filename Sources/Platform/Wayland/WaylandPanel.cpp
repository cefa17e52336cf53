#include "WaylandPanel.h"

#include "WaylandConnection.h"
#include "WaylandOutput.h"
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "LayerShellProtocol.h"

#include <wayland-client.h>

#include <cmath>

namespace pendra {

const wl_surface_listener WaylandPanel::surfaceListener = {
    .enter =
        [](void* data, wl_surface*, wl_output* output) {
            auto* self = static_cast<WaylandPanel*>(data);
            self->m_output = output;
            const WaylandOutput* known = self->m_connection.output(output);
            if (known && !self->m_fractionalScale && known->scale() != self->m_scale) {
                self->m_scale = known->scale();
                emit self->reconfigured();
            }
        },
    .leave = [](void*, wl_surface*, wl_output*) {},
};

const zwlr_layer_surface_v1_listener WaylandPanel::layerListener = {
    .configure =
        [](void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
            auto* self = static_cast<WaylandPanel*>(data);
            zwlr_layer_surface_v1_ack_configure(layer, serial);
            const QSize size{int(width), int(height)};
            const bool changed = size != self->m_size || !self->m_configured;
            self->m_size = size;
            self->m_configured = true;
            if (changed)
                emit self->reconfigured();
        },
    .closed =
        [](void* data, zwlr_layer_surface_v1*) {
            auto* self = static_cast<WaylandPanel*>(data);
            self->destroySurface();
            emit self->closed();
        },
};

const wl_callback_listener WaylandPanel::frameListener = {
    .done =
        [](void* data, wl_callback* callback, uint32_t milliseconds) {
            auto* self = static_cast<WaylandPanel*>(data);
            wl_callback_destroy(callback);
            if (self->m_frame == callback)
                self->m_frame = nullptr;
            emit self->frameDone(milliseconds);
        },
};

const wp_fractional_scale_v1_listener WaylandPanel::fractionalListener = {
    .preferred_scale =
        [](void* data, wp_fractional_scale_v1*, uint32_t scale) {
            auto* self = static_cast<WaylandPanel*>(data);
            const double now = scale / 120.0;
            if (now > 0.0 && now != self->m_scale) {
                self->m_scale = now;
                emit self->reconfigured();
            }
        },
};

WaylandPanel::WaylandPanel(WaylandConnection& connection) : m_connection(connection) {}

WaylandPanel::~WaylandPanel()
{
    destroySurface();
}

void WaylandPanel::show(int height)
{
    if (m_layer || !m_connection.layerShell())
        return;
    m_height = std::max(1, height);
    m_surface = wl_compositor_create_surface(m_connection.compositor());
    wl_surface_add_listener(m_surface, &surfaceListener, this);
    // Fractional scales need both: the preferred scale and a viewport to
    // show a buffer of any size at the surface's size.
    m_fractionalScale = m_connection.fractionalScale() && m_connection.viewporter();
    if (m_fractionalScale) {
        m_fractional = wp_fractional_scale_manager_v1_get_fractional_scale(m_connection.fractionalScale(), m_surface);
        wp_fractional_scale_v1_add_listener(m_fractional, &fractionalListener, this);
        m_viewport = wp_viewporter_get_viewport(m_connection.viewporter(), m_surface);
    } else if (!m_connection.outputs().empty()) {
        m_scale = std::max(1, m_connection.outputs().front()->scale());
    }
    m_layer = zwlr_layer_shell_v1_get_layer_surface(m_connection.layerShell(), m_surface, nullptr,
                                                    ZWLR_LAYER_SHELL_V1_LAYER_TOP, "pendra");
    zwlr_layer_surface_v1_add_listener(m_layer, &layerListener, this);
    zwlr_layer_surface_v1_set_anchor(m_layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                  ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(m_layer, 0, uint32_t(m_height));
    zwlr_layer_surface_v1_set_exclusive_zone(m_layer, 0);
    zwlr_layer_surface_v1_set_keyboard_interactivity(m_layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    applyInputRegion();
    wl_surface_commit(m_surface);
    m_connection.flush();
}

void WaylandPanel::hide()
{
    destroySurface();
    m_connection.flush();
}

void WaylandPanel::destroySurface()
{
    if (m_frame) {
        wl_callback_destroy(m_frame);
        m_frame = nullptr;
    }
    if (m_layer) {
        zwlr_layer_surface_v1_destroy(m_layer);
        m_layer = nullptr;
    }
    if (m_viewport) {
        wp_viewport_destroy(m_viewport);
        m_viewport = nullptr;
    }
    if (m_fractional) {
        wp_fractional_scale_v1_destroy(m_fractional);
        m_fractional = nullptr;
    }
    if (m_surface) {
        wl_surface_destroy(m_surface);
        m_surface = nullptr;
    }
    m_configured = false;
    m_output = nullptr;
    m_size = QSize();
}

void WaylandPanel::setHeight(int height)
{
    height = std::max(1, height);
    if (height == m_height)
        return;
    m_height = height;
    if (!m_layer)
        return;
    zwlr_layer_surface_v1_set_size(m_layer, 0, uint32_t(m_height));
    wl_surface_commit(m_surface);
    m_connection.flush();
}

QSize WaylandPanel::pixelSize() const
{
    return QSize(int(std::ceil(m_size.width() * m_scale)), int(std::ceil(m_size.height() * m_scale)));
}

void WaylandPanel::setInputRegion(const std::optional<std::vector<QRect>>& rects)
{
    m_input = rects;
    if (!m_surface)
        return;
    applyInputRegion();
    commit();
}

void WaylandPanel::applyInputRegion()
{
    if (!m_input) {
        wl_surface_set_input_region(m_surface, nullptr);
        return;
    }
    wl_region* region = wl_compositor_create_region(m_connection.compositor());
    for (const QRect& r : *m_input)
        wl_region_add(region, r.x(), r.y(), r.width(), r.height());
    wl_surface_set_input_region(m_surface, region);
    wl_region_destroy(region);
}

void WaylandPanel::requestFrame()
{
    if (!m_surface || m_frame)
        return;
    m_frame = wl_surface_frame(m_surface);
    wl_callback_add_listener(m_frame, &frameListener, this);
}

void WaylandPanel::present(wl_buffer* buffer, const QRegion& damage)
{
    if (!m_surface || !m_configured)
        return;
    if (m_fractionalScale) {
        wl_surface_set_buffer_scale(m_surface, 1);
        wp_viewport_set_destination(m_viewport, m_size.width(), m_size.height());
    } else {
        wl_surface_set_buffer_scale(m_surface, int(m_scale));
    }
    wl_surface_attach(m_surface, buffer, 0, 0);
    for (const QRect& r : damage)
        wl_surface_damage_buffer(m_surface, r.x(), r.y(), r.width(), r.height());
    wl_surface_commit(m_surface);
    m_connection.flush();
}

void WaylandPanel::commit()
{
    if (!m_surface)
        return;
    wl_surface_commit(m_surface);
    m_connection.flush();
}

} // namespace pendra
