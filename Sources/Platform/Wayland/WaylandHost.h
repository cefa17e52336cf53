#pragma once

#include "BufferRing.h"
#include "DesktopHost.h"

#include <QRectF>
#include <QTimer>

#include <memory>
#include <vector>

namespace pendra {

class WaylandBuffer;
class WaylandConnection;
class WaylandPanel;
class WaylandPointer;

// The host on a Wayland compositor with a layer shell (sway and the other
// wlroots compositors, KWin, Hyprland...). The rail is a layer surface of its
// own on a connection of its own beside Qt's: drawn into shared-memory
// buffers that take turns, damaged only where it changed, paced by the
// compositor's frame callbacks and taking the pointer only over the charms
// and pins.
class WaylandHost : public DesktopHost {
    Q_OBJECT

public:
    // None when there is no compositor by that name or it has no layer shell.
    static std::unique_ptr<WaylandHost> create(const QByteArray& display);
    ~WaylandHost() override;

    void setContent(PanelContent* content) override;
    void setPanelFrame(const QRectF& frame) override;
    QRectF panelFrame() const override;
    void orderIn() override;
    void orderOut() override;
    bool isVisible() const override;
    void setInputRegion(const std::vector<Disc>& discs) override;
    bool ignoresMouse() const override;
    void setIgnoresMouse(bool ignore) override;
    void redrawAll() override;
    void redrawRect(const QRectF& rect) override;
    double backingScale() const override;

    std::optional<Screen> primaryScreen() const override;

    QPointF pointer() const override;
    bool primaryButtonDown() const override;
    void setCursor(CursorShape shape) override;

    void onFrame(std::function<void(double)> callback) override;
    void setFramesPaused(bool paused) override;
    bool framesPaused() const override;
    void setFrameRate(const FrameRate& rate) override;


    bool reduceMotion() const override;

private:
    explicit WaylandHost(std::unique_ptr<WaylandConnection> connection);
    void configured();
    void outputsChanged();
    void applyInputRegion();
    void tick();
    // Times the next frame where no frame callback will come.
    void keepTicking();
    void paintPanel();

    std::unique_ptr<WaylandConnection> m_connection;
    std::unique_ptr<WaylandPanel> m_panel;
    std::unique_ptr<WaylandPointer> m_pointer;
    std::vector<std::unique_ptr<WaylandBuffer>> m_buffers;
    BufferRing m_ring;
    PanelContent* m_content = nullptr;
    QRectF m_frame;
    bool m_wanted = false;
    std::vector<Disc> m_discs;
    bool m_ignoresMouse = true;
    QRectF m_dirty;
    InkedArea m_inked;
    QTimer m_paintSoon;
    bool m_paused = true;
    double m_rate = 60.0;
    double m_lastTick = 0.0;
    QTimer m_frameTimer;
    std::function<void(double)> m_frameCallback;
};

} // namespace pendra
