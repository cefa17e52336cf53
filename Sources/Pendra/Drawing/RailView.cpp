#include "RailView.h"

#include "RailController.h"

namespace pendra {

RailView::RailView(RailController& controller) : m_controller(&controller) {}

void RailView::paint(Surface&, const QRectF&) {}

void RailView::mouseDown(QPointF at)
{
    m_controller->mouseDown(at);
}

void RailView::mouseDragged(QPointF to)
{
    m_controller->mouseDragged(to);
}

void RailView::mouseUp()
{
    m_controller->mouseUp();
}

} // namespace pendra
