#include "CharmTile.h"

#include "AppModel.h"
#include "CharmPicture.h"
#include "Copy.h"
#include "StudioStyle.h"
#include "Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace pendra {

namespace {

constexpr int padTop = 8;
constexpr int padSide = 4;
constexpr int gap = 4;
constexpr int nameLineLimit = 2;
constexpr double radius = 9.0;
constexpr double markSide = 17.0;
constexpr double markInset = 5.0;

} // namespace

CharmTile::CharmTile(AppModel& model, const Charm& charm, QWidget* parent)
    : QAbstractButton(parent), m_model(model), m_charm(charm), m_picture(model.catalog().picture(charm))
{
    setFont(StudioStyle::caption2(font()));
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(charm.name);
    // Tiles grow to the height of their grid row so a row lines up even when
    // only one name wraps.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(this, &QAbstractButton::clicked, this, &CharmTile::press);
    refresh();
}

void CharmTile::refresh()
{
    const bool hanging = m_model.isHanging(m_charm.id);
    setToolTip(hanging ? Copy::remove : Copy::addCharm);
    if (hanging != m_hanging) {
        m_hanging = hanging;
        update();
    }
}

void CharmTile::press()
{
    if (m_model.isHanging(m_charm.id))
        m_model.toggle(m_charm.id);
    else
        m_model.hang(m_charm.id);
}

QStringList CharmTile::nameLines(int width) const
{
    return StudioStyle::wrappedLines(m_charm.name, font(), width - 2 * padSide, nameLineLimit);
}

int CharmTile::heightForWidth(int width) const
{
    const QFontMetricsF metrics(font());
    const qsizetype lines = std::max<qsizetype>(1, nameLines(width).size());
    return padTop + pictureSide + gap + int(std::ceil(lines * metrics.lineSpacing())) + padTop;
}

bool CharmTile::hasHeightForWidth() const
{
    return true;
}

QSize CharmTile::sizeHint() const
{
    const int width = 74;
    return QSize(width, heightForWidth(width));
}

QSize CharmTile::minimumSizeHint() const
{
    return QSize(pictureSide + 2 * padSide, heightForWidth(pictureSide + 2 * padSide));
}

void CharmTile::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPalette& pal = palette();
    const QRectF tile = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    QColor fill = StudioStyle::quaternaryFill(pal);
    if (isDown())
        fill.setAlphaF(fill.alphaF() * 2.4f);
    else if (underMouse())
        fill.setAlphaF(fill.alphaF() * 1.6f);
    QPainterPath shape;
    shape.addRoundedRect(tile, radius, radius);
    painter.fillPath(shape, fill);
    if (hasFocus()) {
        painter.setPen(QPen(StudioStyle::accent(pal), 2.0));
        painter.drawPath(shape);
    }

    const QRectF picture((width() - pictureSide) / 2.0, padTop, pictureSide, pictureSide);
    CharmPicture::draw(painter, picture, m_picture, StudioStyle::tertiary(pal));

    const QFontMetricsF metrics(font());
    painter.setPen(StudioStyle::secondary(pal));
    double y = picture.bottom() + gap;
    for (const QString& line : nameLines(width())) {
        painter.drawText(QRectF(padSide, y, width() - 2 * padSide, metrics.lineSpacing()), Qt::AlignHCenter | Qt::AlignTop,
                         line);
        y += metrics.lineSpacing();
    }

    if (m_hanging) {
        const QRectF mark(width() - markInset - markSide, markInset, markSide, markSide);
        Symbols::checkmarkCircle(painter, mark, StudioStyle::accent(pal), Qt::white);
    }
}

} // namespace pendra
