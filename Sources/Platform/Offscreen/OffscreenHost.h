#pragma once

#include "Host.h"

namespace pendra {

// A host with no window system behind it, for rendering without a display:
// the panel is a rectangle that is never shown, there is at most a pretend
// screen and no clock ever fires.
class OffscreenHost : public Host {
public:
    void setContent(PanelContent* content) override { m_content = content; }
    void setPanelFrame(const QRectF& frame) override { m_frame = frame; }
    QRectF panelFrame() const override { return m_frame; }
    void orderIn() override {}
    void orderOut() override {}
    bool isVisible() const override { return false; }
    void setInputRegion(const std::vector<Disc>&) override {}
    bool ignoresMouse() const override { return m_ignoresMouse; }
    void setIgnoresMouse(bool ignore) override { m_ignoresMouse = ignore; }
    void redrawAll() override {}
    void redrawRect(const QRectF&) override {}
    double backingScale() const override { return 2.0; }

    std::optional<Screen> primaryScreen() const override { return m_screen; }
    // A pretend screen, so that a rail made for it lays its cords out there.
    void setScreen(std::optional<Screen> screen) { m_screen = std::move(screen); }
    void onScreensChanged(std::function<void()>) override {}

    QPointF pointer() const override { return {-1e6, -1e6}; }
    bool primaryButtonDown() const override { return false; }
    void setCursor(CursorShape) override {}

    void onFrame(std::function<void(double)>) override {}
    void setFramesPaused(bool paused) override { m_paused = paused; }
    bool framesPaused() const override { return m_paused; }
    void setFrameRate(const FrameRate&) override {}

    void repeat(double, double, std::function<void()>) override {}
    void after(double, std::function<void()>) override {}
    double mediaTime() const override { return 0.0; }

    std::unique_ptr<Sound> sound(const QString&) override { return nullptr; }
    bool reduceMotion() const override { return false; }
    std::optional<QImage> loadImage(const QString& path) override;

    PanelContent* content() const { return m_content; }

private:
    PanelContent* m_content = nullptr;
    QRectF m_frame;
    std::optional<Screen> m_screen;
    bool m_ignoresMouse = true;
    bool m_paused = true;
};

} // namespace pendra
