#include "QtHost.h"

#include "CanberraSound.h"
#include "FrameClock.h"
#include "PointerProbe.h"
#include "RailWindow.h"
#include "X11Panel.h"
#include "XSettings.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cmath>

namespace pendra {

QtHost::QtHost() : m_window(std::make_unique<RailWindow>()), m_frames(new FrameClock(this))
{
    m_clock.start();
    m_repeat.setTimerType(Qt::CoarseTimer);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        if (m_repeatCallback)
            m_repeatCallback();
    });

    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen* screen) {
        watchScreen(screen);
        screensChanged();
    });
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        screensChanged();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this](QScreen*) { screensChanged(); });
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);

    if (xcb_connection_t* connection = X11Panel::connection())
        m_xsettings = std::make_unique<XSettings>(connection, 0);
    m_pointer = std::make_unique<PointerProbe>();
}

QtHost::~QtHost() = default;

void QtHost::watchScreen(QScreen* screen)
{
    if (!screen)
        return;
    connect(screen, &QScreen::geometryChanged, this, &QtHost::screensChanged, Qt::UniqueConnection);
    connect(screen, &QScreen::availableGeometryChanged, this, &QtHost::screensChanged, Qt::UniqueConnection);
}

void QtHost::screensChanged()
{
    if (m_screensCallback)
        m_screensCallback();
}

void QtHost::setContent(PanelContent* content)
{
    m_window->setContent(content);
}

void QtHost::setPanelFrame(const QRectF& frame)
{
    m_window->setPanelGeometry(frame.toAlignedRect());
}

QRectF QtHost::panelFrame() const
{
    return QRectF(m_window->panelGeometry());
}

void QtHost::orderIn()
{
    m_window->orderIn();
}

void QtHost::orderOut()
{
    m_window->orderOut();
}

bool QtHost::isVisible() const
{
    return m_window->isVisible();
}

bool QtHost::ignoresMouse() const
{
    return m_window->ignoresMouse();
}

void QtHost::setIgnoresMouse(bool ignore)
{
    m_window->setIgnoresMouse(ignore);
}

void QtHost::redrawAll()
{
    m_window->update();
}

void QtHost::redrawRect(const QRectF& rect)
{
    if (!rect.isEmpty())
        m_window->update(rect.toAlignedRect());
}

double QtHost::backingScale() const
{
    if (QWindow* window = m_window->windowHandle())
        return window->devicePixelRatio();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->devicePixelRatio();
    return 1.0;
}

std::optional<Screen> QtHost::primaryScreen() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->geometry().isEmpty())
        return std::nullopt;
    return Screen{QRectF(screen->geometry()), QRectF(screen->availableGeometry())};
}

void QtHost::onScreensChanged(std::function<void()> callback)
{
    m_screensCallback = std::move(callback);
}

QPointF QtHost::pointer() const
{
    // Root pixels are Qt's points only without scaling; otherwise Qt converts.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->devicePixelRatio() == 1.0) {
        if (const std::optional<QPoint> at = m_pointer->position())
            return QPointF(*at);
    }
    return QPointF(QCursor::pos());
}

void QtHost::setCursor(CursorShape shape)
{
    switch (shape) {
    case CursorShape::arrow:
        m_window->setCursor(Qt::ArrowCursor);
        break;
    case CursorShape::openHand:
        m_window->setCursor(Qt::OpenHandCursor);
        break;
    case CursorShape::closedHand:
        m_window->setCursor(Qt::ClosedHandCursor);
        break;
    case CursorShape::resizeLeftRight:
        m_window->setCursor(Qt::SizeHorCursor);
        break;
    }
}

void QtHost::onFrame(std::function<void(double)> callback)
{
    m_frames->setCallback(std::move(callback));
}

void QtHost::setFramesPaused(bool paused)
{
    m_frames->setPaused(paused);
}

bool QtHost::framesPaused() const
{
    return m_frames->isPaused();
}

void QtHost::setFrameRate(const FrameRate& rate)
{
    m_frames->setRate(rate.preferred);
}

void QtHost::repeat(double interval, double tolerance, std::function<void()> callback)
{
    // Qt's coarse timers allow about 5 % of slack, which is what a tolerance
    // of a few milliseconds on a 30 Hz poll asks for.
    Q_UNUSED(tolerance);
    m_repeatCallback = std::move(callback);
    if (!m_repeatCallback) {
        m_repeat.stop();
        return;
    }
    m_repeat.start(std::max(1, int(std::lround(interval * 1000.0))));
}

void QtHost::after(double delay, std::function<void()> task)
{
    QTimer::singleShot(std::max(0, int(std::lround(delay * 1000.0))), this, std::move(task));
}

double QtHost::mediaTime() const
{
    return double(m_clock.nsecsElapsed()) * 1e-9;
}

std::unique_ptr<Sound> QtHost::sound(const QString& name)
{
    return CanberraSound::create(name);
}

bool QtHost::reduceMotion() const
{
    if (!m_xsettings)
        return false;
    const std::optional<int> animations = m_xsettings->integer(QStringLiteral("Gtk/EnableAnimations"));
    return animations && *animations == 0;
}

std::optional<QImage> QtHost::loadImage(const QString& path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace pendra
