#pragma once

#include "CharmPictures.h"
#include "Hanging.h"
#include "Host.h"
#include "RailGeometry.h"
#include "RailHook.h"

#include <QHash>
#include <QImage>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>
#include <random>
#include <vector>

namespace pendra {

class AppModel;
class RailView;

// Owns the overlay: turns the settings into hangings, places the panel below
// the top panel of the first screen, runs the frame loop while something
// moves and handles the pointer. Everything runs on the main thread.
class RailController : public RailHook {
public:
    enum class Part { charm, pin };

    struct Over {
        std::shared_ptr<Hanging> item;
        Part part = Part::charm;
    };

    struct Holding {
        std::shared_ptr<Hanging> item;
        Part part = Part::charm;
        QPointF grip;
        QPointF from;
        bool moved = false;
    };

    static constexpr double step = 1.0 / 120.0;
    static constexpr double maxInterval = 0.05;
    static constexpr int pauseAfterQuietFrames = 91;
    static constexpr double pinDepth = 3.0;
    // Pointer readings closer together than this (one 60 Hz frame) give no speed.
    static constexpr double minimumCursorInterval = 1.0 / 60.0;
    static inline const QString clickSoundName = QStringLiteral("audio-volume-change");

    RailController(AppModel& model, Host& host);
    ~RailController() override;
    RailController(const RailController&) = delete;
    RailController& operator=(const RailController&) = delete;

    void show(bool visible);
    void layOut();
    void settingsChanged(const Preferences& old) override;
    void redraw(bool all);
    QPointF centre(const Hanging& hanging) const;
    void stir();
    void swingAll(double strength) override;

    void mouseDown(QPointF at);
    void mouseDragged(QPointF to);
    void mouseUp();
    // The window system's word that the pointer is over the input region, or
    // has left it. The pointer poll runs only between the two, or while
    // something is held.
    void pointerMoved(QPointF at);
    void pointerLeft();

    // The frame clock's callback and the pointer poll; public so that a host
    // driven by hand can run them.
    void frame(double timestamp);
    void readCursor();
    bool watching() const { return m_watching; }
    // The discs last given to the host as the panel's input region.
    const std::vector<Disc>& inputDiscs() const { return m_inputDiscs; }

    const std::vector<std::shared_ptr<Hanging>>& items() const { return m_items; }
    const std::optional<Over>& over() const { return m_over; }
    const std::optional<Holding>& holding() const { return m_holding; }
    AppModel& model() const { return m_model; }
    Host& host() const { return m_host; }
    RailView& view() const { return *m_view; }
    double now() const { return m_now; }
    double carry() const { return m_carry; }
    int quietFrames() const { return m_quietFrames; }
    bool slowRate() const { return m_slowRate; }
    double nextShimmer() const { return m_nextShimmer; }
    double lastStir() const { return m_lastStir; }
    QRectF lastDirty() const { return m_lastDirty; }
    QPointF cursorSpeed() const { return m_cursorSpeed; }

    // For a drawing made once: when its sprites are rendered, the pictures
    // they were made from are no longer needed.
    void dropPictures();

    // Seeds the draws for shimmers and swings, so a run can be repeated.
    void seed(unsigned value) { m_random.seed(value); }

private:
    void rebuild();
    void screensChanged();
    void readCursorAt(QPointF p);
    void poll();
    void watch(bool on);
    void endHold();
    void refreshInputRegion(bool force);
    void updateShimmer();
    std::optional<Over> hit(QPointF point) const;
    void tick();
    double slip() const;
    double viewWidth() const;
    double uniform(double low, double high);
    CharmPictures::Wanted pictureWanted(const Charm& charm) const;
    std::optional<QImage> pictureFor(const Charm& charm);
    void refreshPictures();

    AppModel& m_model;
    Host& m_host;
    std::unique_ptr<RailView> m_view;
    std::vector<std::shared_ptr<Hanging>> m_items;
    CharmPictures m_pictures;
    bool m_linked = false;
    double m_lastFrame = 0.0;
    double m_carry = 0.0;
    int m_quietFrames = 0;
    double m_now = 0.0;
    QRectF m_lastDirty;
    double m_lastStir = -100.0;
    bool m_slowRate = false;
    double m_nextShimmer = 4.0;
    QPointF m_cursor;
    double m_cursorAt = 0.0;
    QPointF m_cursorSpeed;
    std::optional<Over> m_over;
    std::optional<Holding> m_holding;
    QHash<QString, double> m_flickedAt;
    bool m_watching = false;
    bool m_pointerInside = false;
    std::vector<RailGeometry::Target> m_sentTargets;
    std::vector<Disc> m_inputDiscs;
    double m_lastClick = 0.0;
    bool m_clickLooked = false;
    std::unique_ptr<Sound> m_click;
    std::mt19937 m_random{std::random_device{}()};
    // Delayed tasks hold this weakly, so a task that outlives the controller
    // does nothing.
    std::shared_ptr<RailController*> m_alive;
};

} // namespace pendra
