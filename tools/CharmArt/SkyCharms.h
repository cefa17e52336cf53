#pragma once

#include "CharmDesign.h"

#include <QList>

namespace pendra::art {

class CharmPainter;

// The moon, a star and a cloud: things that hang overhead anyway.
class SkyCharms {
public:
    static QList<CharmDesign> designs();

private:
    static QPointF crescentMoon(CharmPainter& cp);
    static QPointF star(CharmPainter& cp);
    static QPointF rainCloud(CharmPainter& cp);
};

} // namespace pendra::art
