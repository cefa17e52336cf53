#pragma once

#include "Host.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pendra {

// A host driven by hand: the test sets the screens, the pointer and the
// clocks, runs frames, polls and delayed tasks itself, and reads back what
// the rail asked for.
class FakeHost : public Host {
public:
    struct SoundLog {
        int stops = 0;
        int plays = 0;
    };

    // Panel.
    void setContent(PanelContent* content) override { m_content = content; }
    void setPanelFrame(const QRectF& frame) override
    {
        m_panelFrame = frame;
        ++panelFrameSets;
    }
    QRectF panelFrame() const override { return m_panelFrame; }
    void orderIn() override { m_visible = true; }
    void orderOut() override { m_visible = false; }
    bool isVisible() const override { return m_visible; }
    void setInputRegion(const std::vector<Disc>& discs) override
    {
        region = discs;
        ++regionSets;
    }
    bool ignoresMouse() const override { return m_ignoresMouse; }
    void setIgnoresMouse(bool ignore) override
    {
        m_ignoresMouse = ignore;
        ++ignoresMouseSets;
    }
    void redrawAll() override { ++fullRedraws; }
    void redrawRect(const QRectF& rect) override { redrawRects.push_back(rect); }
    double backingScale() const override { return scale; }

    // Screens and pointer.
    std::optional<Screen> primaryScreen() const override { return screen; }
    void onScreensChanged(std::function<void()> callback) override { m_screensChanged = std::move(callback); }
    QPointF pointer() const override { return pointerAt; }
    bool primaryButtonDown() const override { return buttonDown; }
    void setCursor(CursorShape shape) override { cursors.push_back(shape); }

    // Clocks.
    void onFrame(std::function<void(double)> callback) override { m_frame = std::move(callback); }
    void setFramesPaused(bool paused) override { m_paused = paused; }
    bool framesPaused() const override { return m_paused; }
    void setFrameRate(const FrameRate& rate) override { rates.push_back(rate); }
    void repeat(double interval, double tolerance, std::function<void()> callback) override
    {
        repeatInterval = interval;
        repeatTolerance = tolerance;
        m_repeat = std::move(callback);
    }
    void after(double delay, std::function<void()> task) override { delayed.push_back({delay, std::move(task)}); }
    double mediaTime() const override { return media; }

    std::unique_ptr<Sound> sound(const QString& name) override;
    bool reduceMotion() const override { return reducedMotion; }
    std::optional<QImage> loadImage(const QString& path) override;
    bool clicksPassOnlyAtRest() const override { return restOnly; }

    // Driving.
    // Delivers one display frame dt seconds after the last; false when paused.
    bool runFrame(double dt);
    // Runs frames of dt until the clock pauses or count frames have run; answers how many ran.
    int runFrames(int count, double dt = 1.0 / 60.0);
    // Moves the pointer (global coordinates), advances the media clock and
    // delivers what a window system would: a motion while the pointer is over
    // the input region (or anywhere while the panel takes the whole mouse), a
    // leave when it comes off it, nothing elsewhere.
    void moveTo(QPointF global, double dt = 1.0 / 30.0);
    // Whether a panel point lies in the input region last set.
    bool inRegion(QPointF local) const;
    // Moves the pointer, advances the media clock and runs the pointer poll
    // when it runs; false when it does not.
    bool pollAt(QPointF global, double dt = 1.0 / 30.0);
    void changeScreen(std::optional<Screen> to);
    void runDelayed();
    PanelContent* content() const { return m_content; }
    bool hasFrameCallback() const { return bool(m_frame); }
    bool hasRepeat() const { return bool(m_repeat); }
    // Whether the window system sees the pointer over the panel.
    bool pointerInside() const { return m_inside; }

    std::optional<Screen> screen = Screen{QRectF(0, 0, 1440, 900), QRectF(0, 25, 1440, 875)};
    QPointF pointerAt{-500, -500};
    double timestamp = 100.0;
    double media = 50.0;
    double scale = 1.0;
    bool reducedMotion = false;
    bool hasSound = true;
    bool buttonDown = true;
    bool restOnly = false;
    std::vector<Disc> region;
    int regionSets = 0;

    int panelFrameSets = 0;
    int ignoresMouseSets = 0;
    int fullRedraws = 0;
    int framesDelivered = 0;
    std::vector<QRectF> redrawRects;
    std::vector<CursorShape> cursors;
    std::vector<FrameRate> rates;
    double repeatInterval = 0.0;
    double repeatTolerance = 0.0;
    std::vector<std::pair<double, std::function<void()>>> delayed;
    QStringList soundsAsked;
    // Pictures are loaded from several threads at once, as the real host allows.
    QStringList imagesLoaded;
    QMutex imagesLock;
    // Pictures served by path before any file is read.
    QHash<QString, QImage> images;
    std::shared_ptr<SoundLog> soundLog = std::make_shared<SoundLog>();

private:
    PanelContent* m_content = nullptr;
    QRectF m_panelFrame;
    bool m_visible = false;
    bool m_ignoresMouse = false;
    bool m_paused = true;
    bool m_inside = false;
    std::function<void()> m_screensChanged;
    std::function<void(double)> m_frame;
    std::function<void()> m_repeat;
};

} // namespace pendra
