#pragma once

#include <QColor>

namespace pendra::art {

// The tones a piece of coloured glass is shaded with. Light passing through
// the glass gathers on the side away from the light, so "glow" is the bright
// colour near the lower right and "rim" the dark band along the edge.
struct Glass {
    QColor glow;
    QColor body;
    QColor deep;
    QColor rim;
    QColor edge;

    // All five tones derived from one base colour, so that every glass charm
    // is shaded by the same rule.
    static Glass tinted(const QColor& base);
};

} // namespace pendra::art
