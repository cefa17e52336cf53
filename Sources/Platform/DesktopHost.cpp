#include "DesktopHost.h"

#include "CanberraSound.h"
#include "ImageFile.h"
#include "Surface.h"

#include <QPainter>

#include <cmath>

namespace pendra {

DesktopHost::DesktopHost()
{
    m_clock.start();
    m_repeat.setTimerType(Qt::CoarseTimer);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        if (m_repeatCallback)
            m_repeatCallback();
    });
}

int DesktopHost::milliseconds(double seconds)
{
    return std::max(0, int(std::lround(seconds * 1000.0)));
}

void DesktopHost::onScreensChanged(std::function<void()> callback)
{
    m_screensCallback = std::move(callback);
}

void DesktopHost::screensChanged()
{
    if (m_screensCallback)
        m_screensCallback();
}

void DesktopHost::repeat(double interval, double tolerance, std::function<void()> callback)
{
    // Qt's coarse timers allow about 5 % of slack, which is what a tolerance
    // of a few milliseconds on a 30 Hz poll asks for.
    Q_UNUSED(tolerance);
    m_repeatCallback = std::move(callback);
    if (!m_repeatCallback) {
        m_repeat.stop();
        return;
    }
    m_repeat.start(std::max(1, milliseconds(interval)));
}

void DesktopHost::after(double delay, std::function<void()> task)
{
    QTimer::singleShot(milliseconds(delay), this, std::move(task));
}

double DesktopHost::mediaTime() const
{
    return double(m_clock.nsecsElapsed()) * 1e-9;
}

std::unique_ptr<Sound> DesktopHost::sound(const QString& name)
{
    return CanberraSound::create(name);
}

std::optional<QImage> DesktopHost::loadImage(const QString& path)
{
    return ImageFile::load(path);
}

QRectF DesktopHost::paint(QImage& image, PanelContent* content, const QRect& pixels, double density, InkedArea& inked)
{
    image.setDevicePixelRatio(density);
    const QRectF dirty(pixels.x() / density, pixels.y() / density, pixels.width() / density,
                       pixels.height() / density);
    const QRegion& before = inked.of(image.size());
    // Painting runs on this thread. Nearly everything a frame draws goes
    // straight into the bitmap, and handing each frame to a worker thread
    // cost more in waking and waiting than the few painter calls it spared.
    QPainter painter(&image);
    painter.setClipRect(dirty);
    Surface surface(painter, density);
    if (content && content->notesDrawnAreas()) {
        surface.setInked(&before);
        content->paint(surface, dirty);
        inked.painted(pixels, surface.drawn());
    } else if (content) {
        content->paint(surface, dirty);
        inked.painted(pixels, QRegion(pixels));
    } else {
        inked.painted(pixels, QRegion());
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(dirty, Qt::transparent);
    }
    return dirty;
}

} // namespace pendra
