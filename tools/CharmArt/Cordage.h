#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

namespace pendra::art {

class CharmPainter;
struct Metal;

// What ties a charm together apart from its rings: chains, twisted cords
// and silk.
class Cordage {
public:
    // A chain of oval links from one point to another, the links alternately
    // seen face on and edge on, as a hanging chain shows them.
    static void chain(CharmPainter& cp, QPointF from, QPointF to, double link, double wire, const Metal& metal);

    // A cord of two twisted strands following path: rope, twine or silk,
    // depending on the colours and the pitch of the twist.
    static void twist(CharmPainter& cp, const QPainterPath& path, double width, const QColor& light,
        const QColor& dark, double pitch);
};

} // namespace pendra::art
