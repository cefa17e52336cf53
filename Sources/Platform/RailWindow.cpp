#include "RailWindow.h"

#include "FrameInputShape.h"
#include "Host.h"
#include "SerialPainting.h"
#include "Surface.h"
#include "X11Panel.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <cmath>

namespace pendra {

RailWindow::RailWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                           | Qt::NoDropShadowWindowHint | Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11NetWmWindowTypeDock);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Pendra"));
}

RailWindow::~RailWindow() = default;

void RailWindow::orderIn()
{
    if (isVisible())
        return;
    winId();
    if (!m_frameShape)
        m_frameShape = std::make_unique<FrameInputShape>(windowHandle());
    // The window manager drops these states when a window is hidden, so they
    // are written again before every showing.
    X11Panel::prepare(windowHandle());
    show();
    applyInputShape();
}

void RailWindow::orderOut()
{
    hide();
    m_pressed = false;
}

void RailWindow::setIgnoresMouse(bool ignore)
{
    if (ignore == m_ignoresMouse)
        return;
    m_ignoresMouse = ignore;
    applyInputShape();
}

void RailWindow::setPanelGeometry(const QRect& frame)
{
    // Compared with what was asked for, not with geometry(): a reparenting
    // window manager makes Qt report the position inside its frame for a while.
    if (frame == m_frame)
        return;
    m_frame = frame;
    setGeometry(frame);
    // Qt gives an accepting window an input shape of its size at that moment,
    // so a resize needs the shape once more.
    if (!m_ignoresMouse && windowHandle()) {
        windowHandle()->setFlag(Qt::WindowTransparentForInput, true);
        windowHandle()->setFlag(Qt::WindowTransparentForInput, false);
        if (m_frameShape)
            m_frameShape->setPassThrough(false);
    }
}

void RailWindow::applyInputShape()
{
    // Switched on the shown window itself: changing the widget's flags would
    // hide and re-create it.
    if (QWindow* window = windowHandle())
        window->setFlag(Qt::WindowTransparentForInput, m_ignoresMouse);
    if (m_frameShape)
        m_frameShape->setPassThrough(m_ignoresMouse);
}

void RailWindow::paintEvent(QPaintEvent* event)
{
    // The rail is drawn into a buffer of its own, which is painted on a
    // worker thread, and only the redrawn part is copied to the window.
    const double density = devicePixelRatioF();
    const QSize pixels(int(std::ceil(width() * density)), int(std::ceil(height() * density)));
    if (m_buffer.size() != pixels || m_buffer.devicePixelRatio() != density) {
        m_buffer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_buffer.setDevicePixelRatio(density);
        m_buffer.fill(Qt::transparent);
    }
    if (m_buffer.isNull())
        return;
    const QRect dirty = event->rect();
    SerialPainting::run([&] {
        QPainter painter(&m_buffer);
        painter.setClipRect(dirty);
        Surface surface(painter, density);
        if (m_content) {
            m_content->paint(surface, dirty);
        } else {
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(dirty, Qt::transparent);
        }
    });
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(dirty), m_buffer,
                      QRectF(dirty.x() * density, dirty.y() * density, dirty.width() * density,
                             dirty.height() * density));
}

void RailWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_content)
        return;
    m_pressed = true;
    m_content->mouseDown(event->position());
}

void RailWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed && m_content && (event->buttons() & Qt::LeftButton))
        m_content->mouseDragged(event->position());
}

void RailWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_content)
        m_content->mouseUp();
}

} // namespace pendra
