#include "WaylandPointer.h"

#include "CursorNames.h"
#include "WaylandConnection.h"

#include <wayland-client.h>
#include <wayland-cursor.h>

#include <cmath>
#include <cstdlib>

namespace pendra {

namespace {

constexpr uint32_t leftButton = 0x110; // BTN_LEFT

} // namespace

const wl_pointer_listener WaylandPointer::pointerListener = {
    .enter =
        [](void* data, wl_pointer*, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
            auto* self = static_cast<WaylandPointer*>(data);
            if (!surface || surface != self->m_surface)
                return;
            self->m_over = true;
            self->m_enterSerial = serial;
            self->m_position = QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y));
            self->showCursor();
            if (self->m_content && !self->m_pressed)
                self->m_content->pointerMoved(self->m_position);
        },
    .leave =
        [](void* data, wl_pointer*, uint32_t, wl_surface* surface) {
            auto* self = static_cast<WaylandPointer*>(data);
            if (!surface || surface != self->m_surface || !self->m_over)
                return;
            self->m_over = false;
            // The compositor keeps the pointer on the surface while a button
            // is held, so a leave now means the press was taken away.
            self->cancelPress();
            if (self->m_content)
                self->m_content->pointerLeft();
        },
    .motion =
        [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
            auto* self = static_cast<WaylandPointer*>(data);
            if (!self->m_over)
                return;
            self->m_position = QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y));
            if (!self->m_content)
                return;
            if (self->m_pressed)
                self->m_content->mouseDragged(self->m_position);
            else
                self->m_content->pointerMoved(self->m_position);
        },
    .button =
        [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
            auto* self = static_cast<WaylandPointer*>(data);
            if (!self->m_over || button != leftButton || !self->m_content)
                return;
            if (state == WL_POINTER_BUTTON_STATE_PRESSED && !self->m_pressed) {
                self->m_pressed = true;
                self->m_content->mouseDown(self->m_position);
            } else if (state == WL_POINTER_BUTTON_STATE_RELEASED && self->m_pressed) {
                self->m_pressed = false;
                self->m_content->mouseUp();
            }
        },
    .axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {},
    .axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {},
    .axis_value120 = [](void*, wl_pointer*, uint32_t, int32_t) {},
};

WaylandPointer::WaylandPointer(WaylandConnection& connection) : m_connection(connection)
{
    connect(&m_connection, &WaylandConnection::seatChanged, this, &WaylandPointer::seatChanged);
    seatChanged();
}

WaylandPointer::~WaylandPointer()
{
    if (m_pointer)
        wl_pointer_release(m_pointer);
    if (m_cursorSurface)
        wl_surface_destroy(m_cursorSurface);
    if (m_theme)
        wl_cursor_theme_destroy(m_theme);
}

void WaylandPointer::seatChanged()
{
    wl_seat* seat = m_connection.seat();
    const bool wanted = seat && m_connection.seatHasPointer();
    if (m_pointer && (!wanted || seat != m_seat)) {
        forget();
        wl_pointer_release(m_pointer);
        m_pointer = nullptr;
    }
    m_seat = seat;
    if (wanted && !m_pointer) {
        m_pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(m_pointer, &pointerListener, this);
    }
}

void WaylandPointer::setSurface(wl_surface* surface, double scale)
{
    if (surface != m_surface)
        forget();
    m_surface = surface;
    m_scale = scale > 0.0 ? scale : 1.0;
    if (m_over)
        showCursor();
}

void WaylandPointer::forget()
{
    cancelPress();
    m_over = false;
}

void WaylandPointer::cancelPress()
{
    if (!m_pressed)
        return;
    m_pressed = false;
    if (m_content)
        m_content->mouseUp();
}

void WaylandPointer::setCursor(CursorShape shape)
{
    m_shape = shape;
    if (m_over)
        showCursor();
}

void WaylandPointer::showCursor()
{
    if (!m_pointer || !m_connection.shm())
        return;
    // Cursors are drawn at whole scales; a fractional one rounds up.
    const int scale = std::max(1, int(std::ceil(m_scale)));
    if (!m_theme || m_themeScale != scale) {
        if (m_theme)
            wl_cursor_theme_destroy(m_theme);
        const char* size = std::getenv("XCURSOR_SIZE");
        const int base = size && std::atoi(size) > 0 ? std::atoi(size) : 24;
        m_theme = wl_cursor_theme_load(std::getenv("XCURSOR_THEME"), base * scale, m_connection.shm());
        m_themeScale = scale;
    }
    if (!m_theme)
        return;
    wl_cursor* cursor = nullptr;
    for (const char* name : cursorNames(m_shape)) {
        if ((cursor = wl_cursor_theme_get_cursor(m_theme, name)))
            break;
    }
    if (!cursor || cursor->image_count == 0)
        return;
    wl_cursor_image* image = cursor->images[0];
    wl_buffer* buffer = wl_cursor_image_get_buffer(image);
    if (!buffer)
        return;
    if (!m_cursorSurface)
        m_cursorSurface = wl_compositor_create_surface(m_connection.compositor());
    wl_surface_set_buffer_scale(m_cursorSurface, scale);
    wl_surface_attach(m_cursorSurface, buffer, 0, 0);
    wl_surface_damage_buffer(m_cursorSurface, 0, 0, int32_t(image->width), int32_t(image->height));
    wl_surface_commit(m_cursorSurface);
    wl_pointer_set_cursor(m_pointer, m_enterSerial, m_cursorSurface, int32_t(image->hotspot_x) / scale,
                          int32_t(image->hotspot_y) / scale);
    m_connection.flush();
}

} // namespace pendra
