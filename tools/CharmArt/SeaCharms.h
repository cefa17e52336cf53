#pragma once

#include "CharmDesign.h"

#include <QList>

namespace pendra::art {

class CharmPainter;

// Things found on a beach or carried to sea.
class SeaCharms {
public:
    static QList<CharmDesign> designs();

private:
    static QPointF scallop(CharmPainter& cp);
    static QPointF anchor(CharmPainter& cp);
    static QPointF fish(CharmPainter& cp);
    static QPointF starfish(CharmPainter& cp);
};

} // namespace pendra::art
