#include "FrameClock.h"

#include <algorithm>
#include <cmath>

namespace pendra {

FrameClock::FrameClock(QObject* parent) : QObject(parent)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FrameClock::fire);
}

void FrameClock::setPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (paused) {
        m_timer.stop();
        return;
    }
    m_deadline = now();
    scheduleNext();
}

void FrameClock::setRate(double framesPerSecond)
{
    m_rate = std::clamp(framesPerSecond, 1.0, 240.0);
}

void FrameClock::fire()
{
    if (m_paused)
        return;
    const double t = now();
    if (m_callback)
        m_callback(t);
    // The callback may have paused the clock.
    if (!m_paused)
        scheduleNext();
}

void FrameClock::scheduleNext()
{
    const double t = now();
    const double period = 1.0 / m_rate;
    m_deadline += period;
    // After a stall, start afresh rather than firing a burst of late frames.
    if (m_deadline < t)
        m_deadline = t + period;
    m_timer.start(int(std::lround((m_deadline - t) * 1000.0)));
}

} // namespace pendra
