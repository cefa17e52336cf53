#include "WaylandConnection.h"

#include "WaylandOutput.h"
#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "LayerShellProtocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QAbstractEventDispatcher>
#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pendra {

namespace {


template <typename T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered, uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(const QByteArray& name)
{
    if (name.isEmpty())
        return nullptr;
    wl_display* display = wl_display_connect(name.constData());
    if (!display)
        return nullptr;
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    // Two round trips: the globals, then what the outputs say about themselves.
    connection->roundtrip();
    connection->roundtrip();
    if (connection->broken())
        return nullptr;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display) : m_display(display)
{
    static const wl_registry_listener listener = {&WaylandConnection::global, &WaylandConnection::globalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &listener, this);
}

WaylandConnection::~WaylandConnection()
{
    m_reader.reset();
    m_writer.reset();
    m_outputs.clear();
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_viewporter)
        wp_viewporter_destroy(m_viewporter);
    if (m_fractionalScale)
        wp_fractional_scale_manager_v1_destroy(m_fractionalScale);
    if (m_xdgOutputs)
        zxdg_output_manager_v1_destroy(m_xdgOutputs);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void WaylandConnection::global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                               uint32_t version)
{
    auto* self = static_cast<WaylandConnection*>(data);
    const auto is = [&](const wl_interface& i) { return std::strcmp(interface, i.name) == 0; };
    if (is(wl_compositor_interface) && !self->m_compositor) {
        self->m_compositor = bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (is(wl_shm_interface) && !self->m_shm) {
        self->m_shm = bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (is(wl_seat_interface) && !self->m_seat) {
        self->m_seat = bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
        self->m_seatName = name;
        // Listened to at once: an event that arrives before a listener is set is lost.
        static const wl_seat_listener seatListener = {
            .capabilities =
                [](void* data, wl_seat*, uint32_t capabilities) {
                    auto* self = static_cast<WaylandConnection*>(data);
                    self->m_seatPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
                    emit self->seatChanged();
                },
            .name = [](void*, wl_seat*, const char*) {},
        };
        wl_seat_add_listener(self->m_seat, &seatListener, self);
    } else if (is(wl_output_interface)) {
        auto* output = bind<wl_output>(registry, name, &wl_output_interface, version, 4);
        self->m_outputs.push_back(std::make_unique<WaylandOutput>(output, name));
        self->m_outputs.back()->describeWith(self->m_xdgOutputs);
        connect(self->m_outputs.back().get(), &WaylandOutput::changed, self, &WaylandConnection::outputsChanged);
    } else if (is(zwlr_layer_shell_v1_interface) && !self->m_layerShell) {
        self->m_layerShellVersion = std::min(version, 4u);
        self->m_layerShell = bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, 4);
    } else if (is(wp_viewporter_interface) && !self->m_viewporter) {
        self->m_viewporter = bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    } else if (is(wp_fractional_scale_manager_v1_interface) && !self->m_fractionalScale) {
        self->m_fractionalScale = bind<wp_fractional_scale_manager_v1>(
            registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (is(zxdg_output_manager_v1_interface) && !self->m_xdgOutputs) {
        self->m_xdgOutputs =
            bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, 3);
        for (const auto& output : self->m_outputs)
            output->describeWith(self->m_xdgOutputs);
    }
}

void WaylandConnection::globalRemove(void* data, wl_registry*, uint32_t name)
{
    auto* self = static_cast<WaylandConnection*>(data);
    const auto gone = std::remove_if(self->m_outputs.begin(), self->m_outputs.end(),
                                     [&](const auto& output) { return output->name() == name; });
    if (gone != self->m_outputs.end()) {
        self->m_outputs.erase(gone, self->m_outputs.end());
        emit self->outputsChanged();
    }
    if (name == self->m_seatName && self->m_seat) {
        wl_seat_destroy(self->m_seat);
        self->m_seat = nullptr;
        self->m_seatPointer = false;
        emit self->seatChanged();
    }
}

WaylandOutput* WaylandConnection::output(wl_output* output) const
{
    for (const auto& candidate : m_outputs) {
        if (candidate->handle() == output)
            return candidate.get();
    }
    return nullptr;
}

void WaylandConnection::attach()
{
    if (m_reader)
        return;
    const int fd = wl_display_get_fd(m_display);
    m_reader = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_reader.get(), &QSocketNotifier::activated, this, &WaylandConnection::readable);
    m_writer = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
    m_writer->setEnabled(false);
    connect(m_writer.get(), &QSocketNotifier::activated, this, &WaylandConnection::flush);
    if (QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance())
        connect(loop, &QAbstractEventDispatcher::aboutToBlock, this, &WaylandConnection::beforeSleep);
}

void WaylandConnection::readable()
{
    if (m_lost)
        return;
    if (wl_display_prepare_read(m_display) == 0) {
        if (wl_display_read_events(m_display) < 0) {
            checkError();
            if (!m_lost && errno != EAGAIN) {
                m_lost = true;
                emit lost();
            }
            return;
        }
    }
    wl_display_dispatch_pending(m_display);
    flush();
    checkError();
}

void WaylandConnection::beforeSleep()
{
    if (m_lost)
        return;
    // Events that came in with a reply are queued already, and the socket
    // will not tell about them: hand them out before the loop sleeps.
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0)
            break;
    }
    wl_display_cancel_read(m_display);
    flush();
    checkError();
}

void WaylandConnection::flush()
{
    if (m_lost)
        return;
    if (wl_display_flush(m_display) < 0 && errno == EAGAIN) {
        // The socket is full: finish once the compositor has read some.
        if (m_writer)
            m_writer->setEnabled(true);
        return;
    }
    if (m_writer)
        m_writer->setEnabled(false);
}

void WaylandConnection::roundtrip()
{
    if (!m_lost && wl_display_roundtrip(m_display) < 0)
        checkError();
}

bool WaylandConnection::broken() const
{
    return m_lost || wl_display_get_error(m_display) != 0;
}

void WaylandConnection::checkError()
{
    if (m_lost || wl_display_get_error(m_display) == 0)
        return;
    m_lost = true;
    if (m_reader)
        m_reader->setEnabled(false);
    if (m_writer)
        m_writer->setEnabled(false);
    emit lost();
}

} // namespace pendra
