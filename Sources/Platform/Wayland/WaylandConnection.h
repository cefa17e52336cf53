#pragma once

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct zwlr_layer_shell_v1;
struct zxdg_output_manager_v1;

class QSocketNotifier;

namespace pendra {

class WaylandOutput;

// A connection of the rail's own to the Wayland compositor, beside Qt's, with
// the globals the rail needs. Its socket is read in the main event loop the
// way libwayland asks: prepare, read, dispatch, and flush before the loop
// sleeps; no thread of its own.
class WaylandConnection : public QObject {
    Q_OBJECT

public:
    // None when there is no compositor by that name (WAYLAND_DISPLAY's).
    static std::unique_ptr<WaylandConnection> open(const QByteArray& name);
    ~WaylandConnection() override;
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return m_display; }
    wl_compositor* compositor() const { return m_compositor; }
    wl_shm* shm() const { return m_shm; }
    wl_seat* seat() const { return m_seat; }
    // Whether the seat has a pointer now.
    bool seatHasPointer() const { return m_seatPointer; }
    zwlr_layer_shell_v1* layerShell() const { return m_layerShell; }
    uint32_t layerShellVersion() const { return m_layerShellVersion; }
    wp_viewporter* viewporter() const { return m_viewporter; }
    wp_fractional_scale_manager_v1* fractionalScale() const { return m_fractionalScale; }
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return m_outputs; }
    WaylandOutput* output(wl_output* output) const;

    // Starts reading the socket in Qt's event loop.
    void attach();
    void flush();
    void roundtrip();
    bool broken() const;

signals:
    void outputsChanged();
    void seatChanged();
    // The compositor went away or ended the connection.
    void lost();

private:
    explicit WaylandConnection(wl_display* display);
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    static void globalRemove(void* data, wl_registry* registry, uint32_t name);
    void readable();
    void beforeSleep();
    void checkError();

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    wl_seat* m_seat = nullptr;
    uint32_t m_seatName = 0;
    bool m_seatPointer = false;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    uint32_t m_layerShellVersion = 0;
    wp_viewporter* m_viewporter = nullptr;
    wp_fractional_scale_manager_v1* m_fractionalScale = nullptr;
    zxdg_output_manager_v1* m_xdgOutputs = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> m_outputs;
    std::unique_ptr<QSocketNotifier> m_reader;
    std::unique_ptr<QSocketNotifier> m_writer;
    bool m_lost = false;
};

} // namespace pendra
