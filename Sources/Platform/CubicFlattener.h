#pragma once

#include <QPointF>

namespace pendra {

// Cuts a cubic curve into straight pieces as the painter does when it turns
// a path into polygons: a piece is halved until its control points lie close
// enough to its chord, at most nine halvings deep, and the pieces' ends are
// handed out in order. Nothing is allocated.
class CubicFlattener {
public:
    // Calls sink(point) for every point after from, ending with to.
    template <typename Sink>
    static void flatten(QPointF from, QPointF c1, QPointF c2, QPointF to, Sink&& sink)
    {
        cut(Cubic{from, c1, c2, to}, deepest, sink);
    }

private:
    static constexpr int deepest = 9;

    struct Cubic {
        QPointF from;
        QPointF c1;
        QPointF c2;
        QPointF to;
    };

    // Whether the control points together lie within about half a unit of
    // the chord, in a measure cheap to work out.
    static bool flatEnough(const Cubic& curve);

    template <typename Sink>
    static void cut(const Cubic& curve, int depth, Sink& sink)
    {
        if (depth == 0 || flatEnough(curve)) {
            sink(curve.to);
            return;
        }
        const QPointF a = (curve.from + curve.c1) * 0.5;
        const QPointF b = (curve.c1 + curve.c2) * 0.5;
        const QPointF c = (curve.c2 + curve.to) * 0.5;
        const QPointF ab = (a + b) * 0.5;
        const QPointF bc = (b + c) * 0.5;
        const QPointF middle = (ab + bc) * 0.5;
        cut(Cubic{curve.from, a, ab, middle}, depth - 1, sink);
        cut(Cubic{middle, bc, c, curve.to}, depth - 1, sink);
    }
};

} // namespace pendra
