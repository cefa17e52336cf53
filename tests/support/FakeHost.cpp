#include "FakeHost.h"

#include <cmath>

namespace pendra {

namespace {

class FakeSound : public Sound {
public:
    explicit FakeSound(std::shared_ptr<FakeHost::SoundLog> log) : m_log(std::move(log)) {}
    void stop() override { ++m_log->stops; }
    void play() override { ++m_log->plays; }

private:
    std::shared_ptr<FakeHost::SoundLog> m_log;
};

} // namespace

std::unique_ptr<Sound> FakeHost::sound(const QString& name)
{
    soundsAsked << name;
    if (!hasSound)
        return nullptr;
    return std::make_unique<FakeSound>(soundLog);
}

std::optional<QImage> FakeHost::loadImage(const QString& path)
{
    {
        const QMutexLocker lock(&imagesLock);
        imagesLoaded << path;
        if (auto served = images.constFind(path); served != images.constEnd())
            return *served;
    }
    QImage image(path);
    if (image.isNull())
        return std::nullopt;
    return image;
}

bool FakeHost::runFrame(double dt)
{
    timestamp += dt;
    media += dt;
    if (m_paused || !m_frame)
        return false;
    ++framesDelivered;
    m_frame(timestamp);
    return true;
}

int FakeHost::runFrames(int count, double dt)
{
    int ran = 0;
    while (ran < count && runFrame(dt))
        ++ran;
    return ran;
}

bool FakeHost::inRegion(QPointF local) const
{
    for (const Disc& disc : region) {
        const QPointF d = local - disc.centre;
        if (std::hypot(d.x(), d.y()) < disc.radius)
            return true;
    }
    return false;
}

void FakeHost::moveTo(QPointF global, double dt)
{
    pointerAt = global;
    media += dt;
    if (!m_visible || !m_content)
        return;
    const QPointF local = global - m_panelFrame.topLeft();
    const bool inside = m_panelFrame.contains(global) && (!m_ignoresMouse || inRegion(local));
    if (inside)
        m_content->pointerMoved(local);
    else if (m_inside)
        m_content->pointerLeft();
    m_inside = inside;
}

bool FakeHost::pollAt(QPointF global, double dt)
{
    pointerAt = global;
    media += dt;
    if (!m_repeat)
        return false;
    m_repeat();
    return true;
}

void FakeHost::changeScreen(std::optional<Screen> to)
{
    screen = to;
    if (m_screensChanged)
        m_screensChanged();
}

void FakeHost::runDelayed()
{
    auto tasks = std::move(delayed);
    delayed.clear();
    for (auto& [delay, task] : tasks)
        task();
}

} // namespace pendra
