#pragma once

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pendra {

class Surface;

enum class CursorShape { arrow, openHand, closedHand, resizeLeftRight };

// A requested range of display rates, frames per second.
struct FrameRate {
    double minimum = 30;
    double maximum = 120;
    double preferred = 60;

    static constexpr FrameRate normal() { return {30, 120, 60}; }
    static constexpr FrameRate slow() { return {24, 30, 30}; }

    friend bool operator==(const FrameRate&, const FrameRate&) = default;
};

// A screen in global coordinates (points, y downward). available excludes the
// desktop's panels, so its top is the bottom edge of a top panel.
struct Screen {
    QRectF frame;
    QRectF available;

    friend bool operator==(const Screen&, const Screen&) = default;
};

// A round part of the panel that takes the mouse, in panel points.
struct Disc {
    QPointF centre;
    double radius = 0.0;

    friend bool operator==(const Disc&, const Disc&) = default;
};

// What fills the panel: it paints the dirty area and takes the mouse. Points
// are panel coordinates, from its top-left corner, y downward.
class PanelContent {
public:
    virtual ~PanelContent() = default;
    virtual void paint(Surface& surface, const QRectF& dirty) = 0;
    // Whether paint tells the surface everywhere it may draw (noteDrawn), so
    // that a host may clear only where the picture is not transparent.
    virtual bool notesDrawnAreas() const { return false; }
    virtual void mouseDown(QPointF at) = 0;
    virtual void mouseDragged(QPointF to) = 0;
    // Also sent when the window system ends a press without a release, for
    // example when another program grabs the pointer.
    virtual void mouseUp() = 0;
    // The pointer came into the panel's input region or moved inside it.
    virtual void pointerMoved(QPointF at) = 0;
    // The pointer left the input region.
    virtual void pointerLeft() = 0;
};

// A short sound that can be stopped and started again. Neither call blocks.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void stop() = 0;
    virtual void play() = 0;
};

// The window and event services the rail needs: one transparent panel above
// other windows, the screens, the pointer, a pausable frame clock, timers,
// a sound, the reduce-motion setting and image loading. Every callback
// arrives on the main thread.
class Host {
public:
    virtual ~Host() = default;

    // The panel. Its frame is in global coordinates.
    virtual void setContent(PanelContent* content) = 0;
    virtual void setPanelFrame(const QRectF& frame) = 0;
    virtual QRectF panelFrame() const = 0;
    // Shows the panel without activating the application or taking focus.
    virtual void orderIn() = 0;
    virtual void orderOut() = 0;
    virtual bool isVisible() const = 0;
    // The parts of the panel that take the mouse; everywhere else the pointer
    // passes through to the windows below.
    virtual void setInputRegion(const std::vector<Disc>& discs) = 0;
    // While false the whole panel takes the mouse, not just its input region:
    // a drag goes on wherever the pointer goes.
    virtual bool ignoresMouse() const = 0;
    virtual void setIgnoresMouse(bool ignore) = 0;
    virtual void redrawAll() = 0;
    virtual void redrawRect(const QRectF& rect) = 0;
    // Device pixels per point where the panel is shown.
    virtual double backingScale() const = 0;

    // The screen the panel belongs on; none when there is no screen.
    virtual std::optional<Screen> primaryScreen() const = 0;
    virtual void onScreensChanged(std::function<void()> callback) = 0;

    // The pointer in global coordinates, as last seen over the panel.
    virtual QPointF pointer() const = 0;
    // Whether the primary button is still held, as far as the window system
    // says; a press whose release went elsewhere ends on false.
    virtual bool primaryButtonDown() const = 0;
    virtual void setCursor(CursorShape shape) = 0;

    // The frame clock: calls back once per display frame with a timestamp in
    // seconds, until paused. It starts paused.
    virtual void onFrame(std::function<void(double timestamp)> callback) = 0;
    virtual void setFramesPaused(bool paused) = 0;
    virtual bool framesPaused() const = 0;
    virtual void setFrameRate(const FrameRate& rate) = 0;

    // A repeating timer (one per host; an empty callback stops it), a task run
    // once after a delay, and a monotonic clock in seconds.
    virtual void repeat(double interval, double tolerance, std::function<void()> callback) = 0;
    virtual void after(double delay, std::function<void()> task) = 0;
    virtual double mediaTime() const = 0;

    // A named sound of the desktop's theme; none when it has no such sound.
    virtual std::unique_ptr<Sound> sound(const QString& name) = 0;
    virtual bool reduceMotion() const = 0;
    // May be called from several threads at once.
    virtual std::optional<QImage> loadImage(const QString& path) = 0;

    // True where the window system lets the pointer through the rail only
    // while nothing on it moves (GNOME's XWayland): the rail then keeps its
    // charms still unless touched, so that it is at rest nearly always.
    virtual bool clicksPassOnlyAtRest() const { return false; }
};

} // namespace pendra
