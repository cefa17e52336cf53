#include "CordTile.h"

#include "CordDrawer.h"
#include "StudioStyle.h"
#include "Surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace pendra {

namespace {

constexpr int padSide = 8;
constexpr int padTop = 4;
constexpr int gap = 8;
constexpr double radius = 8.0;
constexpr double pinRadius = 4.8;

} // namespace

CordTile::CordTile(CordStyle style, bool picked, std::function<void()> choose, QWidget* parent)
    : QAbstractButton(parent), m_style(style), m_picked(picked), m_choose(std::move(choose))
{
    Q_ASSERT(m_choose);
    setText(CordStyles::name(style));
    setFont(StudioStyle::caption(font()));
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] { m_choose(); });
}

void CordTile::setPicked(bool picked)
{
    if (picked == m_picked)
        return;
    m_picked = picked;
    update();
}

std::vector<QPointF> CordTile::samplePoints(QSizeF canvas)
{
    const double m = canvas.width() * 0.5;
    std::vector<QPointF> points;
    for (int i = 0;; ++i) {
        // Counting steps rather than adding 3 each time keeps the last point
        // exact, so it is included exactly when it lands on h − 4.
        const double y = 4.0 + 3.0 * i;
        if (y > canvas.height() - 4.0)
            break;
        points.emplace_back(m, y);
    }
    return points;
}

QRectF CordTile::pinCircle(QSizeF canvas)
{
    const double m = canvas.width() * 0.5;
    return QRectF(m - pinRadius, 5.0 - pinRadius, 2 * pinRadius, 2 * pinRadius);
}

void CordTile::drawSample(Surface& surface, CordStyle style, QSizeF canvas)
{
    const std::vector<QPointF> points = samplePoints(canvas);
    CordDrawer::draw(style, surface, points);

    CordDrawer::drawPin(surface, pinCircle(canvas).center(), pinRadius);
}

QSize CordTile::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(padSide + int(canvasSize.width()) + gap + metrics.horizontalAdvance(text()) + padSide,
                 padTop + int(canvasSize.height()) + padTop);
}

QSize CordTile::minimumSizeHint() const
{
    return QSize(padSide + int(canvasSize.width()) + gap + padSide, sizeHint().height());
}

void CordTile::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPalette& pal = palette();
    const QRectF tile = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    QColor fill = m_picked ? StudioStyle::accent(pal) : StudioStyle::quaternaryFill(pal);
    if (!m_picked && isDown())
        fill.setAlphaF(fill.alphaF() * 2.4f);
    else if (!m_picked && underMouse())
        fill.setAlphaF(fill.alphaF() * 1.6f);
    QPainterPath shape;
    shape.addRoundedRect(tile, radius, radius);
    painter.fillPath(shape, fill);
    if (hasFocus()) {
        painter.setPen(QPen(m_picked ? pal.color(QPalette::HighlightedText) : StudioStyle::accent(pal), 2.0));
        painter.drawPath(shape);
    }

    const QPointF canvas(padSide, (height() - canvasSize.height()) / 2.0);
    painter.save();
    {
        painter.translate(canvas);
        Surface surface(painter, painter.device()->devicePixelRatioF());
        drawSample(surface, m_style, canvasSize);
    }
    painter.restore();

    const double textLeft = padSide + canvasSize.width() + gap;
    const QRectF textRect(textLeft, 0, width() - textLeft - padSide, height());
    painter.setPen(m_picked ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(font()).elidedText(text(), Qt::ElideRight, int(textRect.width())));
}

} // namespace pendra
