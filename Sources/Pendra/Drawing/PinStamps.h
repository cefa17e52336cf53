#pragma once

#include "TurnedImage.h"

#include <QHash>
#include <QPointF>

namespace pendra {

class Surface;

// The rail's pins, each drawn once at its size, density and place within a
// device pixel and from then on only stamped: a pin stands still unless its
// charm is slid along the rail. Stamping gives the same pixels as drawing
// the pin afresh, up to rounding.
class PinStamps {
public:
    static constexpr int limit = 64;

    void draw(Surface& surface, QPointF centre, double radius);
    int stamps() const { return int(m_stamps.size()); }

private:
    struct Key {
        double radius;
        double density;
        // Where the centre lies from the stamp's top-left device pixel.
        double x;
        double y;
        friend bool operator==(const Key&, const Key&) = default;
        friend size_t qHash(const Key& key, size_t seed = 0) { return qHashMulti(seed, key.radius, key.density, key.x, key.y); }
    };

    QHash<Key, TurnedImage> m_stamps;
};

} // namespace pendra
