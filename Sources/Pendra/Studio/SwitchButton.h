#pragma once

#include <QAbstractButton>

namespace pendra {

// An on/off switch in the style of desktop settings panels: its text on the
// leading edge, a sliding knob in a rounded track on the trailing edge. The
// whole row is the button, as a check box's label is.
class SwitchButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit SwitchButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pendra
