#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

namespace pendra {

// Calls back once per frame at the preferred rate until paused. Frames are
// paced against deadlines on a monotonic clock, so the rate does not drift
// with the time each frame takes.
class FrameClock : public QObject {
    Q_OBJECT

public:
    explicit FrameClock(QObject* parent = nullptr);

    void setCallback(std::function<void(double timestamp)> callback) { m_callback = std::move(callback); }
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    void setRate(double framesPerSecond);
    double rate() const { return m_rate; }
    // Seconds since the clock was made.
    double now() const { return double(m_clock.nsecsElapsed()) * 1e-9; }

private:
    void fire();
    void scheduleNext();

    std::function<void(double)> m_callback;
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_rate = 60.0;
    double m_deadline = 0.0;
    bool m_paused = true;
};

} // namespace pendra
