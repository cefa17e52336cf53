#pragma once

#include "DesktopHost.h"

#include <QRectF>
#include <QTimer>

#include <memory>
#include <vector>

class QScreen;

namespace pendra {

class FrameClock;
class X11CompositorWatch;
class X11Connection;
class X11Cursors;
class X11InputArea;
class X11Panel;
class X11StackKeeper;
class X11WorkArea;
class XSettings;

// The host on an X11 desktop. The rail lives in two override-redirect windows
// on a connection of its own: one it is drawn in, straight into memory the
// server shares, and an invisible one above it that takes the mouse only over
// the charms and pins. Screens come from Qt; the frame clock and timers run
// on Qt's event loop; the click is libcanberra's; reduced motion comes from
// the desktop's XSETTINGS.
class X11Host : public DesktopHost {
    Q_OBJECT

public:
    // None when the display cannot be reached or lacks what the rail needs.
    // On a Wayland desktop the X server is XWayland, whose compositor may
    // read input shapes only when a window maps.
    static std::unique_ptr<X11Host> create(bool xwayland);
    ~X11Host() override;

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

    bool clicksPassOnlyAtRest() const override { return m_xwayland; }

    // Whether the rail is cut to the shape of its drawing (no compositor).
    bool shaped() const;

private:
    X11Host(std::unique_ptr<X11Connection> x, bool xwayland);
    void watchScreen(QScreen* screen);
    void screensMoved();
    void compositorChanged(bool present);
    // The panel's frame in root-window pixels.
    QRect pixelFrame() const;
    void placeWindows();
    void applyInputRegion();
    void keepOurs();
    void paintPanel();

    std::unique_ptr<X11Connection> m_x;
    std::unique_ptr<X11Cursors> m_cursors;
    std::unique_ptr<X11Panel> m_panel;
    std::unique_ptr<X11InputArea> m_input;
    std::unique_ptr<X11StackKeeper> m_keeper;
    std::unique_ptr<X11CompositorWatch> m_compositor;
    std::unique_ptr<X11WorkArea> m_workArea;
    std::unique_ptr<XSettings> m_xsettings;
    FrameClock* m_frames;
    PanelContent* m_content = nullptr;
    QRectF m_frame;
    double m_density = 1.0;
    std::vector<Disc> m_discs;
    bool m_ignoresMouse = true;
    QRectF m_dirty;
    InkedArea m_inked;
    QTimer m_paintSoon;
    // Once the picture has stopped changing, XWayland's rail is put up afresh.
    QTimer m_settle;
    bool m_xwayland = false;
};

} // namespace pendra
