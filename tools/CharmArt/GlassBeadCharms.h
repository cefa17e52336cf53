#pragma once

#include "CharmDesign.h"

#include <QList>

namespace pendra::art {

class CharmPainter;

// Beads of coloured glass, each hung on a little metal fitting.
class GlassBeadCharms {
public:
    static QList<CharmDesign> designs();

private:
    static QPointF lampwork(CharmPainter& cp);
    static QPointF millefiori(CharmPainter& cp);
    static QPointF teardrop(CharmPainter& cp);
};

} // namespace pendra::art
