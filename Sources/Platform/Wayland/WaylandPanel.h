#pragma once

#include <QObject>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <cstdint>
#include <optional>
#include <vector>

struct wl_buffer;
struct wl_callback;
struct wl_output;
struct wl_surface;
struct wp_fractional_scale_v1;
struct wp_viewport;
struct zwlr_layer_surface_v1;

struct wl_surface_listener;
struct zwlr_layer_surface_v1_listener;
struct wl_callback_listener;
struct wp_fractional_scale_v1_listener;

namespace pendra {

class WaylandConnection;

// The rail's surface on a compositor with a layer shell: on the top layer
// (above ordinary windows, below a full-screen one), anchored to the top,
// left and right edges of one output, reserving nothing and never taking the
// keyboard. Its size comes from the compositor; its scale follows the output,
// fractional where the compositor offers it.
class WaylandPanel : public QObject {
    Q_OBJECT

public:
    explicit WaylandPanel(WaylandConnection& connection);
    ~WaylandPanel() override;
    WaylandPanel(const WaylandPanel&) = delete;
    WaylandPanel& operator=(const WaylandPanel&) = delete;

    void show(int height);
    void hide();
    bool shown() const { return m_layer != nullptr; }
    bool configured() const { return m_configured; }
    void setHeight(int height);
    // Logical pixels, as the compositor configured the surface.
    QSize size() const { return m_size; }
    // Device pixels per logical pixel.
    double scale() const { return m_scale; }
    QSize pixelSize() const;
    wl_surface* surface() const { return m_surface; }
    wl_output* output() const { return m_output; }

    // Where the surface takes the pointer, in logical pixels; none for all of it.
    void setInputRegion(const std::optional<std::vector<QRect>>& rects);
    void requestFrame();
    bool frameRequested() const { return m_frame != nullptr; }
    // Shows a buffer of pixelSize(), changed in damage (buffer pixels).
    void present(wl_buffer* buffer, const QRegion& damage);
    // Applies what was set without a new picture.
    void commit();

signals:
    // The size or the scale changed: the picture must be painted anew.
    void reconfigured();
    void frameDone(uint32_t milliseconds);
    // The compositor took the surface away (its output went, for one).
    void closed();

private:
    void destroySurface();
    void applyInputRegion();

    static const wl_surface_listener surfaceListener;
    static const zwlr_layer_surface_v1_listener layerListener;
    static const wl_callback_listener frameListener;
    static const wp_fractional_scale_v1_listener fractionalListener;

    WaylandConnection& m_connection;
    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layer = nullptr;
    wp_viewport* m_viewport = nullptr;
    wp_fractional_scale_v1* m_fractional = nullptr;
    wl_callback* m_frame = nullptr;
    wl_output* m_output = nullptr;
    QSize m_size;
    int m_height = 1;
    double m_scale = 1.0;
    bool m_fractionalScale = false;
    bool m_configured = false;
    std::optional<std::vector<QRect>> m_input = std::vector<QRect>();
};

} // namespace pendra
