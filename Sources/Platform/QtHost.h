#pragma once

#include "Host.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
class QScreen;

namespace pendra {

class FrameClock;
class PointerProbe;
class RailWindow;
class XSettings;

// The host on a real desktop: a Qt window for the panel, Qt timers for the
// clocks, libcanberra for the sound and the desktop's own settings for
// reduced motion.
class QtHost : public QObject, public Host {
    Q_OBJECT

public:
    QtHost();
    ~QtHost() override;

    void setContent(PanelContent* content) override;
    void setPanelFrame(const QRectF& frame) override;
    QRectF panelFrame() const override;
    void orderIn() override;
    void orderOut() override;
    bool isVisible() const override;
    bool ignoresMouse() const override;
    void setIgnoresMouse(bool ignore) override;
    void redrawAll() override;
    void redrawRect(const QRectF& rect) override;
    double backingScale() const override;

    std::optional<Screen> primaryScreen() const override;
    void onScreensChanged(std::function<void()> callback) override;

    QPointF pointer() const override;
    void setCursor(CursorShape shape) override;

    void onFrame(std::function<void(double)> callback) override;
    void setFramesPaused(bool paused) override;
    bool framesPaused() const override;
    void setFrameRate(const FrameRate& rate) override;

    void repeat(double interval, double tolerance, std::function<void()> callback) override;
    void after(double delay, std::function<void()> task) override;
    double mediaTime() const override;

    std::unique_ptr<Sound> sound(const QString& name) override;
    bool reduceMotion() const override;
    std::optional<QImage> loadImage(const QString& path) override;

    RailWindow& window() { return *m_window; }
    FrameClock& frameClock() { return *m_frames; }

private:
    void watchScreen(QScreen* screen);
    void screensChanged();

    std::unique_ptr<RailWindow> m_window;
    FrameClock* m_frames;
    QTimer m_repeat;
    std::function<void()> m_repeatCallback;
    std::function<void()> m_screensCallback;
    QElapsedTimer m_clock;
    std::unique_ptr<XSettings> m_xsettings;
    std::unique_ptr<PointerProbe> m_pointer;
};

} // namespace pendra
