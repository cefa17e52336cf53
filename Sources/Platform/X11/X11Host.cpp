#include "X11Host.h"

#include "FrameClock.h"
#include "X11CompositorWatch.h"
#include "X11Connection.h"
#include "X11Cursors.h"
#include "X11DiscWindows.h"
#include "X11InputWindow.h"
#include "X11Panel.h"
#include "X11StackKeeper.h"
#include "X11WorkArea.h"
#include "XSettings.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <cmath>

namespace pendra {

namespace {

// Qt's own connection, for what Qt already watches (the desktop's settings);
// none unless Qt runs on X11.
xcb_connection_t* qtConnection()
{
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

std::unique_ptr<X11Host> X11Host::create(bool xwayland)
{
    std::unique_ptr<X11Connection> x = X11Connection::open(qgetenv("DISPLAY"));
    if (!x)
        return nullptr;
    xwayland = xwayland || x->xwayland();
    return std::unique_ptr<X11Host>(new X11Host(std::move(x), xwayland));
}

X11Host::X11Host(std::unique_ptr<X11Connection> x, bool xwayland)
    : m_x(std::move(x)), m_frames(new FrameClock(this)), m_xwayland(xwayland)
{
    m_cursors = std::make_unique<X11Cursors>(*m_x);
    m_panel = std::make_unique<X11Panel>(*m_x, xwayland);
    // XWayland's compositor may take an input shape only when a window maps
    // (GNOME's does), so there each disc gets a window of its own.
    if (xwayland)
        m_input = std::make_unique<X11DiscWindows>(*m_x, *m_cursors);
    else
        m_input = std::make_unique<X11InputWindow>(*m_x, *m_cursors);
    m_keeper = std::make_unique<X11StackKeeper>(*m_x, std::vector<xcb_window_t>{m_panel->window()});
    keepOurs();
    m_compositor = std::make_unique<X11CompositorWatch>(*m_x, [this](bool present) { compositorChanged(present); });
    m_panel->setShaped(!m_compositor->present());
    m_workArea = std::make_unique<X11WorkArea>(*m_x, [this] { screensMoved(); });
    m_x->flush();
    if (xcb_connection_t* qt = qtConnection())
        m_xsettings = std::make_unique<XSettings>(qt, 0);
    // Without the server there is no rail to show; end as a closed display would.
    connect(m_x.get(), &X11Connection::lost, this, [] { QCoreApplication::exit(1); });

    m_panel->onWindowChanged([this] { keepOurs(); });
    m_settle.setSingleShot(true);
    m_settle.setInterval(300);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        m_panel->settle();
        m_input->settle();
    });
    m_paintSoon.setSingleShot(true);
    m_paintSoon.setInterval(0);
    connect(&m_paintSoon, &QTimer::timeout, this, &X11Host::paintPanel);

    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen* screen) {
        watchScreen(screen);
        screensMoved();
    });
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watchScreen(screen);
        screensMoved();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this](QScreen*) { screensMoved(); });
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        m_density = screen->devicePixelRatio();
}

X11Host::~X11Host()
{
    m_input->setContent(nullptr);
}

void X11Host::watchScreen(QScreen* screen)
{
    if (!screen)
        return;
    connect(screen, &QScreen::geometryChanged, this, &X11Host::screensMoved, Qt::UniqueConnection);
    connect(screen, &QScreen::availableGeometryChanged, this, &X11Host::screensMoved, Qt::UniqueConnection);
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, &X11Host::screensMoved, Qt::UniqueConnection);
}

void X11Host::screensMoved()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        if (screen->devicePixelRatio() != m_density) {
            m_density = screen->devicePixelRatio();
            placeWindows();
        }
    }
    screensChanged();
}

void X11Host::compositorChanged(bool present)
{
    m_panel->setShaped(!present);
    redrawAll();
}

bool X11Host::shaped() const
{
    return m_panel->shaped();
}

void X11Host::keepOurs()
{
    std::vector<xcb_window_t> ours{m_panel->window()};
    for (xcb_window_t window : m_input->windows())
        ours.push_back(window);
    m_keeper->setOurs(std::move(ours));
}

void X11Host::setContent(PanelContent* content)
{
    m_content = content;
    m_input->setContent(content);
}

