#pragma once

#include "CordStyle.h"

#include <QAbstractButton>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <vector>

namespace pendra {

class Surface;

// One cord look: a short drawn sample of the cord with its pin, and the
// look's name, on a rounded tile that is filled with the selection colour
// while the look is the current one. A press runs the choose action.
class CordTile : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QSizeF canvasSize{16.0, 40.0};

    CordTile(CordStyle style, bool picked, std::function<void()> choose, QWidget* parent = nullptr);

    CordStyle style() const { return m_style; }
    bool picked() const { return m_picked; }
    void setPicked(bool picked);

    // The cord's points in a canvas: down the centre line from y 4 in steps
    // of 3 while they stay 4 clear of the bottom.
    static std::vector<QPointF> samplePoints(QSizeF canvas);
    // The pin's circle, centred on the centre line at y 5.
    static QRectF pinCircle(QSizeF canvas);
    // Paints the sample of a look into a canvas whose top-left is the origin.
    static void drawSample(Surface& surface, CordStyle style, QSizeF canvas);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CordStyle m_style;
    bool m_picked;
    std::function<void()> m_choose;
};

} // namespace pendra
