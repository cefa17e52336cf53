#pragma once

#include "CharmDesign.h"

#include <QList>

namespace pendra::art {

class CharmPainter;

// Small metal keepsakes of the kind found on a charm bracelet.
class TrinketCharms {
public:
    static QList<CharmDesign> designs();

private:
    static QPointF key(CharmPainter& cp);
    static QPointF bell(CharmPainter& cp);
    static QPointF locket(CharmPainter& cp);
};

} // namespace pendra::art
