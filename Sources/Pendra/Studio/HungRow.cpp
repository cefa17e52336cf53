#include "HungRow.h"

#include "AppModel.h"
#include "CharmPicture.h"
#include "Copy.h"
#include "StudioStyle.h"
#include "Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace pendra {

namespace {

constexpr int takeDownSide = 18;

} // namespace

const SliderMapping& HungRow::dropMapping()
{
    static const SliderMapping mapping(Preferences::minDrop, Preferences::maxDrop);
    return mapping;
}

HungRow::HungRow(AppModel& model, const Hung& hung, const Charm& charm, QWidget* parent)
    : QWidget(parent), m_model(model), m_hung(hung), m_slider(new QSlider(Qt::Horizontal, this)),
      m_takeDown(new QToolButton(this))
{
    Q_ASSERT(hung.charmID == charm.id);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(12);

    row->addWidget(new CharmPicture(model, charm, pictureSide, this));

    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    auto* name = new QLabel(charm.name, this);
    name->setObjectName(QStringLiteral("name"));
    auto* caption = new QLabel(Copy::cordLength, this);
    StudioStyle::style(*caption, StudioStyle::caption(font()), StudioStyle::secondary(palette()));
    names->addWidget(name);
    names->addWidget(caption);
    row->addLayout(names, 1);

    dropMapping().configure(*m_slider);
    m_slider->setFixedWidth(sliderWidth);
    m_slider->setAccessibleName(Copy::cordLength);
    showDrop();
    connect(m_slider, &QSlider::valueChanged, this, &HungRow::dropMoved);
    row->addWidget(m_slider);

    const QColor circle = StudioStyle::secondary(palette());
    m_takeDown->setIcon(Symbols::crossCircleIcon(takeDownSide, StudioStyle::tertiary(palette()), circle,
                                                 StudioStyle::card(palette())));
    m_takeDown->setIconSize(QSize(takeDownSide, takeDownSide));
    m_takeDown->setAutoRaise(true);
    m_takeDown->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; background: transparent; }"));
    m_takeDown->setCursor(Qt::ArrowCursor);
    m_takeDown->setToolTip(Copy::remove);
    m_takeDown->setAccessibleName(Copy::remove);
    connect(m_takeDown, &QToolButton::clicked, this, [this] { m_model.takeDown(m_hung.uid); });
    row->addWidget(m_takeDown);
}

void HungRow::setHung(const Hung& hung)
{
    Q_ASSERT(hung.uid == m_hung.uid);
    m_hung = hung;
    showDrop();
}

void HungRow::showDrop()
{
    // While the user drags, the model hands back the value just written;
    // moving the knob to it would be a no-op, so the drag is never disturbed.
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(dropMapping().position(m_hung.drop));
}

void HungRow::dropMoved(int position)
{
    const double drop = dropMapping().value(position);
    const QString uid = m_hung.uid;
    m_model.update([&](Preferences& p) {
        for (Hung& h : p.hung) {
            if (h.uid == uid) {
                h.drop = drop;
                return;
            }
        }
    });
}

} // namespace pendra
