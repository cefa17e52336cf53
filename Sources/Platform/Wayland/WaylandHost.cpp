#include "WaylandHost.h"

#include "DiscRegion.h"
#include "WaylandBuffer.h"
#include "WaylandConnection.h"
#include "WaylandOutput.h"
#include "WaylandPanel.h"
#include "WaylandPointer.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace pendra {

std::unique_ptr<WaylandHost> WaylandHost::create(const QByteArray& display)
{
    std::unique_ptr<WaylandConnection> connection = WaylandConnection::open(display);
    if (!connection || !connection->layerShell() || !connection->compositor() || !connection->shm())
        return nullptr;
    return std::unique_ptr<WaylandHost>(new WaylandHost(std::move(connection)));
}

WaylandHost::WaylandHost(std::unique_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
    , m_panel(std::make_unique<WaylandPanel>(*m_connection))
    , m_pointer(std::make_unique<WaylandPointer>(*m_connection))
{
    m_connection->attach();
    connect(m_connection.get(), &WaylandConnection::lost, this, [] {
        std::fputs("pendra: the Wayland compositor went away\n", stderr);
        QCoreApplication::exit(1);
    });
    connect(m_connection.get(), &WaylandConnection::outputsChanged, this, &WaylandHost::outputsChanged);
    connect(m_panel.get(), &WaylandPanel::reconfigured, this, &WaylandHost::configured);
    connect(m_panel.get(), &WaylandPanel::frameDone, this, &WaylandHost::tick);
    // The compositor took the surface away; it comes back with an output.
    connect(m_panel.get(), &WaylandPanel::closed, this, [this] { m_pointer->setSurface(nullptr, 1.0); });

    m_paintSoon.setSingleShot(true);
    m_paintSoon.setInterval(0);
    connect(&m_paintSoon, &QTimer::timeout, this, &WaylandHost::paintPanel);
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &WaylandHost::tick);
}

WaylandHost::~WaylandHost()
{
    m_pointer->setContent(nullptr);
    m_buffers.clear();
    m_panel.reset();
}

void WaylandHost::setContent(PanelContent* content)
{
    m_content = content;
    m_pointer->setContent(content);
}

void WaylandHost::setPanelFrame(const QRectF& frame)
{
    m_frame = frame;
    m_panel->setHeight(int(std::ceil(frame.height())));
}

QRectF WaylandHost::panelFrame() const
{
    QRectF frame = m_frame;
    if (m_panel->configured() && m_panel->size().width() > 0)
        frame.setWidth(m_panel->size().width());
    return frame;
}

void WaylandHost::orderIn()
{
    m_wanted = true;
    if (m_panel->shown())
        return;
    m_panel->show(int(std::ceil(m_frame.height())));
    applyInputRegion();
    m_pointer->setSurface(m_panel->surface(), m_panel->scale());
}

void WaylandHost::orderOut()
{
    m_wanted = false;
    m_pointer->setSurface(nullptr, 1.0);
    m_panel->hide();
    m_buffers.clear();
    m_ring.reset(QSize());
}

bool WaylandHost::isVisible() const
{
    return m_panel->shown();
}

void WaylandHost::configured()
{
    const QSize pixels = m_panel->pixelSize();
    if (pixels != m_ring.size()) {
        m_buffers.clear();
        m_ring.reset(pixels);
    }
    m_pointer->setSurface(m_panel->surface(), m_panel->scale());
    applyInputRegion();
    const bool wider = m_panel->size().width() != int(m_frame.width());
    redrawAll();
    // The compositor chose the width: the rail lays its pins out for it.
    if (wider)
        screensChanged();
}

void WaylandHost::outputsChanged()
{
    if (m_wanted && !m_panel->shown() && !m_connection->outputs().empty())
        orderIn();
    screensChanged();
}

void WaylandHost::setInputRegion(const std::vector<Disc>& discs)
{
    m_discs = discs;
    applyInputRegion();
}

void WaylandHost::applyInputRegion()
{
    if (!m_panel->shown())
        return;
    if (!m_ignoresMouse) {
        m_panel->setInputRegion(std::nullopt);
        return;
    }
    // Wayland regions are in logical pixels: whole points here.
    QSize bounds = m_panel->size();
    if (bounds.isEmpty())
        bounds = m_frame.size().toSize();
    m_panel->setInputRegion(DiscRegion::rectangles(m_discs, 1.0, bounds));
}

bool WaylandHost::ignoresMouse() const
{
    return m_ignoresMouse;
}

void WaylandHost::setIgnoresMouse(bool ignore)
{
    if (ignore == m_ignoresMouse)
        return;
    m_ignoresMouse = ignore;
    applyInputRegion();
}

void WaylandHost::redrawAll()
{
    redrawRect(QRectF(QPointF(), panelFrame().size()));
}

