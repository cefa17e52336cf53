#pragma once

#include "CharmDesign.h"

#include <QList>

namespace pendra::art {

class CharmPainter;

// Polished stones and a drop of amber.
class StoneCharms {
public:
    static QList<CharmDesign> designs();

private:
    static QPointF roseQuartz(CharmPainter& cp);
    static QPointF agateSlice(CharmPainter& cp);
    static QPointF jadeDisc(CharmPainter& cp);
    static QPointF amberDrop(CharmPainter& cp);
};

} // namespace pendra::art
