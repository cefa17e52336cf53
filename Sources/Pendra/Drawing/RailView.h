#pragma once

#include "Host.h"

namespace pendra {

class RailController;

// The panel's content: draws the hangings and hands the mouse to the
// controller.
class RailView : public PanelContent {
public:
    explicit RailView(RailController& controller);

    void paint(Surface& surface, const QRectF& dirty) override;
    void mouseDown(QPointF at) override;
    void mouseDragged(QPointF to) override;
    void mouseUp() override;

private:
    RailController* m_controller;
};

} // namespace pendra
