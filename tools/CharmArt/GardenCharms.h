#pragma once

#include "CharmDesign.h"

#include <QList>

namespace pendra::art {

class CharmPainter;

// Leaves, flowers and the things that fall from trees.
class GardenCharms {
public:
    static QList<CharmDesign> designs();

private:
    static QPointF leaf(CharmPainter& cp);
    static QPointF flower(CharmPainter& cp);
    static QPointF acorn(CharmPainter& cp);
    static QPointF mushroom(CharmPainter& cp);
};

} // namespace pendra::art
