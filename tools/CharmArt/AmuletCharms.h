#pragma once

#include "CharmDesign.h"

#include <QList>

namespace pendra::art {

class CharmPainter;

// Charms worn for protection and luck.
class AmuletCharms {
public:
    static QList<CharmDesign> designs();

private:
    static QPointF nazar(CharmPainter& cp);
    static QPointF hamsa(CharmPainter& cp);
    static QPointF horseshoe(CharmPainter& cp);
    static QPointF luckyCoin(CharmPainter& cp);
    // A small evil eye set into another charm.
    static void eyeInlay(CharmPainter& cp, QPointF centre, double radius);
};

} // namespace pendra::art
