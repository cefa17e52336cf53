#pragma once

#include "Charm.h"
#include "Hung.h"
#include "SliderMapping.h"

#include <QWidget>

class QSlider;
class QToolButton;

namespace pendra {

class AppModel;

// One placed charm: its picture and name, a slider for its cord length and
// a button that takes it down.
class HungRow : public QWidget {
    Q_OBJECT

public:
    static constexpr int pictureSide = 34;
    static constexpr int sliderWidth = 150;

    HungRow(AppModel& model, const Hung& hung, const Charm& charm, QWidget* parent = nullptr);

    const QString& uid() const { return m_hung.uid; }
    const Hung& hung() const { return m_hung; }
    // Takes a newer copy of the same placement, moving the slider without
    // writing anything back.
    void setHung(const Hung& hung);

    QSlider* dropSlider() const { return m_slider; }
    QToolButton* takeDownButton() const { return m_takeDown; }

    static const SliderMapping& dropMapping();

private:
    void dropMoved(int position);
    void showDrop();

    AppModel& m_model;
    Hung m_hung;
    QSlider* m_slider;
    QToolButton* m_takeDown;
};

} // namespace pendra
