#pragma once

#include <QColor>

namespace pendra::art {

// The five tones a polished metal is shaded with, from the brightest glint to
// the dark line along its edge.
struct Metal {
    QColor glint;
    QColor light;
    QColor mid;
    QColor dark;
    QColor edge;

    static Metal gold();
    static Metal brass();
    static Metal silver();
    static Metal copper();
};

} // namespace pendra::art