QRect X11Host::pixelFrame() const
{
    // Qt keeps a screen's top-left corner in device pixels and scales from it.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPointF origin = screen ? QPointF(screen->geometry().topLeft()) : QPointF();
    const QPointF topLeft = origin + (m_frame.topLeft() - origin) * m_density;
    return QRect(int(std::lround(topLeft.x())), int(std::lround(topLeft.y())),
                 int(std::ceil(m_frame.width() * m_density)), int(std::ceil(m_frame.height() * m_density)));
}

void X11Host::setPanelFrame(const QRectF& frame)
{
    if (frame == m_frame)
        return;
    m_frame = frame;
    placeWindows();
}

void X11Host::placeWindows()
{
    const QRect pixels = pixelFrame();
    if (pixels.isEmpty())
        return;
    m_panel->setGeometry(pixels);
    m_input->setPlacement(pixels, m_density);
    applyInputRegion();
    redrawAll();
}

QRectF X11Host::panelFrame() const
{
    return m_frame;
}

void X11Host::orderIn()
{
    if (m_panel->mapped())
        return;
    m_panel->map();
    m_input->map();
    m_keeper->setActive(true);
    redrawAll();
}

void X11Host::orderOut()
{
    m_keeper->setActive(false);
    m_input->unmap();
    m_panel->unmap();
}

bool X11Host::isVisible() const
{
    return m_panel->mapped();
}

void X11Host::setInputRegion(const std::vector<Disc>& discs)
{
    m_discs = discs;
    applyInputRegion();
}

void X11Host::applyInputRegion()
{
    m_input->setDiscs(m_discs);
    keepOurs();
}

bool X11Host::ignoresMouse() const
{
    return m_ignoresMouse;
}

void X11Host::setIgnoresMouse(bool ignore)
{
    m_ignoresMouse = ignore;
    m_input->setWhole(!ignore);
}

void X11Host::redrawAll()
{
    redrawRect(QRectF(QPointF(), m_frame.size()));
}

void X11Host::redrawRect(const QRectF& rect)
{
    const QRectF area = rect.intersected(QRectF(QPointF(), m_frame.size()));
    if (area.isEmpty())
        return;
    m_dirty = m_dirty.united(area);
    if (!m_paintSoon.isActive())
        m_paintSoon.start();
}

void X11Host::paintPanel()
{
    if (m_dirty.isEmpty() || !m_panel->mapped())
        return;
    const QRect pixels = QRectF(m_dirty.topLeft() * m_density, m_dirty.size() * m_density).toAlignedRect();
    m_dirty = QRectF();
    X11Buffer& buffer = m_panel->buffer();
    buffer.settle();
    QImage& image = buffer.image();
    const QRect area = pixels.intersected(image.rect());
    if (area.isEmpty())
        return;
    paint(image, m_content, area, m_density, m_inked);
    m_panel->present(area);
    if (m_xwayland)
        m_settle.start();
}

double X11Host::backingScale() const
{
    return m_density;
}

std::optional<Screen> X11Host::primaryScreen() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || screen->geometry().isEmpty())
        return std::nullopt;
    const QRectF frame(screen->geometry());
    QRectF available(screen->availableGeometry());
    // Docks' own word on the band they keep, where the window manager gives none.
    const double reserved = frame.top() + m_workArea->reservedTop() / m_density;
    if (reserved > available.top() && reserved < available.bottom())
        available.setTop(reserved);
    return Screen{frame, available};
}

QPointF X11Host::pointer() const
{
    const QPointF root = QPointF(m_input->pointer()) + QPointF(0.5, 0.5);
    return m_frame.topLeft() + (root - QPointF(pixelFrame().topLeft())) / m_density;
}

bool X11Host::primaryButtonDown() const
{
    return m_input->buttonDown();
}

void X11Host::setCursor(CursorShape shape)
{
    m_input->setCursor(shape);
}

void X11Host::onFrame(std::function<void(double)> callback)
{
    m_frames->setCallback(std::move(callback));
}

void X11Host::setFramesPaused(bool paused)
{
    m_frames->setPaused(paused);
}

bool X11Host::framesPaused() const
{
    return m_frames->isPaused();
}

void X11Host::setFrameRate(const FrameRate& rate)
{
    m_frames->setRate(rate.preferred);
}

bool X11Host::reduceMotion() const
{
    if (!m_xsettings)
        return false;
    const std::optional<int> animations = m_xsettings->integer(QStringLiteral("Gtk/EnableAnimations"));
    return animations && *animations == 0;
}

} // namespace pendra