void WaylandHost::redrawRect(const QRectF& rect)
{
    const QRectF area = rect.intersected(QRectF(QPointF(), panelFrame().size()));
    if (area.isEmpty())
        return;
    m_dirty = m_dirty.united(area);
    if (!m_paintSoon.isActive())
        m_paintSoon.start();
}

void WaylandHost::paintPanel()
{
    if (m_dirty.isEmpty() || !m_panel->configured())
        return;
    const std::optional<int> slot = m_ring.pick();
    if (!slot)
        return; // every buffer is with the compositor; a release brings the paint back
    if (*slot >= int(m_buffers.size())) {
        const int index = *slot;
        std::unique_ptr<WaylandBuffer> made = WaylandBuffer::create(m_connection->shm(), m_ring.size(), [this, index] {
            m_ring.released(index);
            if (!m_dirty.isEmpty() && !m_paintSoon.isActive())
                m_paintSoon.start();
        });
        if (!made) {
            m_dirty = QRectF();
            keepTicking();
            return;
        }
        m_buffers.push_back(std::move(made));
    }
    QImage& image = m_buffers[std::size_t(*slot)]->image();
    const double density = m_panel->scale();

    // Bring the buffer up to date with what the others showed since it was
    // last used, then paint what changed now.
    QRegion damage;
    const QRegion stale = m_ring.stale(*slot);
    const std::optional<int> latest = m_ring.latest();
    if (latest && *latest != *slot) {
        const QImage& from = m_buffers[std::size_t(*latest)]->image();
        for (const QRect& r : stale) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                std::memcpy(image.scanLine(y) + r.x() * 4, from.constScanLine(y) + r.x() * 4, std::size_t(r.width()) * 4);
        }
    } else if (!stale.isEmpty()) {
        // A first buffer: the whole picture is painted.
        m_dirty = QRectF(QPointF(), panelFrame().size());
    }
    const QRect pixels = QRectF(m_dirty.topLeft() * density, m_dirty.size() * density).toAlignedRect().intersected(image.rect());
    m_dirty = QRectF();
    if (pixels.isEmpty()) {
        keepTicking();
        return;
    }
    paint(image, m_content, pixels, density, m_inked);
    damage += pixels;
    if (!m_paused)
        m_panel->requestFrame();
    m_panel->present(m_buffers[std::size_t(*slot)]->handle(), damage);
    m_ring.committed(*slot, damage);
}

double WaylandHost::backingScale() const
{
    return m_panel->scale();
}

std::optional<Screen> WaylandHost::primaryScreen() const
{
    const WaylandOutput* output = m_connection->output(m_panel->output());
    if (!output && !m_connection->outputs().empty())
        output = m_connection->outputs().front().get();
    if (!output || output->logical().isEmpty())
        return std::nullopt;
    // The compositor places the surface below the desktop's own panels, so
    // the rail's whole world starts at its top-left corner.
    const QRectF area(QPointF(), QSizeF(output->logical().size()));
    return Screen{area, area};
}

QPointF WaylandHost::pointer() const
{
    return panelFrame().topLeft() + m_pointer->position();
}

bool WaylandHost::primaryButtonDown() const
{
    return m_pointer->buttonDown();
}

void WaylandHost::setCursor(CursorShape shape)
{
    m_pointer->setCursor(shape);
}

void WaylandHost::onFrame(std::function<void(double)> callback)
{
    m_frameCallback = std::move(callback);
}

void WaylandHost::setFramesPaused(bool paused)
{
    if (paused == m_paused)
        return;
    m_paused = paused;
    if (paused) {
        m_frameTimer.stop();
        return;
    }
    m_lastTick = 0.0;
    m_frameTimer.start(0);
}

bool WaylandHost::framesPaused() const
{
    return m_paused;
}

void WaylandHost::setFrameRate(const FrameRate& rate)
{
    m_rate = std::clamp(rate.preferred, 1.0, 240.0);
}

void WaylandHost::keepTicking()
{
    if (!m_paused && !m_panel->frameRequested() && !m_frameTimer.isActive())
        m_frameTimer.start(milliseconds(1.0 / m_rate));
}

void WaylandHost::tick()
{
    if (m_paused)
        return;
    const double now = mediaTime();
    const double period = 1.0 / m_rate;
    // The compositor calls back at the display's pace; a slower rail waits
    // out the rest of its own period.
    if (m_lastTick > 0.0 && now - m_lastTick < period * 0.9) {
        m_frameTimer.start(milliseconds(period - (now - m_lastTick)));
        return;
    }
    m_lastTick = now;
    if (m_frameCallback)
        m_frameCallback(now);
    if (m_paused)
        return;
    // A frame that changed nothing on screen gets no callback from the
    // compositor, so the next one is timed here.
    if (m_dirty.isEmpty() || !m_panel->configured())
        m_frameTimer.start(milliseconds(period));
}

bool WaylandHost::reduceMotion() const
{
    return false;
}

} // namespace pendra
