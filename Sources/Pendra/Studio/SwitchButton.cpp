#include "SwitchButton.h"

#include "StudioStyle.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace pendra {

namespace {

constexpr int trackWidth = 38;
constexpr int trackHeight = 22;
constexpr int gap = 12;

} // namespace

SwitchButton::SwitchButton(const QString& text, QWidget* parent) : QAbstractButton(parent)
{
    setText(text);
    setCheckable(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SwitchButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + gap + trackWidth, std::max(metrics.height(), trackHeight) + 2);
}

QSize SwitchButton::minimumSizeHint() const
{
    return QSize(trackWidth + gap, sizeHint().height());
}

void SwitchButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPalette& pal = palette();

    const QRectF track(width() - trackWidth - 1, (height() - trackHeight) / 2.0, trackWidth, trackHeight);
    const QRectF textRect(0, 0, track.left() - gap, height());
    painter.setPen(pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, int(textRect.width())));

    QColor trackColour = isChecked() ? StudioStyle::accent(pal) : StudioStyle::separator(pal);
    if (!isChecked()) {
        trackColour.setAlphaF(underMouse() ? 0.28f : 0.2f);
    } else if (underMouse()) {
        trackColour = trackColour.lighter(108);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(trackColour);
    painter.drawRoundedRect(track, trackHeight / 2.0, trackHeight / 2.0);
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(StudioStyle::accent(pal), 1.5));
        painter.drawRoundedRect(track.adjusted(-2, -2, 2, 2), trackHeight / 2.0 + 2, trackHeight / 2.0 + 2);
    }

    const double knob = trackHeight - 4.0;
    const double x = isChecked() ? track.right() - 2.0 - knob : track.left() + 2.0;
    const QRectF knobRect(x, track.top() + 2.0, knob, knob);
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knobRect);
}

} // namespace pendra
